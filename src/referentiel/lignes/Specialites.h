// Rows of the specialties, their classes, and the coding obligations by
// specialty (tables 5 to 9, 16, 17).
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class Table;

class HistoriqueSpecialite : public LigneDecrite<HistoriqueSpecialite> {
public:
    static constexpr uint16_t kIdentifiant = 6;
    static constexpr const char* kNom = "HistoriqueSpecialite";
    Date dateDebut;
    Date dateFin;
    std::string classeSpecialite = std::string(2, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.code(l.classeSpecialite, 2, "classe specialite");
    }
};

class Specialite : public LigneDecrite<Specialite> {
public:
    static constexpr uint16_t kIdentifiant = 5;
    static constexpr const char* kNom = "Specialite";
    std::string codeSpecialite = std::string(2, ' ');
    Plage historiques;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeSpecialite, 2, "code specialite");
        v.plage(l.historiques, {6, "historiques", "HistoriquesSpecialite", true});
    }
    uint16_t chercherHistoriqueSpecialite(const Table& historiquesSpecialite, const Date& dateReference,
                                          const HistoriqueSpecialite*& historique) const;
};

class SpecialiteDansClasse : public LigneDecrite<SpecialiteDansClasse> {
public:
    static constexpr uint16_t kIdentifiant = 9;
    static constexpr const char* kNom = "SpecialiteDansClasse";
    std::string codeSpecialite = std::string(2, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeSpecialite, 2, "code specialite", false);
    }
};

class HistoriqueClasseSpecialite : public LigneDecrite<HistoriqueClasseSpecialite> {
public:
    static constexpr uint16_t kIdentifiant = 8;
    static constexpr const char* kNom = "HistoriqueClasseSpecialite";
    Date dateDebut;
    Date dateFin;
    Plage specialites;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.plage(l.specialites, {9, "specialites", "SpecialitesDansClasse", true});
    }
};

class ClasseSpecialite : public LigneDecrite<ClasseSpecialite> {
public:
    static constexpr uint16_t kIdentifiant = 7;
    static constexpr const char* kNom = "ClasseSpecialite";
    std::string classeSpecialite = std::string(2, ' ');
    Plage historiques;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.classeSpecialite, 2, "classe specialite");
        v.plage(l.historiques, {8, "historiques", "HistoriquesClasseSpecialite", true});
    }
    uint16_t chercherHistoriqueClasseSpecialite(const Table& historiquesClasse, const Date& dateReference,
                                                const HistoriqueClasseSpecialite*& historique) const;
};

class DateObligationCodage : public LigneDecrite<DateObligationCodage> {
public:
    static constexpr uint16_t kIdentifiant = 17;
    static constexpr const char* kNom = "DateObligationCodage";
    std::string codeSpecialite = std::string(2, ' ');
    Date dateObligation;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeSpecialite, 2, "code specialite");
        v.dateDebut(l.dateObligation, "date obligation");
    }
};

class ObligationCodage : public LigneDecrite<ObligationCodage> {
public:
    static constexpr uint16_t kIdentifiant = 16;
    static constexpr const char* kNom = "ObligationCodage";
    std::string codeNaturePrestation = std::string(3, ' ');
    Plage specialites;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeNaturePrestation, 3, "code nature de prestation");
        v.plage(l.specialites, {17, "specialites", "DatesObligationCodage"});
    }
    // codeSpecialite: 2 characters.
    uint16_t rechercherDateObligationCodage(const Table& dates, const char* codeSpecialite,
                                            const DateObligationCodage*& date) const;
};

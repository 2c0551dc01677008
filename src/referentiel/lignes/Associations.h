// Rows of the association and tariff-rule coefficients: a code, its grids, and
// per grid the dated coefficients (tables 1 to 4, 59 to 61).
#pragma once

#include <cstdint>

#include "referentiel/LigneTable.h"

class Table;

class HistoriqueAssociationNonPrevue : public LigneDecrite<HistoriqueAssociationNonPrevue> {
public:
    static constexpr uint16_t kIdentifiant = 2;
    static constexpr const char* kNom = "HistoriqueAssociationNonPrevue";
    Date dateDebut;
    Date dateFin;
    double coefficient = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.nombre(l.coefficient, "coefficient", 0.0, "ERREUR : coefficient invalide");
    }
};

class AssoGrille : public LigneDecrite<AssoGrille> {
public:
    static constexpr uint16_t kIdentifiant = 60;
    static constexpr const char* kNom = "AssoGrille";
    uint16_t codeGrille = 0;
    Plage historiques;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeGrille, "code grille");
        v.plage(l.historiques, {2, "historiques", "HistoriquesAssociationNonPrevue"});
    }
    uint16_t rechercherHistoriqueAssociationNP(const Table& historiques, const Date& dateReference,
                                               const HistoriqueAssociationNonPrevue*& historique) const;
};

class AssociationNonPrevue : public LigneDecrite<AssociationNonPrevue> {
public:
    static constexpr uint16_t kIdentifiant = 1;
    static constexpr const char* kNom = "AssociationNonPrevue";
    char codeAssociation = ' ';
    Plage grilles;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeAssociation, "code association");
        v.plage(l.grilles, {60, "grilles", "AssoGrille", true});
    }
    uint16_t rechercherGrille(const Table& grillesAsso, uint16_t codeGrille, const AssoGrille*& grille,
                              uint32_t& indice) const;
};

class HistoriqueRegleTarifaire : public LigneDecrite<HistoriqueRegleTarifaire> {
public:
    static constexpr uint16_t kIdentifiant = 4;
    static constexpr const char* kNom = "HistoriqueRegleTarifaire";
    Date dateDebut;
    Date dateFin;
    double coefficient = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.nombre(l.coefficient, "coefficient", 0.0, "ERREUR : coefficient invalide");
    }
};

class RegleGrille : public LigneDecrite<RegleGrille> {
public:
    static constexpr uint16_t kIdentifiant = 61;
    static constexpr const char* kNom = "RegleGrille";
    uint16_t codeGrille = 0;
    Plage historiques;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeGrille, "code grille");
        v.plage(l.historiques, {4, "historiques", "HistoriquesRegleTarifaire"});
    }
    uint16_t rechercherHistoRegleTarifaire(const Table& historiques, const Date& dateReference,
                                           const HistoriqueRegleTarifaire*& historique) const;
};

class RegleTarifaire : public LigneDecrite<RegleTarifaire> {
public:
    static constexpr uint16_t kIdentifiant = 3;
    static constexpr const char* kNom = "RegleTarifaire";
    char codeRegle = ' ';
    Plage grilles;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeRegle, "code regle");
        v.plage(l.grilles, {61, "grilles", "RegleGrille", true});
    }
    uint16_t rechercherGrille(const Table& grillesRegle, uint16_t codeGrille, const RegleGrille*& grille) const;
};

class NombreActeAssociation : public LigneDecrite<NombreActeAssociation> {
public:
    static constexpr uint16_t kIdentifiant = 59;
    static constexpr const char* kNom = "NombreActeAssociation";
    Date dateDebut;
    Date dateFin;
    uint16_t nombreActes = 0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.entier16(l.nombreActes, "nombre d'actes dans une association");
    }
};

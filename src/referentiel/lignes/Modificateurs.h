// Rows of the modifiers: the modifier, its dated age limits, compatibilities,
// coherence flags and OC codes, and its values per tariff grid (22 to 27, 62).
#pragma once

#include <cstdint>

#include "referentiel/LigneTable.h"

class Table;

class HistoriqueAgeModificateur : public LigneDecrite<HistoriqueAgeModificateur> {
public:
    static constexpr uint16_t kIdentifiant = 23;
    static constexpr const char* kNom = "HistoriqueAgeModificateur";
    Date dateDebut;
    Date dateFin;
    char uniteAgeMinimum = ' ';
    uint16_t ageMinimum = 0;
    char uniteAgeMaximum = ' ';
    uint16_t ageMaximum = 0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.caracteres(l.uniteAgeMinimum, "unite de temps age min");
        v.entier16(l.ageMinimum, "age minimum");
        v.caracteres(l.uniteAgeMaximum, "unite de temps age max");
        v.entier16(l.ageMaximum, "age maximum");
    }
};

class ModificateurCompatible : public LigneDecrite<ModificateurCompatible> {
public:
    static constexpr uint16_t kIdentifiant = 24;
    static constexpr const char* kNom = "ModificateurCompatible";
    char codeModificateur = ' ';
    Date dateDebut;  // date d'effet
    Date dateFin;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeModificateur, "code modificateur");
        v.dateDebut(l.dateDebut, "date d'effet");
        v.dateFin(l.dateFin, "date de fin");
    }
};

class HistoriqueCoherenceModificateur : public LigneDecrite<HistoriqueCoherenceModificateur> {
public:
    static constexpr uint16_t kIdentifiant = 25;
    static constexpr const char* kNom = "HistoriqueCoherenceModificateur";
    Date dateDebut;
    Date dateFin;
    char topControleCoherence = 'N';
    char topPresenceMultiple = 'N';
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.top(l.topControleCoherence, "top controle coherence");
        v.top(l.topPresenceMultiple, "top presence multiple");
    }
};

class HistoriqueValeurModificateur : public LigneDecrite<HistoriqueValeurModificateur> {
public:
    static constexpr uint16_t kIdentifiant = 26;
    static constexpr const char* kNom = "HistoriqueValeurModificateur";
    Date dateDebut;
    Date dateFin;
    double forfait = 0.0;
    double coefficient = 1.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.nombre(l.forfait, "forfait", 0.0, "ERREUR : le forfait modificateur doit etre superieur ou egal a zero");
        v.nombre(l.coefficient, "coefficient", 1.0,
                 "ERREUR : le coefficient modificateur doit etre superieur ou egal a 1");
    }
};

class HistoriqueModificateurOC : public LigneDecrite<HistoriqueModificateurOC> {
public:
    static constexpr uint16_t kIdentifiant = 27;
    static constexpr const char* kNom = "HistoriqueModificateurOC";
    Date dateDebut;
    Date dateFin;
    char codeModificateurOC = ' ';
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.code(l.codeModificateurOC, "code modificateur OC");
    }
};

class ModificaGrille : public LigneDecrite<ModificaGrille> {
public:
    static constexpr uint16_t kIdentifiant = 62;
    static constexpr const char* kNom = "ModificaGrille";
    uint16_t codeGrilleTarifaire = 0;
    Plage historiquesValeur;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeGrilleTarifaire, "code grille tarifaire");
        v.plage(l.historiquesValeur, {26, "historiques valeur", "HistoriquesValeurModificateur"});
    }
    uint16_t rechercherHistoriqueValeurModificateurs(const Table& historiques, const Date& dateReference,
                                                     const HistoriqueValeurModificateur*& historique) const;
};

class Modificateur : public LigneDecrite<Modificateur> {
public:
    static constexpr uint16_t kIdentifiant = 22;
    static constexpr const char* kNom = "Modificateur";
    char codeModificateur = ' ';
    Plage historiquesAge;
    Plage compatibles;
    Plage historiquesCoherence;
    Plage grillesTarifaires;
    Plage historiquesOC;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeModificateur, "code modificateur");
        v.plage(l.historiquesAge, {23, "historiques age", "HistoriquesAgeModificateur", false,
                                   "Position 1er historique age", "Nombre d'historiques age"});
        v.plage(l.compatibles, {24, "codes modificateurs compatibles", "ModificateursCompatibles", false,
                                "Position 1er code modificateur compatible",
                                "Nombre de codes modificateurs compatibles"});
        v.plage(l.historiquesCoherence, {25, "historiques coherence", "HistoriquesCoherenceModificateur", true,
                                         "Position 1er historique coherence", "Nombre d'historiques coherence"});
        v.plage(l.grillesTarifaires, {62, "grilles tarifaires", "ModificaGrille", true,
                                      "Position 1ere grille tarifaire", "Nombre de grilles tarifaires"});
        v.plage(l.historiquesOC, {27, "historiques OC", "HistoriquesModificateurOC", false,
                                  "Position 1er historique OC", "Nombre d'historiques OC"});
    }
    uint16_t rechercherGrille(const Table& grilles, uint16_t codeGrille, const ModificaGrille*& grille,
                              uint32_t& indice) const;
    uint16_t rechercherHistoriqueAgeModificateur(const Table& historiques, const Date& dateReference,
                                                 const HistoriqueAgeModificateur*& historique) const;
    uint16_t rechercherHistoriqueCoherenceModificateurs(const Table& historiques, const Date& dateReference,
                                                        const HistoriqueCoherenceModificateur*& historique) const;
    uint16_t rechercherHistoriqueModificateursOC(const Table& historiques, const Date& dateReference,
                                                 const HistoriqueModificateurOC*& historique) const;
};

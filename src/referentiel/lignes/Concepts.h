// Rows of the CCAM concepts (dated lists of values) and of the code lists with
// their labels (tables 19 to 21, 32, 33).
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class Table;

class ValeurConceptCCAM : public LigneDecrite<ValeurConceptCCAM> {
public:
    static constexpr uint16_t kIdentifiant = 21;
    static constexpr const char* kNom = "ValeurConceptCCAM";
    std::string valeur;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.chaine(l.valeur, "valeur concept", true);
    }
};

class HistoriqueConceptCCAM : public LigneDecrite<HistoriqueConceptCCAM> {
public:
    static constexpr uint16_t kIdentifiant = 20;
    static constexpr const char* kNom = "HistoriqueConceptCCAM";
    Date dateDebut;
    Date dateFin;
    Plage valeurs;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.plage(l.valeurs, {21, "valeurs", "ValeursConceptsCCAM", true});
    }
};

class ConceptCCAM : public LigneDecrite<ConceptCCAM> {
public:
    static constexpr uint16_t kIdentifiant = 19;
    static constexpr const char* kNom = "ConceptCCAM";
    Plage historiques;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.plage(l.historiques, {20, "historiques", "HistoriquesConceptsCCAM"});
    }
    uint16_t rechercherHistoriqueConceptCCAM(const Table& historiquesConcept, const Date& dateReference,
                                             const HistoriqueConceptCCAM*& historique) const;
};

class LibelleCode : public LigneDecrite<LibelleCode> {
public:
    static constexpr uint16_t kIdentifiant = 33;
    static constexpr const char* kNom = "LibelleCode";
    std::string valeur;
    std::string libelle;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.chaine(l.valeur, "valeur du code", true);
        v.chaine(l.libelle, "libelle du code", true);
    }
};

class Codes : public LigneDecrite<Codes> {
public:
    static constexpr uint16_t kIdentifiant = 32;
    static constexpr const char* kNom = "Codes";
    Plage valeurs;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.plage(l.valeurs, {33, "valeurs", "LibellesCodes"});
    }
};

// Rows of the tariff contexts: professional and beneficiary contexts, the dated
// grids each pair selects, grid labels, and the CMU lump-sum codes (63 to 68).
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class Table;

class ContextPS : public LigneDecrite<ContextPS> {
public:
    static constexpr uint16_t kIdentifiant = 63;
    static constexpr const char* kNom = "ContextPS";
    uint16_t codeContextePS = 0;
    std::string libelle = std::string(117, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeContextePS, "code contexte PS");
        v.caracteres(l.libelle, 117, "libelle");
    }
};

class ContextBN : public LigneDecrite<ContextBN> {
public:
    static constexpr uint16_t kIdentifiant = 64;
    static constexpr const char* kNom = "ContextBN";
    uint16_t codeContexteBN = 0;
    std::string libelle = std::string(117, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeContexteBN, "code contexte BN");
        v.caracteres(l.libelle, 117, "libelle");
    }
};

class HistoGrilleTar : public LigneDecrite<HistoGrilleTar> {
public:
    static constexpr uint16_t kIdentifiant = 66;
    static constexpr const char* kNom = "HistoGrilleTar";
    uint16_t codeGrille = 0;
    Date dateDebut;
    Date dateFin;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeGrille, "code grille");
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
    }
};

class ConTarifaire : public LigneDecrite<ConTarifaire> {
public:
    static constexpr uint16_t kIdentifiant = 65;
    static constexpr const char* kNom = "ConTarifaire";
    uint16_t codeContextePS = 0;
    uint16_t codeContexteBN = 0;
    Plage grilles;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeContextePS, "code contexte PS");
        v.entier16(l.codeContexteBN, "code contexte BN");
        v.plage(l.grilles, {66, "grilles", "HistoGrilleTar"});
    }
    uint16_t rechercherGrilleTarifaire(const Table& historiques, const Date& dateReference,
                                       const HistoGrilleTar*& grille) const;
};

class InfosGril : public LigneDecrite<InfosGril> {
public:
    static constexpr uint16_t kIdentifiant = 67;
    static constexpr const char* kNom = "InfosGril";
    uint16_t codeGrille = 0;
    std::string libelle = std::string(100, ' ');
    std::string definition = std::string(250, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.codeGrille, "code grille");
        v.caracteres(l.libelle, 100, "libelle");
        v.caracteres(l.definition, 250, "definition");
    }
};

class CMUforfait : public LigneDecrite<CMUforfait> {
public:
    static constexpr uint16_t kIdentifiant = 68;
    static constexpr const char* kNom = "CMUforfait";
    std::string codeForfaitCMU = std::string(3, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeForfaitCMU, 3, "code forfait CMU");
    }
};

// Rows of the search tables, read on first use: keywords with their synonyms and
// indexed acts, and the menu tree (tables 29 to 31, 58).
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class Synonyme : public LigneDecrite<Synonyme> {
public:
    static constexpr uint16_t kIdentifiant = 29;
    static constexpr const char* kNom = "Synonyme";
    std::string synonyme;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.chaine(l.synonyme, "synonyme", true);
    }
};

class ActeIndexe : public LigneDecrite<ActeIndexe> {
public:
    static constexpr uint16_t kIdentifiant = 30;
    static constexpr const char* kNom = "ActeIndexe";
    std::string codeActe = std::string(13, ' ');
    uint32_t masqueChamps = 0;  // which search frames index the act
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeActe, 13, "code acte");
        v.entier32(l.masqueChamps, "masque des champs concernes",
                   "ERREUR : le masque champs concernes ne doit pas etre nul");
    }
};

class Arborescence : public LigneDecrite<Arborescence> {
public:
    static constexpr uint16_t kIdentifiant = 31;
    static constexpr const char* kNom = "Arborescence";
    uint32_t codeMenu = 0;
    std::string libelle;
    uint32_t codePere = 0;
    std::string notesMenu;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier32(l.codeMenu, "code menu");
        v.chaine(l.libelle, "libelle", true);
        v.entier32(l.codePere, "code pere");
        v.chaine(l.notesMenu, "notes menu");
    }
};

class MotCle : public LigneDecrite<MotCle> {
public:
    static constexpr uint16_t kIdentifiant = 58;
    static constexpr const char* kNom = "MotCle";
    std::string motCle;
    std::string motCleCanonique;
    PlageLongue synonymes;
    PlageLongue actesIndexes;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.chaine(l.motCle, "mot-cle", true);
        v.chaine(l.motCleCanonique, "mot-cle sous forme canonique", true);
        v.plage(l.synonymes, {29, "synonymes", "Synonymes"});
        v.plage(l.actesIndexes, {30, "actes indexes", "ActesIndexes"});
    }
};

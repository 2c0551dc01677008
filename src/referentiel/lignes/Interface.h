// Rows describing the exchange-zone interface: super-groups and their children,
// groups, fields and allowed values (tables 49 to 53).
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class DescriptifSuperGroupe : public LigneDecrite<DescriptifSuperGroupe> {
public:
    static constexpr uint16_t kIdentifiant = 49;
    static constexpr const char* kNom = "DescriptifSuperGroupe";
    uint16_t numero = 0;
    std::string nom;
    char codeFonction = ' ';
    Plage fils;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.numero, "numero de super-groupe");
        v.chaine(l.nom, "nom", true);
        v.code(l.codeFonction, "code fonction", false);
        v.plage(l.fils, {53, "fils", "FilsSuperGroupes"});
    }
};

class DescriptifGroupe : public LigneDecrite<DescriptifGroupe> {
public:
    static constexpr uint16_t kIdentifiant = 50;
    static constexpr const char* kNom = "DescriptifGroupe";
    uint16_t numero = 0;
    Plage champs;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.numero, "numero de groupe");
        v.plage(l.champs, {51, "champs", "Champs"});
    }
};

class DescriptifChamp : public LigneDecrite<DescriptifChamp> {
public:
    static constexpr uint16_t kIdentifiant = 51;
    static constexpr const char* kNom = "DescriptifChamp";
    char formatAttendu = ' ';
    char typeDonnee = ' ';
    uint16_t tailleMinimale = 0;
    uint16_t tailleMaximale = 0;
    Plage valeursAutorisees;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.formatAttendu, "format attendu");
        v.caracteres(l.typeDonnee, "type de donnee");
        v.entier16(l.tailleMinimale, "taille minimale");
        v.entier16(l.tailleMaximale, "taille maximale");
        v.plage(l.valeursAutorisees, {52, "valeurs autorisees", "ValeursAutorisees"});
    }
};

class ValeurAutorisee : public LigneDecrite<ValeurAutorisee> {
public:
    static constexpr uint16_t kIdentifiant = 52;
    static constexpr const char* kNom = "ValeurAutorisee";
    std::string valeur;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.chaine(l.valeur, "valeur");
    }
};

class FilsSuperGroupe : public LigneDecrite<FilsSuperGroupe> {
public:
    static constexpr uint16_t kIdentifiant = 53;
    static constexpr const char* kNom = "FilsSuperGroupe";
    uint16_t positionGroupe = 0;
    uint16_t positionSuperGroupe = 0;
    uint16_t occurrencesMinimum = 0;
    uint16_t occurrencesMaximum = 0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.positionGroupe, "position du groupe fils");
        v.entier16(l.positionSuperGroupe, "position du super-groupe fils");
        v.entier16(l.occurrencesMinimum, "occurrences minimum");
        v.entier16(l.occurrencesMaximum, "occurrences maximum");
    }
};

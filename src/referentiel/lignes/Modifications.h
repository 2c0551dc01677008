// Rows of the local modifications, present only in the modification file
// (tables 35 to 43). Their codes may be blank except a new grouping code.
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class ModificationPrixUnitaire : public LigneDecrite<ModificationPrixUnitaire> {
public:
    static constexpr uint16_t kIdentifiant = 35;
    static constexpr const char* kNom = "ModificationPrixUnitaire";
    std::string codeActe = std::string(13, ' ');
    char activite = ' ';
    char phase = ' ';
    uint16_t grille = 0;
    Date dateEffet;
    double prixUnitaire = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeActe, 13, "code acte", false);
        v.code(l.activite, "activite", false);
        v.code(l.phase, "phase", false);
        v.entier16(l.grille, "grille");
        v.dateDebut(l.dateEffet, "date d'effet");
        v.nombre(l.prixUnitaire, "prix unitaire");
    }
};

class ModificationSupplementCharge : public LigneDecrite<ModificationSupplementCharge> {
public:
    static constexpr uint16_t kIdentifiant = 36;
    static constexpr const char* kNom = "ModificationSupplementCharge";
    std::string codeActe = std::string(13, ' ');
    char activite = ' ';
    char phase = ' ';
    Date dateEffet;
    double nouveauSupplement = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeActe, 13, "code acte", false);
        v.code(l.activite, "activite", false);
        v.code(l.phase, "phase", false);
        v.dateDebut(l.dateEffet, "date d'effet");
        v.nombre(l.nouveauSupplement, "nouveau supplement");
    }
};

class ModificationMajorationDOM : public LigneDecrite<ModificationMajorationDOM> {
public:
    static constexpr uint16_t kIdentifiant = 37;
    static constexpr const char* kNom = "ModificationMajorationDOM";
    std::string codeActe = std::string(13, ' ');
    char activite = ' ';
    char phase = ' ';
    uint16_t positionDOM = 0;
    Date dateEffet;
    double nouvelleMajoration = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeActe, 13, "code acte", false);
        v.code(l.activite, "activite", false);
        v.code(l.phase, "phase", false);
        v.entier16(l.positionDOM, "position DOM");
        v.dateDebut(l.dateEffet, "date d'effet");
        v.nombre(l.nouvelleMajoration, "nouvelle majoration");
    }
};

class ModificationRegleAssociationNonPrevue : public LigneDecrite<ModificationRegleAssociationNonPrevue> {
public:
    static constexpr uint16_t kIdentifiant = 38;
    static constexpr const char* kNom = "ModificationRegleAssociationNonPrevue";
    char codeAssociation = ' ';
    uint16_t grille = 0;
    Date dateEffet;
    double nouveauCoefficient = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeAssociation, "code association", false);
        v.entier16(l.grille, "grille");
        v.dateDebut(l.dateEffet, "date d'effet");
        v.nombre(l.nouveauCoefficient, "nouveau coefficient");
    }
};

class ModificationSeuil : public LigneDecrite<ModificationSeuil> {
public:
    static constexpr uint16_t kIdentifiant = 39;
    static constexpr const char* kNom = "ModificationSeuil";
    uint16_t positionSeuil = 0;
    Date dateEffet;
    double nouveauSeuil = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.entier16(l.positionSeuil, "position seuil");
        v.dateDebut(l.dateEffet, "date d'effet");
        v.nombre(l.nouveauSeuil, "nouveau seuil");
    }
};

class ModificationModificateur : public LigneDecrite<ModificationModificateur> {
public:
    static constexpr uint16_t kIdentifiant = 40;
    static constexpr const char* kNom = "ModificationModificateur";
    char codeModificateur = ' ';
    uint16_t codeGrille = 0;
    Date dateEffet;
    double nouveauForfait = 0.0;
    double nouveauTaux = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeModificateur, "code modificateur", false);
        v.entier16(l.codeGrille, "code grille");
        v.dateDebut(l.dateEffet, "date d'effet");
        v.nombre(l.nouveauForfait, "nouveau forfait");
        v.nombre(l.nouveauTaux, "nouveau taux");
    }
};

class ModificationNonConventionne : public LigneDecrite<ModificationNonConventionne> {
public:
    static constexpr uint16_t kIdentifiant = 41;
    static constexpr const char* kNom = "ModificationNonConventionne";
    Date dateEffet;
    double nouveauForfait = 0.0;
    double nouveauTaux = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateEffet, "date d'effet");
        v.nombre(l.nouveauForfait, "nouveau forfait");
        v.nombre(l.nouveauTaux, "nouveau taux");
    }
};

class ModificationCodeRegroupement : public LigneDecrite<ModificationCodeRegroupement> {
public:
    static constexpr uint16_t kIdentifiant = 42;
    static constexpr const char* kNom = "ModificationCodeRegroupement";
    std::string codeActe = std::string(13, ' ');
    char activite = ' ';
    Date dateEffet;
    std::string nouveauCode = std::string(3, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeActe, 13, "code acte", false);
        v.code(l.activite, "activite", false);
        v.dateDebut(l.dateEffet, "date d'effet");
        v.code(l.nouveauCode, 3, "nouveau code", false);
    }
};

class ModificationNouveauCodeRegroupement : public LigneDecrite<ModificationNouveauCodeRegroupement> {
public:
    static constexpr uint16_t kIdentifiant = 43;
    static constexpr const char* kNom = "ModificationNouveauCodeRegroupement";
    Date dateEffet;
    std::string nouveauCodeRegroupement = std::string(3, ' ');
    std::string nouveauLibelle;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateEffet, "date d'effet");
        v.code(l.nouveauCodeRegroupement, 3, "nouveau code regroupement");
        v.chaine(l.nouveauLibelle, "nouveau libelle");
    }
};

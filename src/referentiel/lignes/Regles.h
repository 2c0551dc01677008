// Rows describing the rules: their information, the services that can be
// switched off, rule references, and the forcing-indicator priorities
// (tables 34, 45 to 48, 54 to 57).
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class Table;

class InformationRegle : public LigneDecrite<InformationRegle> {
public:
    static constexpr uint16_t kIdentifiant = 34;
    static constexpr const char* kNom = "InformationRegle";
    std::string identifiantRegle = std::string(9, ' ');
    std::string libellePrincipal;
    std::string libelleSecondaire;
    char typeRegle = ' ';
    std::string referenceRegleCdC = std::string(10, ' ');
    char indicateurForcage = ' ';
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.identifiantRegle, 9, "identifiant regle");
        v.chaine(l.libellePrincipal, "libelle principal");
        v.chaine(l.libelleSecondaire, "libelle secondaire");
        v.caracteres(l.typeRegle, "type de regle");
        v.caracteres(l.referenceRegleCdC, 10, "reference regle CdC");
        v.caracteres(l.indicateurForcage, "indicateur de forcage");
    }
};

class ReferenceRegleEntrainantDebrayage : public LigneDecrite<ReferenceRegleEntrainantDebrayage> {
public:
    static constexpr uint16_t kIdentifiant = 46;
    static constexpr const char* kNom = "ReferenceRegleEntrainantDebrayage";
    std::string referenceRegle = std::string(10, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.referenceRegle, 10, "reference regle");
    }
};

class ServiceDebrayable : public LigneDecrite<ServiceDebrayable> {
public:
    static constexpr uint16_t kIdentifiant = 45;
    static constexpr const char* kNom = "ServiceDebrayable";
    std::string identifiant;
    Plage regles;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.chaine(l.identifiant, "identifiant", true);
        v.plage(l.regles, {46, "regles", "ReferencesReglesEntrainantDebrayage", true});
    }
};

class ReferenceRegleNonVerifiable : public LigneDecrite<ReferenceRegleNonVerifiable> {
public:
    static constexpr uint16_t kIdentifiant = 48;
    static constexpr const char* kNom = "ReferenceRegleNonVerifiable";
    std::string referenceRegle = std::string(10, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.referenceRegle, 10, "reference regle");
    }
};

class ReferenceRegleEnErreur : public LigneDecrite<ReferenceRegleEnErreur> {
public:
    static constexpr uint16_t kIdentifiant = 47;
    static constexpr const char* kNom = "ReferenceRegleEnErreur";
    std::string referenceRegle = std::string(10, ' ');
    Plage reglesNonVerifiables;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.referenceRegle, 10, "reference regle");
        v.plage(l.reglesNonVerifiables, {48, "regles", "ReferencesReglesNonVerifiables", true});
    }
};

class PrioriteIndicateurForcage : public LigneDecrite<PrioriteIndicateurForcage> {
public:
    static constexpr uint16_t kIdentifiant = 54;
    static constexpr const char* kNom = "PrioriteIndicateurForcage";
    char indicateurForcage = ' ';
    uint16_t priorite = 0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.indicateurForcage, "indicateur de forcage");
        v.entier16(l.priorite, "priorite");
    }
};

class ReferenceCdC : public LigneDecrite<ReferenceCdC> {
public:
    static constexpr uint16_t kIdentifiant = 55;
    static constexpr const char* kNom = "ReferenceCdC";
    std::string identifiantRegle = std::string(10, ' ');
    std::string referenceRegleCdC = std::string(10, ' ');
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.identifiantRegle, 10, "identifiant de la regle");
        v.caracteres(l.referenceRegleCdC, 10, "reference regle CdC");
    }
};

class ValeurException : public LigneDecrite<ValeurException> {
public:
    static constexpr uint16_t kIdentifiant = 57;
    static constexpr const char* kNom = "ValeurException";
    char indicateurPresent = ' ';
    char indicateurRetourne = ' ';
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.indicateurPresent, "indicateur deja present");
        v.caracteres(l.indicateurRetourne, "code indicateur retourne");
    }
};

class ExceptionPrioriteIndicateur : public LigneDecrite<ExceptionPrioriteIndicateur> {
public:
    static constexpr uint16_t kIdentifiant = 56;
    static constexpr const char* kNom = "ExceptionPrioriteIndicateur";
    char indicateurACombiner = ' ';
    Plage valeurs;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.caracteres(l.indicateurACombiner, "indicateur a combiner");
        v.plage(l.valeurs, {57, "valeurs", "ValeursExceptions"});
    }
    uint16_t rechercherCombinaisonException(const Table& valeursException, char indicateur,
                                            const ValeurException*& valeur) const;
};

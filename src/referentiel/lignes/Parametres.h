// Dated parameters (thresholds, non-contracted reduction, grouping codes, counts of
// modifiers) and the holidays by caisse (tables 10 to 14, 18, 44).
#pragma once

#include <cstdint>
#include <string>

#include "referentiel/LigneTable.h"

class Seuil : public LigneDecrite<Seuil> {
public:
    static constexpr uint16_t kIdentifiant = 10;
    static constexpr const char* kNom = "Seuil";
    Date dateDebut;
    Date dateFin;
    double seuilMetropole = 0.0;
    double seuilAntilles = 0.0;
    double seuilReunion = 0.0;
    double seuilGuyane = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.nombre(l.seuilMetropole, "seuil metropole");
        v.nombre(l.seuilAntilles, "seuil Antilles");
        v.nombre(l.seuilReunion, "seuil Reunion");
        v.nombre(l.seuilGuyane, "seuil Guyane");
    }
};

class JourFerieListe : public LigneDecrite<JourFerieListe> {
public:
    static constexpr uint16_t kIdentifiant = 12;
    static constexpr const char* kNom = "JourFerieListe";
    Date jourFerie;  // year 0 for a holiday of every year
    char typeJour = ' ';
    Date dateDebut;
    Date dateFin;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateFin(l.jourFerie, "jour ferie specifique");
        v.caracteres(l.typeJour, "type de jour");
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
    }
};

class JourFerieCaisse : public LigneDecrite<JourFerieCaisse> {
public:
    static constexpr uint16_t kIdentifiant = 11;
    static constexpr const char* kNom = "JourFerieCaisse";
    std::string codeCaisse = std::string(3, ' ');
    Plage joursFeries;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeCaisse, 3, "code caisse");
        v.plage(l.joursFeries, {12, "jours feries", "JoursFeriesListe"});
    }
};

class ReductionNonConventionne : public LigneDecrite<ReductionNonConventionne> {
public:
    static constexpr uint16_t kIdentifiant = 13;
    static constexpr const char* kNom = "ReductionNonConventionne";
    Date dateDebut;
    Date dateFin;
    double forfait = 0.0;
    double coefficient = 0.0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.nombre(l.forfait, "forfait");
        v.nombre(l.coefficient, "coefficient", 0.0, "ERREUR : coefficient invalide");
    }
};

class CodeRegroupement : public LigneDecrite<CodeRegroupement> {
public:
    static constexpr uint16_t kIdentifiant = 14;
    static constexpr const char* kNom = "CodeRegroupement";
    std::string codeRegroupement = std::string(3, ' ');
    Date dateDebut;
    Date dateFin;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeRegroupement, 3, "code regroupement");
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
    }
};

class NombreModificateurTarifant : public LigneDecrite<NombreModificateurTarifant> {
public:
    static constexpr uint16_t kIdentifiant = 18;
    static constexpr const char* kNom = "NombreModificateurTarifant";
    Date dateDebut;
    Date dateFin;
    uint16_t nombre = 0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.entier16(l.nombre, "nombre de modificateurs tarifiants");
    }
};

class NombreModificateurTransmissible : public LigneDecrite<NombreModificateurTransmissible> {
public:
    static constexpr uint16_t kIdentifiant = 44;
    static constexpr const char* kNom = "NombreModificateurTransmissible";
    Date dateDebut;
    Date dateFin;
    uint16_t nombre = 0;
    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.dateDebut(l.dateDebut, "date debut");
        v.dateFin(l.dateFin, "date fin");
        v.entier16(l.nombre, "nombre de modificateurs transmissibles");
    }
};

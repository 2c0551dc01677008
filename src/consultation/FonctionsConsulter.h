// The consultation family: one handler per function number, each reading its
// input fields, checking the reference date against the act it names, asking the
// query layer and answering in an output zone sized once.
#pragma once

#include <cstdint>

#include "consultation/Fonctions.h"
#include "zone/Reponse.h"
#include "zone/Date.h"
#include "zone/ZoneSortie.h"

class LectureDonnees;

class FonctionsConsulter : public Fonctions {
public:
    FonctionsConsulter(const Date& dateReference, ZoneKPX* zoneEntree, const SuperGroupe* superGroupe,
                       LectureDonnees& lecture);
    ~FonctionsConsulter() override;

    // Runs the handler of that function number; 0xDFFF when the number has none.
    uint16_t executer(uint16_t numero, ZoneSortie& sortie);

    uint16_t CCAM_1(ZoneSortie& sortie);
    uint16_t CCAM_2(ZoneSortie& sortie);
    uint16_t CCAM_3(ZoneSortie& sortie);
    uint16_t CCAM_4a(ZoneSortie& sortie);
    uint16_t CCAM_5(ZoneSortie& sortie);
    uint16_t CCAM_6(ZoneSortie& sortie);
    uint16_t CCAM_7(ZoneSortie& sortie);
    uint16_t CCAM_8(ZoneSortie& sortie);
    uint16_t CCAM_9(ZoneSortie& sortie);
    uint16_t CCAM_9_1(ZoneSortie& sortie);
    uint16_t CCAM_10(ZoneSortie& sortie);
    uint16_t CCAM_11(ZoneSortie& sortie);
    uint16_t CCAM_12(ZoneSortie& sortie);
    uint16_t CCAM_13(ZoneSortie& sortie);
    uint16_t CCAM_14(ZoneSortie& sortie);
    uint16_t CCAM_15(ZoneSortie& sortie);
    uint16_t CCAM_16a(ZoneSortie& sortie);
    uint16_t CCAM_18(ZoneSortie& sortie);
    uint16_t CCAM_19(ZoneSortie& sortie);
    uint16_t CCAM_20(ZoneSortie& sortie);
    uint16_t CCAM_22(ZoneSortie& sortie);
    uint16_t CCAM_24(ZoneSortie& sortie);
    uint16_t CCAM_25(ZoneSortie& sortie);
    uint16_t CCAM_30_1(ZoneSortie& sortie);
    uint16_t CCAM_32a(ZoneSortie& sortie);
    uint16_t CCAM_37(ZoneSortie& sortie);
    uint16_t CCAM_39(ZoneSortie& sortie);
    uint16_t CCAM_40a(ZoneSortie& sortie);
    uint16_t CCAM_41(ZoneSortie& sortie);
    uint16_t CCAM_42(ZoneSortie& sortie);
    uint16_t CCAM_43a(ZoneSortie& sortie);
    uint16_t CCAM_44(ZoneSortie& sortie);
    uint16_t CCAM_45(ZoneSortie& sortie);
    uint16_t CCAM_46(ZoneSortie& sortie);
    uint16_t CCAM_47a(ZoneSortie& sortie);
    uint16_t CCAM_52a(ZoneSortie& sortie);
    uint16_t TB02_1(ZoneSortie& sortie);
    uint16_t TB02_2(ZoneSortie& sortie);
    uint16_t TB06_1(ZoneSortie& sortie);
    uint16_t TB06_2(ZoneSortie& sortie);
    uint16_t TB07_1(ZoneSortie& sortie);
    uint16_t TB08_1(ZoneSortie& sortie);
    uint16_t TB09_1(ZoneSortie& sortie);
    uint16_t TB10_1(ZoneSortie& sortie);
    uint16_t TB10_2(ZoneSortie& sortie);
    uint16_t TB11_1(ZoneSortie& sortie);
    uint16_t TB11_2(ZoneSortie& sortie);
    uint16_t TB11_3(ZoneSortie& sortie);
    uint16_t TB12_1(ZoneSortie& sortie);
    uint16_t TB12_2(ZoneSortie& sortie);
    uint16_t TB13_1(ZoneSortie& sortie);
    uint16_t TB15_1(ZoneSortie& sortie);
    uint16_t TB15_2(ZoneSortie& sortie);
    uint16_t TB19_1(ZoneSortie& sortie);
    uint16_t TB20_1(ZoneSortie& sortie);
    uint16_t TB21_1(ZoneSortie& sortie);
    uint16_t TB22_3(ZoneSortie& sortie);
    uint16_t TB23(ZoneSortie& sortie);

private:
    void controlerDateReference(uint16_t& cr, const Code* acte);
    Nombre grille(uint16_t& cr, const Nombre* ps, const Nombre* bs);
    // Groups of one list: 3110 per code, or 3118 with each code's label from list numeroListe.
    void codes(uint16_t& cr, const TypeListe<Code>& liste, Reponse& reponse);
    void codesLibelles(uint16_t& cr, const TypeListe<Code>& liste, int32_t numeroListe, Reponse& reponse);
    // Group 3130 after a value, only when a local modification is in force.
    static void dateModification(const Date& date, Reponse& reponse);
    // Common tail: the zone when the code is 0.
    uint16_t repondre(uint16_t cr, const Reponse& reponse, ZoneSortie& sortie);

    // Handlers that differ only in their query.
    template <class Requete>
    uint16_t texteActe(const char* nom, ZoneSortie& sortie, Requete requete);
    template <class Requete>
    uint16_t listeActe(const char* nom, ZoneSortie& sortie, bool avecActivite, int32_t numeroListe, Requete requete);
    template <class T, class Requete>
    uint16_t valeurModificateur(const char* nom, uint16_t groupe, ZoneSortie& sortie, Requete requete);
    template <class T, class Requete>
    uint16_t valeurActe(const char* nom, uint16_t groupe, bool controle, ZoneSortie& sortie, Requete requete);
    template <class T, class Requete>
    uint16_t valeurPhase(const char* nom, uint16_t groupe, ZoneSortie& sortie, Requete requete);
    // A value at the reference date, then the date of its local modification if one is in force.
    template <class T, class Requete, class Modification>
    uint16_t valeurDatee(const char* nom, uint16_t groupe, ZoneSortie& sortie, Requete requete,
                         Modification modification);
    template <class T, class Requete>
    uint16_t valeurGrilleModificateur(const char* nom, uint16_t groupe, ZoneSortie& sortie, Requete requete);

    Date dateReference;
    LectureDonnees& lecture;
};

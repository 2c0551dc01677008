// What the fuzz targets over a loaded référentiel share: a change of every kind made through
// the writer, the count of records the modification tables hold, and every act loaded.
#pragma once

#include <cstdint>

#include "modification/ModificationDonnees.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Index.h"
#include "zone/Date.h"
#include "zone/Nombre.h"

// One change of every kind over the sample, each recorded; the first refusal's code.
inline uint16_t changerDeChaqueSorte(ModificationDonnees& m) {
    const Date effet(2025, 1, 1);
    uint16_t cr = m.modifierPrixUnitaire("AHQP001", "1", "0", effet, Nombre(1), 50.0, true);
    if (cr == 0) cr = m.modifierSupplementCharges("AHQP001", "1", "0", effet, 3.0, true);
    if (cr == 0) cr = m.modifierMajorationDOM("AHQP001", "1", "0", effet, 2, 1.2, true);
    if (cr == 0) cr = m.modifierCodeRegroupement("AHQP001", "1", effet, "ADC", true);
    if (cr == 0) cr = m.modifierCoefficientAssociationNonPrevue("3", effet, Nombre(1), 0.85, true);
    if (cr == 0) cr = m.modifierSeuil(effet, 1, 130.0, true);
    if (cr == 0) cr = m.modifierForfaitModificateur("F", effet, Nombre(1), 30.0, true);
    if (cr == 0) cr = m.modifierTauxNonConventionnes(effet, 0.2, true);
    if (cr == 0) cr = m.ajouterCodeRegroupement(effet, "ADZ", "Actes locaux", true);
    return cr;
}

inline uint32_t nombreEnregistrements(const Referentiel& referentiel) {
    uint32_t n = 0;
    for (uint16_t id = Referentiel::kPremiereTableModification; id <= Referentiel::kDerniereTableModification; ++id)
        n += referentiel.table(id)->nombreLignes();
    return n;
}

// Every act the index names, each loaded or refused with a code.
inline void chargerActes(Referentiel& referentiel) {
    const Table* index = referentiel.table(0);
    for (uint32_t i = 0; i < index->nombreLignes(); ++i) {
        const Index* ligne = index->ligneDe<Index>(i);
        NiveauActe acte;
        referentiel.chargerActe(ligne->positionActe, acte, ligne->codeActe.c_str());
    }
}

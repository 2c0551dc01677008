// Every row class of the référentiel, for the code that works across tables,
// and their list in identifier order (15 and 28 have none).
#pragma once

#include <tuple>

#include "referentiel/lignes/Associations.h"
#include "referentiel/lignes/Concepts.h"
#include "referentiel/lignes/Contextes.h"
#include "referentiel/lignes/Index.h"
#include "referentiel/lignes/Interface.h"
#include "referentiel/lignes/Modificateurs.h"
#include "referentiel/lignes/Modifications.h"
#include "referentiel/lignes/Parametres.h"
#include "referentiel/lignes/Recherche.h"
#include "referentiel/lignes/Regles.h"
#include "referentiel/lignes/Specialites.h"

using ToutesLesLignes =
    std::tuple<Index, AssociationNonPrevue, HistoriqueAssociationNonPrevue, RegleTarifaire, HistoriqueRegleTarifaire,
               Specialite, HistoriqueSpecialite, ClasseSpecialite, HistoriqueClasseSpecialite, SpecialiteDansClasse,
               Seuil, JourFerieCaisse, JourFerieListe, ReductionNonConventionne, CodeRegroupement, ObligationCodage,
               DateObligationCodage, NombreModificateurTarifant, ConceptCCAM, HistoriqueConceptCCAM,
               ValeurConceptCCAM, Modificateur, HistoriqueAgeModificateur, ModificateurCompatible,
               HistoriqueCoherenceModificateur, HistoriqueValeurModificateur, HistoriqueModificateurOC, Synonyme,
               ActeIndexe, Arborescence, Codes, LibelleCode, InformationRegle, ModificationPrixUnitaire,
               ModificationSupplementCharge, ModificationMajorationDOM, ModificationRegleAssociationNonPrevue,
               ModificationSeuil, ModificationModificateur, ModificationNonConventionne,
               ModificationCodeRegroupement, ModificationNouveauCodeRegroupement, NombreModificateurTransmissible,
               ServiceDebrayable, ReferenceRegleEntrainantDebrayage, ReferenceRegleEnErreur,
               ReferenceRegleNonVerifiable, DescriptifSuperGroupe, DescriptifGroupe, DescriptifChamp,
               ValeurAutorisee, FilsSuperGroupe, PrioriteIndicateurForcage, ReferenceCdC,
               ExceptionPrioriteIndicateur, ValeurException, MotCle, NombreActeAssociation, AssoGrille, RegleGrille,
               ModificaGrille, ContextPS, ContextBN, ConTarifaire, HistoGrilleTar, InfosGril, CMUforfait>;

template <class F, class... L>
void pourChaqueClasseDe(F& f, std::tuple<L...>*) {
    (f.template operator()<L>(), ...);
}

// Calls f.template operator()<L>() for the row class of each identifier, in identifier order.
template <class F>
void pourChaqueClasse(F& f) {
    pourChaqueClasseDe(f, static_cast<ToutesLesLignes*>(nullptr));
}

#include "consultation/RechercheActes.h"

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "frame/Trace.h"
#include "zone/ListeCodes.h"
#include "zone/Nombre.h"
#include "zone/Texte.h"

namespace {

constexpr uint32_t kLongueurNombreMax = 5;
constexpr uint32_t kLongueurCodeMax = 13;
constexpr uint16_t kCapaciteFiltre = 8000;

bool estVide(const Texte& texte) {
    for (size_t i = 0; i < texte.longueur(); ++i)
        if (texte[i] != ' ' && texte[i] != '\t') return false;
    return true;
}

// Sized for the maxima (a count of 5 characters, codes of 13), then filled.
void ecrireResultat(uint16_t& cr, const TypeListe<Code>& codes, ZoneSortie& sortie) {
    if (cr != 0) return;
    const uint32_t n = codes.nombre();
    const uint32_t contenu = ZoneKPX::tailleChamp(kLongueurNombreMax) + n * ZoneKPX::tailleChamp(kLongueurCodeMax);
    sortie.allouer(cr, ZoneKPX::tailleGroupeContenu(contenu), CAT_CONSULTATION);
    if (cr == 0) cr = sortie->ajouterGroupe(RechercheActes::kGroupeResultat);
    if (cr == 0) cr = sortie->ajouterChamp(Nombre(static_cast<int32_t>(n)));
    for (uint16_t i = 0; cr == 0 && i < n; ++i) cr = sortie->ajouterChamp(codes.element(i));
    if (cr != 0) sortie.liberer();
}

}  // namespace

uint16_t RechercheActes::parMotCle(const char* motCle, uint32_t cadreRecherche, ZoneSortie& sortie) {
    uint16_t cr = 0;
    ListeCodes actes;
    Texte canonique(motCle);
    canonique.canoniser();
    if (estVide(canonique)) {
        tracer(CAT_CONSULTATION, NIV_ERREUR, "Mot clé canonique vide");
        cr = KPX_CR_ARGUMENT;
    }
    if (cr == 0)
        cr = lecture_.rechercherActesIndexes(canonique, cadreRecherche == 0 ? kTousLesCadres : cadreRecherche, actes);
    if (cr == 0 && actes.nombre() == 0) {
        tracer(CAT_CONSULTATION, NIV_ERREUR, "Aucun code acte ne correspond au mot clé %s.", motCle);
        cr = KPX_CR_AUCUN_RESULTAT;
    }
    ecrireResultat(cr, actes, sortie);
    return cr;
}

uint16_t RechercheActes::parFiltre(const char* filtre, ZoneSortie& sortie) {
    uint16_t cr = 0;
    ListeCodes actes(kCapaciteFiltre);
    const Code prefixe(filtre != nullptr ? filtre : "");
    cr = lecture_.rechercherCodesActes(actes, prefixe);
    if (cr == 0 && actes.nombre() == 0) {
        tracer(CAT_CONSULTATION, NIV_ERREUR, "aucun code acte ne correspond au filtre %s.", filtre != nullptr ? filtre : "");
        cr = KPX_CR_AUCUN_RESULTAT;
    }
    ecrireResultat(cr, actes, sortie);
    return cr;
}

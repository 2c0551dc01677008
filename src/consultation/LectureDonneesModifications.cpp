// Queries on the local modification records (tables 35 to 43): whether a value
// carries a modification in force at a date, and since when. Records are kept in
// the order they were made, so the walk goes back from the last one.
#include "consultation/LectureDonnees.h"
#include "consultation/ParcoursReferentiel.h"
#include "referentiel/lignes/Modifications.h"

namespace {

const Code& tracerCodeActe(const Code& codeActe) {
    tracerLecture("Code acte recherche : %s", codeActe.chaine());
    return codeActe;
}

// The key of an act-level value as the records store it: the act code padded to 13.
struct CleActe {
    CleActe(const Code& codeActe, const Code* codeActivite, const Code* codePhase, uint16_t& cr)
        : acte(tracerCodeActe(codeActe), LectureDonnees::kLargeurCodeActe, cr) {
        if (codeActivite != nullptr) {
            const CleFixe cle(*codeActivite, 1, cr);
            if (cr == 0) activite = cle[0];
        }
        if (codePhase != nullptr) {
            const CleFixe cle(*codePhase, 1, cr);
            if (cr == 0) phase = cle[0];
        }
    }
    CleFixe acte;
    char activite = ' ';
    char phase = ' ';
};

template <class L>
bool memeActe(const L& l, const CleActe& cle) {
    return comparerCle(l.codeActe, cle.acte) == 0 && l.activite == cle.activite;
}

template <class L>
bool memePhase(const L& l, const CleActe& cle) {
    return memeActe(l, cle) && l.phase == cle.phase;
}

// The two answers of a modification query: whether a record is in force, and since when.
void repondre(const void* enregistrement, Booleen& modifie) { modifie = Booleen(enregistrement != nullptr); }

template <class L>
void repondre(const L* enregistrement, Date& date) {
    date = enregistrement != nullptr ? enregistrement->dateEffet : Date();
    if (enregistrement != nullptr) tracerLecture("Date de modification : %s", date.chaine());
}

// A modification query: its trace and date, then its table's lookup answered into reponse.
template <class Reponse, class Recherche>
uint16_t requeteModification(const char* nom, const char* objet, const Date& dateReference, Reponse& reponse,
                             Recherche recherche) {
    uint16_t cr = 0;
    TraceRequete trace(nom, objet, cr);
    tracerDateReference(dateReference);
    const auto* enregistrement = recherche(cr);
    if (cr == 0) repondre(enregistrement, reponse);
    return cr;
}

uint16_t grilleDe(const Nombre& grille) { return static_cast<uint16_t>(grille.valeur()); }

}  // namespace

// --- One lookup per table ---------------------------------------------------------------

const ModificationCodeRegroupement* LectureDonnees::modificationCodeRegroupement(const Code& codeActe,
                                                                                 const Code& codeActivite,
                                                                                 const Date& dateReference,
                                                                                 uint16_t& cr) {
    const CleActe cle(codeActe, &codeActivite, nullptr, cr);
    const Table* table = tableReferentiel(ModificationCodeRegroupement::kIdentifiant, cr);
    return derniereModification<ModificationCodeRegroupement>(
        table, dateReference, [&cle](const ModificationCodeRegroupement& l) { return memeActe(l, cle); });
}

const ModificationPrixUnitaire* LectureDonnees::modificationPrixUnitaire(const Code& codeActe,
                                                                         const Code& codeActivite,
                                                                         const Code& codePhase, const Nombre* grille,
                                                                         const Date& dateReference, uint16_t& cr) {
    const CleActe cle(codeActe, &codeActivite, &codePhase, cr);
    const Table* table = tableReferentiel(ModificationPrixUnitaire::kIdentifiant, cr);
    return derniereModification<ModificationPrixUnitaire>(table, dateReference, [&](const ModificationPrixUnitaire& l) {
        return memePhase(l, cle) && (grille == nullptr || l.grille == grilleDe(*grille));
    });
}

const ModificationSupplementCharge* LectureDonnees::modificationSupplementCharge(const Code& codeActe,
                                                                                 const Code& codeActivite,
                                                                                 const Code& codePhase,
                                                                                 const Date& dateReference,
                                                                                 uint16_t& cr) {
    const CleActe cle(codeActe, &codeActivite, &codePhase, cr);
    const Table* table = tableReferentiel(ModificationSupplementCharge::kIdentifiant, cr);
    return derniereModification<ModificationSupplementCharge>(
        table, dateReference, [&cle](const ModificationSupplementCharge& l) { return memePhase(l, cle); });
}

const ModificationMajorationDOM* LectureDonnees::modificationMajorationDOM(const Code& codeActe,
                                                                           const Code& codeActivite,
                                                                           const Code& codePhase,
                                                                           const Nombre& positionDOM,
                                                                           const Date& dateReference, uint16_t& cr) {
    const CleActe cle(codeActe, &codeActivite, &codePhase, cr);
    const Table* table = tableReferentiel(ModificationMajorationDOM::kIdentifiant, cr);
    const uint16_t position = static_cast<uint16_t>(positionDOM.valeur());
    return derniereModification<ModificationMajorationDOM>(
        table, dateReference,
        [&](const ModificationMajorationDOM& l) { return memePhase(l, cle) && l.positionDOM == position; });
}

const ModificationModificateur* LectureDonnees::modificationModificateur(const Code& codeModificateur,
                                                                         const Nombre& grille,
                                                                         const Date& dateReference, uint16_t& cr) {
    const CleFixe cle(codeModificateur, 1, cr);
    const Table* table = tableReferentiel(ModificationModificateur::kIdentifiant, cr);
    if (cr != 0) return nullptr;
    return derniereModification<ModificationModificateur>(table, dateReference, [&](const ModificationModificateur& l) {
        return l.codeModificateur == cle[0] && l.codeGrille == grilleDe(grille);
    });
}

const ModificationRegleAssociationNonPrevue* LectureDonnees::modificationRegleAssociationNP(
    const Code& codeAssociation, const Nombre& grille, const Date& dateReference, uint16_t& cr) {
    const CleFixe cle(codeAssociation, 1, cr);
    const Table* table = tableReferentiel(ModificationRegleAssociationNonPrevue::kIdentifiant, cr);
    if (cr != 0) return nullptr;
    return derniereModification<ModificationRegleAssociationNonPrevue>(
        table, dateReference, [&](const ModificationRegleAssociationNonPrevue& l) {
            return l.codeAssociation == cle[0] && l.grille == grilleDe(grille);
        });
}

const ModificationSeuil* LectureDonnees::modificationSeuil(const Nombre& positionSeuil, const Date& dateReference,
                                                           uint16_t& cr) {
    const Table* table = tableReferentiel(ModificationSeuil::kIdentifiant, cr);
    const uint16_t position = static_cast<uint16_t>(positionSeuil.valeur());
    return derniereModification<ModificationSeuil>(
        table, dateReference, [position](const ModificationSeuil& l) { return l.positionSeuil == position; });
}

const ModificationNonConventionne* LectureDonnees::modificationNonConventionne(const Date& dateReference,
                                                                               uint16_t& cr) {
    const Table* table = tableReferentiel(ModificationNonConventionne::kIdentifiant, cr);
    return derniereModification<ModificationNonConventionne>(table, dateReference,
                                                             [](const ModificationNonConventionne&) { return true; });
}

// --- Whether a value carries a modification in force, and since when --------------------------

uint16_t LectureDonnees::chercheModificationCodeRegroupement(const Code& codeActe, const Code& codeActivite,
                                                             const Date& dateReference, Booleen& modifie) {
    return requeteModification(
        "chercheModificationCodeRegroupement", "recherche d'une modification du code regroupement d'une activite",
        dateReference, modifie,
        [&](uint16_t& cr) { return modificationCodeRegroupement(codeActe, codeActivite, dateReference, cr); });
}

uint16_t LectureDonnees::rechercherDateModificationCodeRegroupement(const Code& codeActe, const Code& codeActivite,
                                                                    const Date& dateReference, Date& date) {
    return requeteModification(
        "rechercherDateModificationCodeRegroupement", "recherche de la date de modification du code regroupement",
        dateReference, date,
        [&](uint16_t& cr) { return modificationCodeRegroupement(codeActe, codeActivite, dateReference, cr); });
}

uint16_t LectureDonnees::chercherModificationPrixUnitaire(const Code& codeActe, const Code& codeActivite,
                                                          const Code& codePhase, const Nombre& grille,
                                                          const Date& dateReference, Booleen& modifie) {
    return requeteModification("chercherModificationPrixUnitaire", "recherche d'une modification du prix unitaire",
                               dateReference, modifie, [&](uint16_t& cr) {
                                   return modificationPrixUnitaire(codeActe, codeActivite, codePhase, &grille,
                                                                   dateReference, cr);
                               });
}

uint16_t LectureDonnees::rechercherDateModificationPrixUnitaire(const Code& codeActe, const Code& codeActivite,
                                                                const Code& codePhase, const Date& dateReference,
                                                                Date& date) {
    return requeteModification(
        "rechercherDateModificationPrixUnitaire", "recherche de la date de modification du prix unitaire",
        dateReference, date, [&](uint16_t& cr) {
            return modificationPrixUnitaire(codeActe, codeActivite, codePhase, nullptr, dateReference, cr);
        });
}

uint16_t LectureDonnees::chercherModificationSupplementCharge(const Code& codeActe, const Code& codeActivite,
                                                              const Code& codePhase, const Date& dateReference,
                                                              Booleen& modifie) {
    return requeteModification(
        "chercherModificationSupplementCharge", "recherche d'une modification du supplement de charge", dateReference,
        modifie, [&](uint16_t& cr) {
            return modificationSupplementCharge(codeActe, codeActivite, codePhase, dateReference, cr);
        });
}

uint16_t LectureDonnees::rechercherDateModificationSupplementCharges(const Code& codeActe, const Code& codeActivite,
                                                                     const Code& codePhase, const Date& dateReference,
                                                                     Date& date) {
    return requeteModification(
        "rechercherDateModificationSupplementCharges", "recherche de la date de modification du supplement de charge",
        dateReference, date, [&](uint16_t& cr) {
            return modificationSupplementCharge(codeActe, codeActivite, codePhase, dateReference, cr);
        });
}

uint16_t LectureDonnees::chercherModificationMajorationDOM(const Code& codeActe, const Code& codeActivite,
                                                           const Code& codePhase, const Nombre& positionDOM,
                                                           const Date& dateReference, Booleen& modifie) {
    return requeteModification("chercherModificationMajorationDOM", "recherche d'une modification de la majoration DOM",
                               dateReference, modifie, [&](uint16_t& cr) {
                                   return modificationMajorationDOM(codeActe, codeActivite, codePhase, positionDOM,
                                                                    dateReference, cr);
                               });
}

uint16_t LectureDonnees::rechercherDateModificationMajorationDOM(const Code& codeActe, const Code& codeActivite,
                                                                 const Code& codePhase, const Nombre& positionDOM,
                                                                 const Date& dateReference, Date& date) {
    return requeteModification(
        "rechercherDateModificationMajorationDOM", "recherche de la date de modification de la majoration DOM",
        dateReference, date, [&](uint16_t& cr) {
            return modificationMajorationDOM(codeActe, codeActivite, codePhase, positionDOM, dateReference, cr);
        });
}

uint16_t LectureDonnees::chercherModificationModificateur(const Code& codeModificateur, const Nombre& grille,
                                                          const Date& dateReference, Booleen& modifie) {
    return requeteModification(
        "chercherModificationModificateur", "recherche d'une modification des valeurs d'un modificateur", dateReference,
        modifie, [&](uint16_t& cr) { return modificationModificateur(codeModificateur, grille, dateReference, cr); });
}

uint16_t LectureDonnees::rechercherDateModificationModificateur(const Code& codeModificateur, const Nombre& grille,
                                                                const Date& dateReference, Date& date) {
    return requeteModification(
        "rechercherDateModificationModificateur", "recherche de la date de modification des valeurs d'un modificateur",
        dateReference, date,
        [&](uint16_t& cr) { return modificationModificateur(codeModificateur, grille, dateReference, cr); });
}

uint16_t LectureDonnees::chercherModificationRegleAssociationNP(const Code& codeAssociation, const Nombre& grille,
                                                                const Date& dateReference, Booleen& modifie) {
    return requeteModification(
        "chercherModificationRegleAssociationNP",
        "recherche d'une modification du coefficient d'une association non prevue", dateReference, modifie,
        [&](uint16_t& cr) { return modificationRegleAssociationNP(codeAssociation, grille, dateReference, cr); });
}

uint16_t LectureDonnees::rechercherDateModificationCoefficientAssociationNP(const Code& codeAssociation,
                                                                            const Nombre& grille,
                                                                            const Date& dateReference, Date& date) {
    return requeteModification(
        "rechercherDateModificationCoefficientAssociationNP",
        "recherche de la date de modification du coefficient d'une association non prevue", dateReference, date,
        [&](uint16_t& cr) { return modificationRegleAssociationNP(codeAssociation, grille, dateReference, cr); });
}

uint16_t LectureDonnees::chercherModificationSeuil(const Nombre& positionSeuil, const Date& dateReference,
                                                   Booleen& modifie) {
    return requeteModification("chercherModificationSeuil", "recherche d'une modification d'un seuil d'exoneration",
                               dateReference, modifie,
                               [&](uint16_t& cr) { return modificationSeuil(positionSeuil, dateReference, cr); });
}

uint16_t LectureDonnees::rechercherDateModificationSeuilExoTM(const Nombre& positionSeuil, const Date& dateReference,
                                                              Date& date) {
    return requeteModification("rechercherDateModificationSeuilExoTM",
                               "recherche de la date de modification d'un seuil d'exoneration", dateReference, date,
                               [&](uint16_t& cr) { return modificationSeuil(positionSeuil, dateReference, cr); });
}

uint16_t LectureDonnees::chercherModificationReductionNC(const Date& dateReference, Booleen& modifie) {
    return requeteModification("chercherModificationReductionNC",
                               "recherche d'une modification de la reduction des non conventionnes", dateReference,
                               modifie, [&](uint16_t& cr) { return modificationNonConventionne(dateReference, cr); });
}

uint16_t LectureDonnees::rechercherDateModificationNonConventionnes(const Date& dateReference, Date& date) {
    return requeteModification("rechercherDateModificationNonConventionnes",
                               "recherche de la date de modification de la reduction des non conventionnes",
                               dateReference, date,
                               [&](uint16_t& cr) { return modificationNonConventionne(dateReference, cr); });
}

// --- Grouping codes added locally -----------------------------------------------------------

uint16_t LectureDonnees::rechercherDateCreationCodeRegroupement(const Code& codeRegroupement, Date& date) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDateCreationCodeRegroupement",
                       "recherche de la date de creation d'un code regroupement local", cr);
    tracerLecture("Code regroupement recherche : %s", codeRegroupement.chaine());
    const CleFixe cle(codeRegroupement, kLargeurCodeRegroupement, cr);
    const Table* table = tableReferentiel(ModificationNouveauCodeRegroupement::kIdentifiant, cr);
    if (cr != 0) return cr;
    const ModificationNouveauCodeRegroupement* trouve = nullptr;
    for (uint32_t i = 0; trouve == nullptr && i < table->nombreLignes(); ++i) {
        const auto* ligne = table->ligneDe<ModificationNouveauCodeRegroupement>(i);
        if (ligne != nullptr && comparerCle(ligne->nouveauCodeRegroupement, cle) == 0) trouve = ligne;
    }
    if (trouve == nullptr) {
        tracerErreurLecture("Code regroupement non trouve dans la table de modification");
        cr = KPX_CR_ELEMENT_ABSENT;
        return cr;
    }
    date = trouve->dateEffet;
    return cr;
}

#include "consultation/Fonctions.h"

#include <cstdio>
#include <cstring>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/ControleurZone.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

Fonctions::Fonctions(ZoneKPX* entree, const SuperGroupe* superGroupe) : zoneEntree(entree) {
    if (entree != nullptr && superGroupe != nullptr) controleur.emplace(*entree, *superGroupe, true);
}

Fonctions::~Fonctions() = default;

bool Fonctions::lireValeur(uint16_t& cr, ValeurChamp& valeur) {
    if (cr != 0 || !controleur) return false;
    uint16_t groupe = 0, numero = 0;
    cr = controleur->extraireChamp(groupe, numero, valeur);
    return cr == 0 && !valeur.estVide();
}

void Fonctions::ignorerChamps(uint16_t& cr, uint16_t nombre) {
    for (uint16_t i = 0; cr == 0 && i < nombre; ++i) {
        if (champPret(cr) != nullptr) continue;
        ChampLu champ;
        if (lireCalme(cr, champ)) continue;
        ValeurChamp valeur;
        lireValeur(cr, valeur);
    }
}

void Fonctions::typeInattendu(uint16_t& cr) {
    tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: type du champ %u inattendu", static_cast<unsigned>(rangChamp()));
    cr = KPX_CR_DONNEES_INCOHERENTES;
}

Optionnel<Code> Fonctions::lireCodeOuZero(uint16_t& cr) {
    Optionnel<Code> code;
    lireChamp(cr, code);
    if (code && code->longueur() == 0) *code = Code("0");
    return code;
}

void Fonctions::lireCodeOuZero(uint16_t& cr, Code& code) {
    if (lireChamp(cr, code) && code.longueur() == 0) code = Code("0");
}

Optionnel<Date> Fonctions::lireDateNaissance(uint16_t& cr) {
    Optionnel<Date> date;
    lireChamp(cr, date);
    if (cr == 0 && estAbsent(date.get())) {
        tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Date de naissance non renseignée");
        cr = static_cast<uint16_t>(KPX_CR_CHAMP_BASE + rangChamp());
        date.reset();
    }
    return date;
}

void Fonctions::lireNumerosDents(uint16_t& cr, TypeListe<Code>& dents) {
    bool trou = false;
    for (uint16_t i = 0; cr == 0 && i < kMaxDents; ++i) {
        Code dent;
        const bool renseignee = lireCodeRenseigne(cr, dent);
        if (cr != 0) break;
        if (!renseignee) {
            trou = true;
            continue;
        }
        if (trou) {
            tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Trou dans la liste des numéros de dents");
            cr = KPX_CR_LISTE_DENTS;
        } else if (dents.contient(dent)) {
            tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Numéro de dent %s en double", dent.chaine());
            cr = KPX_CR_LISTE_DENTS;
        } else if (dents.ajouter(dent) != 0) {
            tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Allocation mémoire liste de numéros de dents.");
            cr = KPX_CR_CONSTRUCTION;
        }
    }
}

void Fonctions::lireModificateurs(uint16_t& cr, TypeListe<Code>& modificateurs) {
    bool trou = false;
    for (uint16_t i = 0; cr == 0 && i < kMaxModificateurs; ++i) {
        Code modificateur;
        const bool renseigne = lireCodeRenseigne(cr, modificateur);
        if (cr != 0) break;
        if (!renseigne) {
            trou = true;
        } else if (trou) {
            tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Trou dans la liste des modificateurs");
            cr = KPX_CR_LISTE_MODIFICATEURS;
        } else if (modificateurs.ajouter(modificateur) != 0) {
            tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Allocation mémoire liste de modificateurs.");
            cr = KPX_CR_CONSTRUCTION;
        }
    }
}

void Fonctions::lireListeCaracteres(uint16_t& cr, TypeListe<Code>& caracteres) {
    Texte texte;
    if (!lireChamp(cr, texte)) return;
    for (size_t i = 0; cr == 0 && i < texte.longueur(); ++i) cr = caracteres.ajouter(Code(texte[i]));
}

bool Fonctions::caracteres(const ChampLu& champ, uint32_t& longueur) {
    switch (champ.type) {
        case TYPE_AUCUN: longueur = 0; return true;
        case TYPE_CODE: longueur = champ.longueur; return true;
        case TYPE_TEXTE: {
            const void* nul = champ.longueur != 0 ? std::memchr(champ.octets, '\0', champ.longueur) : nullptr;
            longueur = nul != nullptr ? static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - champ.octets)
                                      : champ.longueur;
            return true;
        }
        default: return false;
    }
}

Optionnel<Code> Fonctions::lireConcatenation(uint16_t& cr) {
    ChampLu champs[2];
    if (lireCalme(cr, champs[0]) && lireCalme(cr, champs[1])) {
        if (cr != 0) return {};
        uint32_t n0 = 0, n1 = 0;
        // Both fields' characters straight into the code: no value built for either.
        if (caracteres(champs[0], n0) && caracteres(champs[1], n1) && n0 + n1 <= kConcatenationCourte) {
            uint8_t octets[kConcatenationCourte];
            if (n0 != 0) std::memcpy(octets, champs[0].octets, n0);
            if (n1 != 0) std::memcpy(octets + n0, champs[1].octets, n1);
            return Code(octets, n0 + n1, Code::verifie);
        }
        Texte premier, second;
        construire(cr, champs[0], premier);
        construire(cr, champs[1], second);
        if (cr != 0) return {};
        premier.ajouter(second);
        return Code(premier.chaine(), premier.longueur());
    }
    Texte premier, second;
    lireChamp(cr, premier);
    lireChamp(cr, second);
    if (cr != 0) return {};
    premier.ajouter(second);
    return Code(premier.chaine(), premier.longueur());
}

uint16_t Fonctions::rangChamp() {
    if (controleur) return controleur->rangChamp();
    return zoneEntree != nullptr ? zoneEntree->numeroChampZone : 0;
}

uint16_t Fonctions::groupeSuivant(uint16_t& cr) {
    if (cr != 0 || !controleur || zoneEntree == nullptr) return 0;
    if (controleur->estFinDonnees()) return 0;
    uint16_t groupe = 0;
    cr = controleur->positionnerGroupeSuivant(groupe);
    return cr == 0 ? groupe : 0;
}

void Fonctions::verifierFinZone(uint16_t& cr) {
    if (cr == 0 && controleur) cr = controleur->verifierFinZone();
}

void Fonctions::verifierNumeroPrestation(uint16_t& cr, uint16_t ligne, int32_t numeroLigne) {
    if (cr != 0) return;
    const uint16_t groupe = groupeSuivant(cr);
    Nombre numero;
    lireChamp(cr, numero);
    if (cr != 0) return;
    const int32_t lu = numero.valeur();
    if (lu != numeroLigne) {
        tracer(CAT_CONTROLE, NIV_ERREUR,
               "ERREUR: Numéros de prestation incohérents à la %dème ligne (%d dans la prestation de rattachement, "
               "%d dans le groupe %d)",
               static_cast<int>(ligne), static_cast<int>(numeroLigne), static_cast<int>(lu), static_cast<int>(groupe));
        cr = static_cast<uint16_t>(KPX_CR_NUMERO_PRESTATION_BASE + ligne);
    }
}

void Fonctions::allouerZoneSortie(uint16_t& cr, ZoneSortie& sortie, uint32_t taille, uint16_t categorie) {
    sortie.allouer(cr, taille, categorie);
}

void Fonctions::ajouterGroupe(uint16_t& cr, ZoneSortie& sortie, uint16_t numero) {
    if (cr == 0) cr = sortie->ajouterGroupe(numero);
}

void Fonctions::ajouterChamp(uint16_t& cr, ZoneSortie& sortie, const TypeSimple& valeur) {
    if (cr == 0) cr = sortie->ajouterChamp(valeur);
}

void Fonctions::ajouterChampVide(uint16_t& cr, ZoneSortie& sortie) {
    if (cr == 0) cr = sortie->ajouterChamp(nullptr, 0);
}

void Fonctions::ajouterMontant(uint16_t& cr, ZoneSortie& sortie, double valeur) {
    char texte[64];
    const int n = std::snprintf(texte, sizeof texte, "%.2f", valeur);
    if (cr == 0) cr = sortie->ajouterChamp(reinterpret_cast<const uint8_t*>(texte), static_cast<uint32_t>(n));
}

// Input zone control: the zone cursor and the super-group controller move together.
#include "zone/ControleurZone.h"

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/EnLigne.h"

namespace {
constexpr uint32_t kMaximumTrace = 60;
}

ControleurZone::ControleurZone(ZoneKPX& zone, const SuperGroupe& racine, bool strict)
    : zone_(zone), controleur_(std::in_place, racine), strict_(strict) {}

ControleurZone::~ControleurZone() = default;

uint16_t ControleurZone::positionnerGroupe() {
    uint16_t cr = 0;
    const Groupe* groupe = nullptr;
    while (cr == 0 && groupe == nullptr) {
        uint16_t identifiant = 0;
        cr = zone_.passerGroupeSuivant(identifiant);
        if (cr != 0) break;
        // A quiet walk places most groups without the search (the same place, no line to write).
        if (!NiveauTrace::ecrit(NIV_DETAIL) && controleur_->placerDirect(identifiant, groupe)) break;
        if (strict_) {
            cr = controleur_->rechercherGroupe(identifiant, groupe);
            if (cr == 0 && groupe == nullptr) {
                tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: %uème groupe (%u) non attendu dans la zone d'entrée",
                       static_cast<unsigned>(zone_.numeroGroupe), static_cast<unsigned>(identifiant));
                cr = static_cast<uint16_t>(KPX_CR_GROUPE_BASE + zone_.numeroGroupe);
            }
        } else {
            // The search moves the walk forward even when it finds nothing: try it on a copy.
            ControleurSuperGroupe essai(*controleur_);
            cr = essai.rechercherGroupe(identifiant, groupe);
            if (cr == 0 && groupe != nullptr)
                controleur_.emplace(essai);
            else if (cr == 0)
                tracer(CAT_CONTROLE, NIV_DETAIL, "%uème groupe (%u) non attendu, ignoré",
                       static_cast<unsigned>(zone_.numeroGroupe), static_cast<unsigned>(identifiant));
        }
    }
    if (cr == 0) {
        groupeCourant_ = groupe;
        indexChamp_ = 0;
    }
    return cr;
}

uint16_t ControleurZone::tropDeChamps() const {
    tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: trop de champs dans le %uème groupe (%u) (%u champs attendus)",
           static_cast<unsigned>(zone_.numeroGroupe), static_cast<unsigned>(groupeCourant_->numero()),
           static_cast<unsigned>(groupeCourant_->nombreChamps()));
    return static_cast<uint16_t>(KPX_CR_GROUPE_ABSENT_BASE + zone_.numeroGroupe);
}

uint16_t ControleurZone::champsInsuffisants() const {
    tracer(CAT_CONTROLE, NIV_ERREUR,
           "ERREUR: nombre de champs insuffisant dans le %uème groupe (%u) (%u champs attendus, %u champs trouvés)",
           static_cast<unsigned>(zone_.numeroGroupe), static_cast<unsigned>(groupeCourant_->numero()),
           static_cast<unsigned>(groupeCourant_->nombreChamps()), static_cast<unsigned>(indexChamp_));
    return static_cast<uint16_t>(KPX_CR_GROUPE_ABSENT_BASE + zone_.numeroGroupe);
}

// Every field of a zone goes through both (their errors are apart, so that they stay short).
EN_LIGNE uint16_t ControleurZone::prendreDescription(const Champ*& description) {
    uint16_t cr = 0;
    description = nullptr;
    const uint16_t nombre = groupeCourant_->nombreChamps();
    if (indexChamp_ < nombre) description = &groupeCourant_->champ(indexChamp_++);
    if (indexChamp_ >= nombre) {
        if (!zone_.estFinGroupe()) cr = tropDeChamps();
        groupeCourant_ = nullptr;
        indexChamp_ = 0;
    }
    if (cr == 0 && groupeCourant_ == nullptr && zone_.estFinDonnees()) {
        // Last field of the zone: every group still required is missing.
        const Groupe* rien = nullptr;
        cr = controleur_->rechercherGroupe(0, rien);
    }
    return cr;
}

EN_LIGNE uint16_t ControleurZone::lireChamp(uint16_t& groupe, uint16_t& numero, const uint8_t*& donnees,
                                          uint32_t& longueur, const Champ*& description) {
    uint16_t cr = 0;
    description = nullptr;
    // Fields checked ahead and not handed out are read again here, from the same cursor.
    suivrePrets();
    pret_ = nombrePrets_ = suivis_ = 0;
    if (groupeCourant_ == nullptr) cr = positionnerGroupe();
    if (cr != 0) return cr;
    groupe = groupeCourant_->numero();
    cr = zone_.lireChampSuivant(numero, donnees, longueur);
    if (cr == KPX_CR_ZONE_FIN) return champsInsuffisants();
    if (cr == 0) cr = prendreDescription(description);
    return cr;
}

EN_LIGNE uint16_t ControleurZone::transformer(const Champ& description, const uint8_t* donnees, uint32_t longueur,
                                            ValeurChamp& valeur) const {
    const uint16_t cr = description.transformer(donnees, longueur, valeur);
    return cr == KPX_CR_CHAMP_BASE ? static_cast<uint16_t>(KPX_CR_CHAMP_BASE + zone_.numeroChampZone) : cr;
}

uint16_t ControleurZone::extraireChamp(uint16_t& groupe, uint16_t& numero, ValeurChamp& valeur) {
    // A walk that writes no detail line and traces no value has nothing to do around its steps.
    if (NiveauTrace::ecrit(NIV_DETAIL) || TraceDetail::estActif(CAT_ZONE, NIV_DETAIL))
        return extraireChampTrace(groupe, numero, valeur);
    valeur.vider();
    const uint8_t* donnees = nullptr;
    uint32_t longueur = 0;
    const Champ* description = nullptr;
    uint16_t cr = lireChamp(groupe, numero, donnees, longueur, description);
    if (cr == 0 && description != nullptr) cr = transformer(*description, donnees, longueur, valeur);
    return cr;
}

uint16_t ControleurZone::extraireChampSeul(ChampLu& champ) {
    champ.type = TYPE_AUCUN;
    if (groupeCourant_ == nullptr) {
        const uint16_t cr = positionnerGroupe();
        if (cr != 0) return cr;
    }
    // A group just entered: its fields are checked together.
    if (indexChamp_ == 0) {
        preparerGroupe();
        if (pret_ < nombrePrets_) {
            champ = donnerPret();
            return 0;
        }
    }
    uint16_t groupe = 0, numero = 0;
    const Champ* description = nullptr;
    uint16_t cr = lireChamp(groupe, numero, champ.octets, champ.longueur, description);
    if (cr != 0 || description == nullptr) return cr;
    if (champ.longueur != 0 || !description->accepteVide()) cr = description->preparer(champ.octets, champ.longueur);
    if (cr == 0) champ.type = static_cast<uint8_t>(description->type);
    return cr == KPX_CR_CHAMP_BASE ? static_cast<uint16_t>(KPX_CR_CHAMP_BASE + zone_.numeroChampZone) : cr;
}

uint16_t ControleurZone::extraireChampTrace(uint16_t& groupe, uint16_t& numero, ValeurChamp& valeur) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurZone::extraireChamp", cr);
    valeur.vider();
    const uint8_t* donnees = nullptr;
    uint32_t longueur = 0;
    const Champ* description = nullptr;
    cr = lireChamp(groupe, numero, donnees, longueur, description);
    if (cr == 0 && description != nullptr) cr = transformer(*description, donnees, longueur, valeur);
    if (cr == 0 && !valeur.estVide()) {
        if (NiveauTrace::ecrit(NIV_DETAIL))
            tracer(CAT_CONTROLE, NIV_DETAIL, "Groupe %u, champ %u (%u) :", static_cast<unsigned>(groupe),
                   static_cast<unsigned>(numero), static_cast<unsigned>(zone_.numeroChampZone));
        // Only a traced value is built here; the others wait for their reader.
        if (TraceDetail::estActif(CAT_ZONE, NIV_DETAIL)) valeur.valeur()->tracer(NIV_DETAIL);
    }
    return cr;
}

uint16_t ControleurZone::extraireChamp(uint16_t& groupe, uint16_t& numero, const uint8_t*& donnees,
                                       uint32_t& longueur) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurZone::extraireChamp", cr);
    const Champ* description = nullptr;
    cr = lireChamp(groupe, numero, donnees, longueur, description);
    if (cr == 0 && description != nullptr) {
        cr = description->controler(donnees, longueur);
        if (cr == KPX_CR_CHAMP_BASE) cr = static_cast<uint16_t>(KPX_CR_CHAMP_BASE + zone_.numeroChampZone);
    }
    if (cr == 0 && NiveauTrace::ecrit(NIV_DETAIL))
        tracer(CAT_CONTROLE, NIV_DETAIL, "Groupe %u, champ %u (%u) (l=%u) = %s", static_cast<unsigned>(groupe),
               static_cast<unsigned>(numero), static_cast<unsigned>(zone_.numeroChampZone), longueur,
               ZoneKPX::texteTrace(donnees, longueur, kMaximumTrace));
    return cr;
}

uint16_t ControleurZone::positionnerGroupeSuivantTrace(uint16_t& groupe) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurZone::positionnerGroupeSuivant", cr);
    if (groupeCourant_ == nullptr) cr = positionnerGroupe();
    if (cr == 0) groupe = groupeCourant_->numero();
    return cr;
}

uint16_t ControleurZone::verifierFinZone() {
    suivrePrets();
    if (zone_.estFinDonnees()) return 0;
    tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: trop de groupes dans la zone d'entree");
    return static_cast<uint16_t>(KPX_CR_GROUPE_BASE + 1 + zone_.numeroGroupe);
}

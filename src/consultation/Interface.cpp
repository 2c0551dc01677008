// Building the interface description from tables 49 to 53 and looking functions
// up in it. Lines of the build go to category 0; group and super-group lines and
// the bisection to category 6; each family lookup to its family's category.
#include "consultation/Interface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "frame/Trace.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Interface.h"
#include "zone/Nombre.h"

namespace {

constexpr uint16_t kPositionAbsente = 0xFFFF;

bool estSansCodeFonction(char code) { return code == ' ' || code == '\0'; }

// A one-letter code as a string for "%s".
struct Lettre {
    explicit Lettre(char c) : texte{c, '\0'} {}
    char texte[2];
};

uint16_t lireValeursAutorisees(LectureDonnees& lecture, const DescriptifChamp& champ, ListeCodes& valeurs) {
    uint16_t cr = 0;
    if (champ.valeursAutorisees.nombre == 0) return cr;
    for (uint16_t v = 0; cr == 0 && v < champ.valeursAutorisees.nombre; ++v) {
        const uint32_t position = uint32_t{champ.valeursAutorisees.position} + v;
        const ValeurAutorisee* ligne = nullptr;
        cr = lecture.rechercherValeurAutorisee(Nombre(static_cast<int32_t>(position)), ligne);
        if (cr == 0) cr = valeurs.ajouter(Code(ligne->valeur.c_str()));
    }
    return cr;
}

}  // namespace

uint16_t Interface::initialiser(LectureDonnees& lecture) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_CYCLE, NIV_DETAIL, "Interface::initialiser", cr);
    if (estConstruite()) liberer();
    // A family without roots must not keep the end of an earlier build.
    std::fill(std::begin(fins_), std::end(fins_), uint16_t{0});
    cr = initialiserGroupes(lecture);
    if (cr == 0) cr = initialiserSuperGroupes(lecture);
    if (cr != 0) {
        liberer();
        return cr;
    }
    // An empty family ends where the previous one ends, so its range is empty.
    for (int f = MODIFICATION; f < kNombreFamilles; ++f) fins_[f] = std::max(fins_[f], fins_[f - 1]);
    return cr;
}

uint16_t Interface::initialiserGroupes(LectureDonnees& lecture) {
    Nombre nombre;
    uint16_t cr = lecture.rechercherNombreGroupes(nombre);
    if (cr == 0) {
        nombreGroupes_ = static_cast<uint16_t>(std::min<int32_t>(std::max<int32_t>(nombre.valeur(), 0), 0xFFFF));
        groupes_.reset(new (std::nothrow) std::unique_ptr<Groupe>[nombreGroupes_]);
        if (groupes_ == nullptr) {
            tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Allocation tableau des groupes");
            nombreGroupes_ = 0;
            cr = KPX_CR_CONSTRUCTION;
        }
    }
    for (uint16_t i = 0; cr == 0 && i < nombreGroupes_; ++i) cr = creerGroupe(lecture, i);
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::initialiserGroupes << OUT : %d groupes, cr = 0x%04X",
           static_cast<int>(nombreGroupes_), cr);
    return cr;
}

uint16_t Interface::initialiserSuperGroupes(LectureDonnees& lecture) {
    Nombre nombre;
    uint16_t cr = lecture.rechercherNombreSuperGroupes(nombre);
    uint16_t lignes = 0;
    if (cr == 0) {
        lignes = static_cast<uint16_t>(std::min<int32_t>(std::max<int32_t>(nombre.valeur(), 0), 0xFFFF));
        racines_.reset(new (std::nothrow) std::unique_ptr<SuperGroupe>[lignes]);
        if (racines_ == nullptr) {
            tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Allocation tableau des super-groupes");
            cr = KPX_CR_CONSTRUCTION;
        }
    }
    nombreRacines_ = 0;
    for (uint16_t i = 0; cr == 0 && i < lignes; ++i) cr = creerSuperGroupeRacine(lecture, i);
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::initialiserSuperGroupes << OUT : %d super-groupes, cr = 0x%04X",
           static_cast<int>(nombreRacines_), cr);
    return cr;
}

uint16_t Interface::creerGroupe(LectureDonnees& lecture, uint16_t i) {
    uint16_t cr = 0;
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::creerGroupe >> IN");
    const DescriptifGroupe* ligne = nullptr;
    cr = lecture.rechercherDescriptifGroupe(Nombre(i), ligne);
    Groupe* groupe = nullptr;
    if (cr == 0) {
        groupes_[i].reset(new (std::nothrow) Groupe(ligne->numero, ligne->champs.nombre));
        groupe = groupes_[i].get();
        if (groupe == nullptr || !groupe->estValide()) {
            tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Création nouveau groupe");
            groupes_[i].reset();
            groupe = nullptr;
            cr = KPX_CR_CONSTRUCTION;
        }
    }
    for (uint16_t j = 0; cr == 0 && j < ligne->champs.nombre; ++j) {
        const DescriptifChamp* champ = nullptr;
        cr = lecture.rechercherDescriptifChamp(Nombre(int32_t{ligne->champs.position} + j), champ);
        uint32_t format = FORMAT_LIBRE;
        uint32_t type = TYPE_AUCUN;
        if (cr == 0 && !Champ::formatDeLettre(champ->formatAttendu, format)) {
            tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Format de champ (%s) inconnu.", Lettre(champ->formatAttendu).texte);
            cr = KPX_CR_DONNEES_INCOHERENTES;
        }
        if (cr == 0 && !Champ::typeDeLettre(champ->typeDonnee, type)) {
            tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Type de champ (%s) inconnu.", Lettre(champ->typeDonnee).texte);
            cr = KPX_CR_DONNEES_INCOHERENTES;
        }
        ListeCodes valeurs;
        if (cr == 0) cr = lireValeursAutorisees(lecture, *champ, valeurs);
        if (cr == 0) cr = groupe->ajouterChamp(format, type, champ->tailleMinimale, champ->tailleMaximale, valeurs);
    }
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::creerGroupe << OUT : identifiant = %d, cr = 0x%04X",
           groupe != nullptr ? static_cast<int>(groupe->numero()) : 0, cr);
    return cr;
}

uint16_t Interface::creerSuperGroupeRacine(LectureDonnees& lecture, uint16_t i) {
    uint16_t cr = 0;
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::creerSuperGroupeRacine >> IN");
    const DescriptifSuperGroupe* ligne = nullptr;
    cr = lecture.rechercherDescriptifSuperGroupe(Nombre(i), ligne);
    if (cr == 0 && estSansCodeFonction(ligne->codeFonction)) {
        // Built only where another super-group names it as a child.
        tracer(CAT_CYCLE, NIV_DETAIL, "Ce super-groupe n'est pas une racine ; il est ignoré.");
    } else if (cr == 0) {
        std::unique_ptr<SuperGroupe> racine(new (std::nothrow) SuperGroupe(ligne->numero, ligne->nom, ligne->fils.nombre));
        if (racine == nullptr || !racine->estValide()) {
            tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Création nouveau super-groupe");
            cr = KPX_CR_CONSTRUCTION;
        } else {
            std::vector<uint16_t> chemin{i};
            for (uint16_t k = 0; cr == 0 && k < ligne->fils.nombre; ++k)
                cr = ajouterFils(lecture, *ligne, k, *racine, chemin);
            // Kept even when a child failed, so that the release finds it.
            racines_[nombreRacines_++] = std::move(racine);
            switch (ligne->codeFonction) {
                case '1': fins_[CONSULTATION] = nombreRacines_; break;
                case '2': fins_[MODIFICATION] = nombreRacines_; break;
                case '3': fins_[ANNULATION] = nombreRacines_; break;
                case '4': fins_[CONTROLE] = nombreRacines_; break;
                case '5': fins_[REGLE] = nombreRacines_; break;
                case '6': break;
                default:
                    tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Code fonction (%s) inconnu",
                           Lettre(ligne->codeFonction).texte);
            }
        }
    }
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::creerSuperGroupeRacine << OUT : numero = %d, nom = %s, cr = 0x%04X",
           ligne != nullptr ? static_cast<int>(ligne->numero) : 0, ligne != nullptr ? ligne->nom.c_str() : "", cr);
    return cr;
}

uint16_t Interface::ajouterFils(LectureDonnees& lecture, const DescriptifSuperGroupe& ligne, uint16_t k,
                                SuperGroupe& S, std::vector<uint16_t>& chemin) {
    const FilsSuperGroupe* fils = nullptr;
    uint16_t cr = lecture.rechercherDescriptifFils(Nombre(int32_t{ligne.fils.position} + k), fils);
    if (cr != 0) return cr;
    if (fils->positionGroupe < kPositionAbsente)
        return ajouterGroupe(fils->positionGroupe, fils->occurrencesMinimum, fils->occurrencesMaximum, S);
    if (fils->positionSuperGroupe < kPositionAbsente)
        return ajouterSuperGroupe(lecture, fils->positionSuperGroupe, fils->occurrencesMinimum,
                                  fils->occurrencesMaximum, S, chemin);
    tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Type de fils inconnu");
    return KPX_CR_DONNEES_INCOHERENTES;
}

uint16_t Interface::ajouterGroupe(uint16_t position, uint16_t minimum, uint16_t maximum, SuperGroupe& S) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_CYCLE, NIV_DETAIL, "Interface::ajouterGroupe", cr);
    if (position >= nombreGroupes_ || groupes_[position] == nullptr) {
        tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Position de groupe (%hu) hors limite", position);
        return cr = KPX_CR_DONNEES_INCOHERENTES;
    }
    const Groupe& groupe = *groupes_[position];
    cr = S.ajouterFils(groupe, minimum, maximum);
    tracer(CAT_CYCLE, NIV_DETAIL, "groupe %hu", groupe.numero());
    return cr;
}

uint16_t Interface::ajouterSuperGroupe(LectureDonnees& lecture, uint16_t position, uint16_t minimum,
                                       uint16_t maximum, SuperGroupe& S, std::vector<uint16_t>& chemin) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_CYCLE, NIV_DETAIL, "Interface::ajouterSuperGroupe", cr);
    const DescriptifSuperGroupe* ligne = nullptr;
    cr = lecture.rechercherDescriptifSuperGroupe(Nombre(position), ligne);
    if (cr != 0) return cr;
    if (!estSansCodeFonction(ligne->codeFonction)) {
        tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Super-groupe fils avec code fonction (%s)",
               Lettre(ligne->codeFonction).texte);
        return cr = KPX_CR_DONNEES_INCOHERENTES;
    }
    // The tables are meant to be acyclic; a cycle would otherwise recurse without end.
    if (std::find(chemin.begin(), chemin.end(), position) != chemin.end()) {
        tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Super-groupe fils (%hu) contenu dans lui-même", position);
        return cr = KPX_CR_DONNEES_INCOHERENTES;
    }
    tracer(CAT_CYCLE, NIV_DETAIL, "super-groupe %d [%s]", static_cast<int>(ligne->numero), ligne->nom.c_str());
    // Each reference gets its own copy: an occurrence owns its super-group.
    std::unique_ptr<SuperGroupe> fils(new (std::nothrow) SuperGroupe(ligne->numero, ligne->nom, ligne->fils.nombre));
    if (fils == nullptr || !fils->estValide()) {
        tracer(CAT_CYCLE, NIV_ERREUR, "ERREUR : Création nouveau super-groupe fils");
        return cr = KPX_CR_CONSTRUCTION;
    }
    chemin.push_back(position);
    for (uint16_t k = 0; cr == 0 && k < ligne->fils.nombre; ++k) cr = ajouterFils(lecture, *ligne, k, *fils, chemin);
    chemin.pop_back();
    if (cr == 0) cr = S.ajouterFils(std::move(fils), minimum, maximum);
    return cr;
}

void Interface::liberer() {
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::liberer >> IN");
    // Roots first: their children point at the groups.
    racines_.reset();
    for (uint16_t i = 0; groupes_ != nullptr && i < nombreGroupes_; ++i) {
        if (groupes_[i] == nullptr) continue;
        tracer(CAT_CONTROLE, NIV_DETAIL, "Destruction du groupe %u.", static_cast<unsigned>(groupes_[i]->numero()));
        groupes_[i].reset();
    }
    groupes_.reset();
    nombreGroupes_ = 0;
    nombreRacines_ = 0;
    tracer(CAT_CYCLE, NIV_DETAIL, "Interface::liberer << OUT");
}

uint16_t Interface::rechercher(const Code& identifiant, uint16_t inf, uint16_t sup, uint16_t& position) const {
    uint16_t cr = 0;
    // Every exported call looks its function up: its lines cost one comparison when not written.
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail)
        tracer(CAT_CONTROLE, NIV_DETAIL, "Interface::rechercher >> IN : identifiant = %s, inf = %u, sup = %u",
               identifiant.chaine(), static_cast<unsigned>(inf), static_cast<unsigned>(sup));
    // An empty or stale range is refused rather than compared with a neighbour.
    bool trouve = false;
    if (inf <= sup && sup < nombreRacines_) {
        while (sup > inf) {
            const uint16_t milieu = static_cast<uint16_t>((uint32_t{inf} + sup) / 2);
            if (std::strcmp(identifiant.chaine(), racines_[milieu]->nom().c_str()) > 0)
                inf = static_cast<uint16_t>(milieu + 1);
            else
                sup = milieu;
        }
        trouve = racines_[inf]->nom() == identifiant.chaine();
    }
    if (trouve) {
        position = inf;
    } else {
        tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR : identifiant %s non trouve", identifiant.chaine());
        cr = KPX_CR_IDENTIFIANT_INCONNU;
    }
    if (detail)
        tracer(CAT_CONTROLE, NIV_DETAIL, "Interface::rechercher << OUT : position = %u, cr = 0x%04X",
               static_cast<unsigned>(position), cr);
    return cr;
}

uint16_t Interface::lireSuperGroupe(Famille famille, uint16_t categorie, const char* nom, uint16_t codeAbsent,
                                    const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const {
    uint16_t cr = 0;
    TraceOperation trace(categorie, NIV_DETAIL, nom, cr);
    const uint16_t debut = debutFamille(famille);
    const uint16_t fin = finFamille(famille);
    uint16_t position = 0;
    // An empty range (fin == debut) gives sup < inf, or 0xFFFF at the very start: not found.
    cr = rechercher(identifiant, debut, static_cast<uint16_t>(fin - 1), position);
    if (cr == KPX_CR_IDENTIFIANT_INCONNU) cr = codeAbsent;
    if (cr == 0) {
        racine = racines_[position].get();
        numero = racine->numero();
    }
    return cr;
}

uint16_t Interface::lireSuperGroupeConsulter(const Code& identifiant, const SuperGroupe*& racine,
                                             uint16_t& numero) const {
    return lireSuperGroupe(CONSULTATION, CAT_CONSULTATION, "Interface::lireSuperGroupeConsulter",
                           KPX_CR_IDENTIFIANT_INCONNU, identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeModifier(const Code& identifiant, const SuperGroupe*& racine,
                                            uint16_t& numero) const {
    return lireSuperGroupe(MODIFICATION, CAT_MODIFICATION, "Interface::lireSuperGroupeModifier",
                           KPX_CR_IDENTIFIANT_INCONNU, identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeAnnuler(const Code& identifiant, const SuperGroupe*& racine,
                                           uint16_t& numero) const {
    return lireSuperGroupe(ANNULATION, CAT_MODIFICATION, "Interface::lireSuperGroupeAnnuler",
                           KPX_CR_IDENTIFIANT_INCONNU, identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeControler(const Code& identifiant, const SuperGroupe*& racine,
                                             uint16_t& numero) const {
    return lireSuperGroupe(CONTROLE, CAT_REGLE, "Interface::lireSuperGroupeControler", KPX_CR_CONTROLE_IDENTIFIANT,
                           identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeRegle(const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const {
    return lireSuperGroupe(REGLE, CAT_REGLE, "Interface::lireSuperGroupeRegle", KPX_CR_CONTROLE_IDENTIFIANT,
                           identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeConsulter(const Code& identifiant, const SuperGroupe*& racine) const {
    uint16_t numero = 0;
    return lireSuperGroupeConsulter(identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeModifier(const Code& identifiant, const SuperGroupe*& racine) const {
    uint16_t numero = 0;
    return lireSuperGroupeModifier(identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeAnnuler(const Code& identifiant, const SuperGroupe*& racine) const {
    uint16_t numero = 0;
    return lireSuperGroupeAnnuler(identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeControler(const Code& identifiant, const SuperGroupe*& racine) const {
    uint16_t numero = 0;
    return lireSuperGroupeControler(identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeRegle(const Code& identifiant, const SuperGroupe*& racine) const {
    uint16_t numero = 0;
    return lireSuperGroupeRegle(identifiant, racine, numero);
}

uint16_t Interface::lireSuperGroupeControleComplet(const SuperGroupe*& racine) const {
    uint16_t cr = 0;
    TraceOperation trace(CAT_REGLE, NIV_DETAIL, "Interface::lireSuperGroupeControleComplet", cr);
    racine = this->racine(fins_[REGLE]);
    return cr;
}

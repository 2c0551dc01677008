// Exchange zones under arbitrary bytes: an input zone walked to its first error
// never hands out a field outside its buffer, and an output zone built from the
// same bytes read as field lengths stays within its capacity and reads back intact; the
// walk's one-group step moves as the general step does, and a glance at the next groups
// finds what the walk finds.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "KPXW32.h"
#include "VerifierFuzz.h"
#include "frame/Systeme.h"
#include "frame/Trace.h"
#include "zone/TypeSimple.h"
#include "zone/ZoneKPX.h"

namespace {

void verifierChamp(const uint8_t* donnees, uint32_t longueur, const uint8_t* debut, uint32_t taille) {
    const auto p = reinterpret_cast<uintptr_t>(donnees);
    const auto d = reinterpret_cast<uintptr_t>(debut);
    verifier(donnees != nullptr && p >= d && p - d <= taille && longueur <= taille - (p - d),
             "field outside the buffer");
}

// The same cursor over buffers of the same size, wherever they lie.
bool memePosition(const ZoneKPX& a, const ZoneKPX& b) {
    return a.identifiantGroupe == b.identifiantGroupe && a.debutGroupe == b.debutGroupe &&
           a.enteteGroupe == b.enteteGroupe && a.longueurGroupe == b.longueurGroupe &&
           a.numeroGroupe == b.numeroGroupe && a.numeroChamp == b.numeroChamp && a.debutChamp == b.debutChamp &&
           a.enteteChamp == b.enteteChamp && a.longueurChamp == b.longueurChamp &&
           a.numeroChampZone == b.numeroChampZone && a.tailleBuffer == b.tailleBuffer &&
           a.tailleDonnees == b.tailleDonnees;
}

bool memeCurseur(const ZoneKPX& a, const ZoneKPX& b) { return memePosition(a, b) && a.buffer == b.buffer; }

void verifierCurseur(const ZoneKPX& zone) {
    verifier(zone.tailleDonnees <= zone.tailleBuffer, "data larger than the buffer");
}

// Every field handed out lies inside the buffer, and after a refusal the
// cursor hands out nothing more outside it either.
void parcourir(const uint8_t* octets, uint32_t taille, uint16_t pasGroupe, uint16_t pasChamp) {
    ZoneKPX zone(octets, taille);
    uint16_t cr = KPX_OK;
    uint16_t identifiant = 0;
    uint16_t numero = 0;
    const uint8_t* donnees = nullptr;
    uint32_t longueur = 0;
    for (uint32_t g = 0; cr == KPX_OK; ++g) {
        cr = zone.lireGroupeSuivant(identifiant, pasGroupe, g % 2 == 0);
        verifier(cr == KPX_OK || cr == KPX_CR_ZONE_FIN || cr == KPX_CR_ZONE_MALFORMEE, "unexpected code");
        if (cr == KPX_OK) verifier(identifiant == zone.identifiantGroupe, "identifier not given");
        while (cr == KPX_OK && !zone.estFinGroupe()) {
            donnees = nullptr;
            cr = zone.lireChampSuivant(numero, donnees, longueur, pasChamp);
            if (donnees != nullptr) verifierChamp(donnees, longueur, octets, taille);
        }
        // A group's fields are exhausted: the end of the group is a soft stop.
        if (cr == KPX_CR_ZONE_FIN && zone.estFinGroupe() && !zone.estFinZone()) cr = KPX_OK;
    }
    for (int i = 0; i < 4; ++i) {
        donnees = nullptr;
        zone.lireChampSuivant(numero, donnees, longueur, 1);
        if (donnees != nullptr) verifierChamp(donnees, longueur, octets, taille);
        zone.lireGroupeSuivant(identifiant, 1, i % 2 == 0);
    }
    verifierCurseur(zone);
}

// The glance at the groups after the current one against the walk from a copy of its cursor.
void comparerAnnonce(const ZoneKPX& zone, uint16_t cherche, uint16_t fin) {
    ZoneKPX marche = zone;
    const ZoneKPX avant = zone;
    bool atteint = false;
    uint16_t identifiant = 0;
    // The group looked for is taken before the end, should both be the same.
    while (!atteint && marche.lireGroupeSuivant(identifiant, 1, false) == KPX_OK) {
        atteint = identifiant == cherche;
        if (identifiant == fin) break;
    }
    verifier(zone.annonceGroupe(cherche, {fin}) == atteint, "the glance at the next groups differs from the walk");
    verifier(memeCurseur(avant, zone), "the glance moved the cursor");
}

// The walk's one-group step against the general one over the same bytes: the same code,
// identifier and cursor at every step, faults included.
void comparerPasGroupe(const uint8_t* octets, uint32_t taille) {
    ZoneKPX general(octets, taille), pas(octets, taille);
    uint16_t crGeneral = KPX_OK, crPas = KPX_OK;
    for (uint32_t g = 0; crGeneral == KPX_OK && g < 1000; ++g) {
        uint16_t idGeneral = 0, idPas = 0;
        crGeneral = general.lireGroupeSuivant(idGeneral, 1, true);
        crPas = pas.passerGroupeSuivant(idPas);
        verifier(crGeneral == crPas && idGeneral == idPas && memeCurseur(general, pas), "one-group step differs");
        // The first bytes name a group to look for and one to stop at; each glance walks the rest.
        if (g < 64 && taille >= 4) {
            comparerAnnonce(general, static_cast<uint16_t>(octets[0] << 8 | octets[1]),
                            static_cast<uint16_t>(octets[2] << 8 | octets[3]));
            comparerAnnonce(general, idGeneral, static_cast<uint16_t>(octets[2] << 8 | octets[3]));
        }
        // Part of the fields only, every third group: the step then walks the rest itself.
        for (uint32_t f = 0; crGeneral == KPX_OK && !general.estFinGroupe() && (g % 3 != 0 || f < 1); ++f) {
            uint16_t numero = 0;
            const uint8_t* donnees = nullptr;
            uint32_t longueur = 0;
            crGeneral = general.lireChampSuivant(numero, donnees, longueur);
            crPas = pas.lireChampSuivant(numero, donnees, longueur);
            verifier(crGeneral == crPas && memeCurseur(general, pas), "fields differ between the two walks");
        }
    }
}

struct Groupe {
    uint16_t identifiant;
    std::vector<uint32_t> longueurs;
};

// 0xFF opens a group whose identifier is the next byte + 1; below 0xF0 a byte
// is a length, from 0xF0 it is a long length crossing the coding bounds.
std::vector<Groupe> lireForme(const uint8_t* octets, size_t taille) {
    constexpr uint64_t kContenuMax = 1u << 18;
    std::vector<Groupe> groupes;
    uint64_t contenu = 0;
    for (size_t i = 0; i < taille; ++i) {
        const uint8_t b = octets[i];
        if (b == 0xFF || groupes.empty()) {
            const uint8_t id = b == 0xFF && i + 1 < taille ? octets[++i] : b;
            groupes.push_back({static_cast<uint16_t>(id + 1u), {}});
            if (b == 0xFF) continue;
        }
        const uint32_t l = b < 0xF0 ? b : 250u + (b - 0xF0u) * 5000u;
        if (contenu + l > kContenuMax) break;
        contenu += l;
        groupes.back().longueurs.push_back(l);
    }
    return groupes;
}

// The same groups, each laid at once with the detail trace off, as written field by field:
// the same refusal, cursor and bytes.
void ecrireEntiers(const std::vector<Groupe>& groupes, const ZoneKPX& parChamp, bool refusParChamp) {
    ZoneKPX zone(parChamp.tailleBuffer);
    verifier(zone.buffer != nullptr, "allocation failed");
    std::unique_ptr<void, void (*)(void*)> garde(zone.buffer, Systeme::liberer);
    NiveauTrace::niveauEcrit.store(0);
    bool refus = false;
    for (size_t gi = 0; gi < groupes.size() && !refus; ++gi) {
        const auto& g = groupes[gi];
        std::vector<std::vector<uint8_t>> valeurs(g.longueurs.size());
        std::vector<FormeOctets> formes(g.longueurs.size());
        for (size_t fi = 0; fi < g.longueurs.size(); ++fi) {
            valeurs[fi].assign(g.longueurs[fi], static_cast<uint8_t>(gi * 31 + fi));
            formes[fi].donnees = valeurs[fi].data();
            formes[fi].longueur = g.longueurs[fi];
        }
        refus = zone.ajouterGroupe(g.identifiant, formes.data(), static_cast<uint32_t>(formes.size())) != KPX_OK;
    }
    NiveauTrace::oublier();
    verifier(refus == refusParChamp, "group laid at once refused otherwise");
    verifier(memePosition(zone, parChamp), "group laid at once left another cursor");
    verifier(std::memcmp(zone.buffer, parChamp.buffer, zone.tailleDonnees) == 0, "group laid at once wrote otherwise");
}

void ecrireRelire(const uint8_t* octets, size_t taille) {
    if (taille == 0) return;
    // The last byte, when odd, takes some bytes off the exact size to force refusals.
    const uint32_t manque = octets[taille - 1] % 2 == 1 ? octets[taille - 1] / 2 : 0;
    const auto groupes = lireForme(octets, taille - 1);
    uint64_t exacte = 0;
    for (const auto& g : groupes) {
        uint32_t contenu = 0;
        for (uint32_t l : g.longueurs) contenu += ZoneKPX::tailleChamp(l);
        exacte += ZoneKPX::tailleGroupeContenu(contenu);
    }
    const uint32_t capacite = exacte > manque ? static_cast<uint32_t>(exacte - manque) : 0;

    ZoneKPX zone(capacite);
    verifier(zone.buffer != nullptr, "allocation failed");
    std::unique_ptr<void, void (*)(void*)> garde(zone.buffer, Systeme::liberer);
    std::vector<uint8_t> valeur(250 + 14 * 5000);
    std::vector<Groupe> ecrits;
    bool refus = false;
    for (size_t gi = 0; gi < groupes.size() && !refus; ++gi) {
        const auto& g = groupes[gi];
        const ZoneKPX avant = zone;
        if (zone.ajouterGroupe(g.identifiant) != KPX_OK) {
            verifier(memeCurseur(avant, zone), "refused group moved the cursor");
            refus = true;
            break;
        }
        ecrits.push_back({g.identifiant, {}});
        for (size_t fi = 0; fi < g.longueurs.size(); ++fi) {
            const uint32_t l = g.longueurs[fi];
            std::memset(valeur.data(), static_cast<int>(gi * 31 + fi), l);
            const ZoneKPX avantChamp = zone;
            // Only a write near the capacity can be refused: keep an image of the buffer for those.
            const bool pres = uint64_t{zone.tailleDonnees} + ZoneKPX::tailleChamp(l) + 4 > zone.tailleBuffer;
            std::vector<uint8_t> image;
            if (pres) image.assign(zone.buffer, zone.buffer + zone.tailleBuffer);
            if (zone.ajouterChamp(valeur.data(), l) != KPX_OK) {
                verifier(pres, "field refused with room left");
                verifier(memeCurseur(avantChamp, zone), "refused field moved the cursor");
                verifier(std::memcmp(image.data(), zone.buffer, image.size()) == 0, "refused field wrote");
                refus = true;
                break;
            }
            ecrits.back().longueurs.push_back(l);
            verifierCurseur(zone);
        }
    }
    verifierCurseur(zone);
    ecrireEntiers(groupes, zone, refus);
    if (manque == 0 && exacte > 0) {
        verifier(!refus, "exact size refused a write");
        verifier(zone.tailleDonnees == zone.tailleBuffer, "exact size not filled");
    }

    ZoneKPX lecture(zone.buffer, zone.tailleDonnees);
    for (size_t gi = 0; gi < ecrits.size(); ++gi) {
        uint16_t identifiant = 0;
        verifier(lecture.lireGroupeSuivant(identifiant, 1, true) == KPX_OK, "written group unreadable");
        verifier(identifiant == ecrits[gi].identifiant, "group identifier changed");
        for (size_t fi = 0; fi < ecrits[gi].longueurs.size(); ++fi) {
            uint16_t numero = 0;
            const uint8_t* donnees = nullptr;
            uint32_t longueur = 0;
            verifier(lecture.lireChampSuivant(numero, donnees, longueur, 1) == KPX_OK, "written field unreadable");
            verifier(numero == fi + 1 && longueur == ecrits[gi].longueurs[fi], "field length changed");
            verifierChamp(donnees, longueur, zone.buffer, zone.tailleDonnees);
            const auto attendu = static_cast<uint8_t>(gi * 31 + fi);
            for (uint32_t k = 0; k < longueur; ++k) verifier(donnees[k] == attendu, "field bytes changed");
        }
        verifier(lecture.estFinGroupe(), "extra field in a group");
    }
    verifier(lecture.estFinZone(), "extra group in the zone");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFu) return 0;
    // An exactly sized copy, so that any read past the end is caught.
    std::unique_ptr<uint8_t[]> copie(size == 0 ? nullptr : new uint8_t[size]);
    if (size > 0) std::memcpy(copie.get(), data, size);
    const auto taille = static_cast<uint32_t>(size);
    parcourir(copie.get(), taille, 1, 1);
    parcourir(copie.get(), taille, 2, 2);
    comparerPasGroupe(copie.get(), taille);
    ecrireRelire(copie.get(), size);
    return 0;
}

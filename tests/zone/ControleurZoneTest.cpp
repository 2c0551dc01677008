// Input zones read through their super-group: fields in description order,
// every positional code (0x9000 + field rank, 0xA000 / 0xA800 + group rank,
// 0xB000 + group number), repeated groups and nested super-groups (the sample's
// invoices are read through the complete control's own tests).
#include "zone/ControleurZone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "support/TraceCapturee.h"
#include "support/ZoneEntree.h"
#include "zone/Groupe.h"
#include "zone/SuperGroupe.h"

namespace {

using Octets = std::vector<uint8_t>;

// Bytes of an input zone kept beside the zone over them (constructed first).
struct ZoneLue {
    explicit ZoneLue(Octets o) : octets(std::move(o)), zone(octets.data(), static_cast<uint32_t>(octets.size())) {}
    Octets octets;
    ZoneKPX zone;
};

// A handler reading its own copy of the bytes through a description.
struct Lecture : ZoneLue, ControleurZone {
    Lecture(Octets o, const SuperGroupe& racine, bool strict = true)
        : ZoneLue(std::move(o)), ControleurZone(zone, racine, strict) {}
};

// A super-group tree held in memory, groups owned here as the Interface owns them.
class Arbre {
public:
    const Groupe& groupe(uint16_t numero, const std::vector<Champ>& champs) {
        groupes_.emplace_back(new Groupe(numero, static_cast<uint16_t>(champs.size())));
        for (const auto& c : champs)
            EXPECT_EQ(groupes_.back()->ajouterChamp(c.format, c.type, c.tailleMinimale, c.tailleMaximale,
                                                    c.valeursAutorisees),
                      0);
        return *groupes_.back();
    }

private:
    std::vector<std::unique_ptr<Groupe>> groupes_;
};

Champ champ(uint32_t format, uint32_t type, uint16_t minimum = 0, uint16_t maximum = 0) {
    return Champ(format, type, minimum, maximum, ListeCodes());
}

struct Lu {
    uint16_t cr;
    uint16_t groupe;
    uint16_t numero;
    std::string valeur;  // byte form of the value built
    uint16_t rang = 0;   // the zone's rank of the field and whether the data end there, as a handler asks
    bool fin = false;
};

std::string octetsDe(const TypeSimple& valeur) {
    FormeOctets forme;
    valeur.formeOctets(forme);
    return forme.donnees != nullptr ? std::string(reinterpret_cast<const char*>(forme.donnees), forme.longueur) : "";
}

// Reads up to n fields, stopping after the first non-zero code.
std::vector<Lu> lire(ControleurZone& controleur, size_t n) {
    std::vector<Lu> lus;
    while (lus.size() < n) {
        Lu lu{0, 0, 0, ""};
        ValeurChamp valeur;
        lu.cr = controleur.extraireChamp(lu.groupe, lu.numero, valeur);
        if (valeur.valeur() != nullptr) lu.valeur = octetsDe(*valeur.valeur());
        lu.rang = controleur.rangChamp();
        lu.fin = controleur.estFinDonnees();
        lus.push_back(lu);
        if (lu.cr != 0) break;
    }
    return lus;
}

// The same through the bare read of a quiet walk, each value built from its bytes as a reader does.
std::vector<Lu> lireBrut(ControleurZone& controleur, size_t n) {
    std::vector<Lu> lus;
    while (lus.size() < n) {
        Lu lu{0, 0, 0, ""};
        ChampLu champ;
        lu.cr = controleur.extraireChamp(champ);
        ValeurChamp valeur;
        if (champ.type != TYPE_AUCUN) valeur.noter(champ.type, champ.octets, champ.longueur);
        if (valeur.valeur() != nullptr) lu.valeur = octetsDe(*valeur.valeur());
        lu.rang = controleur.rangChamp();
        lu.fin = controleur.estFinDonnees();
        lus.push_back(lu);
        if (lu.cr != 0) break;
    }
    return lus;
}

uint16_t dernierCode(const std::vector<Lu>& lus) { return lus.empty() ? 0 : lus.back().cr; }

// F: 3001 (one code, 1..1), 3002 (one code of one character, 1..1), 3003 (three fields, 0..1).
struct Fonction {
    Arbre arbre;
    SuperGroupe racine{17, "F", 3};
    Fonction() {
        racine.ajouterFils(arbre.groupe(3001, {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 13)}), 1, 1);
        racine.ajouterFils(arbre.groupe(3002, {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 1)}), 1, 1);
        racine.ajouterFils(arbre.groupe(3003, {champ(FORMAT_NUMERIQUE, TYPE_NOMBRE, 1, 4),
                                               champ(FORMAT_NUMERIQUE, TYPE_MONTANT, 1, 11),
                                               champ(FORMAT_LIBRE, TYPE_TEXTE)}),
                           0, 1);
    }
};

}  // namespace

TEST(ControleurZone, ReadsEachFieldCheckedAndConvertedInDescriptionOrder) {
    Fonction f;
    Lecture controleur(
        zone({{3001, {"AHQP001      "}}, {3002, {"1"}}, {3003, {"007", "1250", " x "}}}),
        f.racine);
    const auto lus = lire(controleur, 5);
    ASSERT_EQ(lus.size(), 5u);
    const std::vector<std::tuple<uint16_t, uint16_t, std::string>> attendus = {
        {3001, 1, "AHQP001"}, {3002, 1, "1"}, {3003, 1, "7"}, {3003, 2, "1250"}, {3003, 3, " x "}};
    for (size_t i = 0; i < lus.size(); ++i) {
        EXPECT_EQ(lus[i].cr, 0) << i;
        EXPECT_EQ(lus[i].groupe, std::get<0>(attendus[i])) << i;
        EXPECT_EQ(lus[i].numero, std::get<1>(attendus[i])) << i;
        EXPECT_EQ(lus[i].valeur, std::get<2>(attendus[i])) << i;
    }
    EXPECT_EQ(controleur.verifierFinZone(), 0);
}

TEST(ControleurZone, RawFieldsPointIntoTheHostBufferAndAreCheckedButNotReduced) {
    Arbre arbre;
    SuperGroupe racine(1, "G", 1);
    racine.ajouterFils(arbre.groupe(3000, {champ(FORMAT_NUMERIQUE, TYPE_NOMBRE, 1, 4), champ(FORMAT_LIBRE, TYPE_TEXTE)}),
                       1, 1);
    // Group 3000 with "12" and an empty field.
    Lecture controleur({0x0B, 0xB8, 0x04, 0x02, 0x31, 0x32, 0x00}, racine);
    const uint8_t* const octets = controleur.octets.data();
    uint16_t groupe = 0;
    uint16_t numero = 0;
    const uint8_t* donnees = nullptr;
    uint32_t longueur = 0;
    ASSERT_EQ(controleur.extraireChamp(groupe, numero, donnees, longueur), 0);
    EXPECT_EQ(groupe, 3000);
    EXPECT_EQ(numero, 1);
    EXPECT_EQ(donnees, octets + 4);
    EXPECT_EQ(longueur, 2u);
    ASSERT_EQ(controleur.extraireChamp(groupe, numero, donnees, longueur), 0);
    EXPECT_EQ(numero, 2);
    EXPECT_EQ(donnees, octets + 7);
    EXPECT_EQ(longueur, 0u);
    EXPECT_EQ(controleur.verifierFinZone(), 0);

    // Leading zeros stay in the raw bytes; a refused field gives its rank in the zone.
    Lecture brut(zone({{3000, {"0012", "x"}}}), racine);
    ASSERT_EQ(brut.extraireChamp(groupe, numero, donnees, longueur), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(donnees), longueur), "0012");
    Lecture refus(zone({{3000, {"1A", ""}}}), racine);
    EXPECT_EQ(refus.extraireChamp(groupe, numero, donnees, longueur), 0x9001);
}

TEST(ControleurZone, FieldFaultsGiveTheRankOfTheFieldInTheWholeZone) {
    Fonction f;
    struct Cas {
        Octets zone;
        size_t lectures;  // the failing one included
        uint16_t attendu;
    };
    const std::vector<Cas> cas = {
        // "12a" is the fourth field of the zone, after a group of two fields.
        {zone({{3001, {"AHQP001"}}, {3002, {"1"}}, {3003, {"7", "12a", ""}}}), 4, 0x9004},
        // Too long for its description, and a blank inside a code (refused by the conversion).
        {zone({{3001, {"AHQP001"}}, {3002, {"12"}}}), 2, 0x9002},
        {zone({{3001, {"AHQP 01"}}, {3002, {"1"}}}), 1, 0x9001},
    };
    for (size_t i = 0; i < cas.size(); ++i) {
        Lecture controleur(cas[i].zone, f.racine);
        const auto lus = lire(controleur, 10);
        EXPECT_EQ(lus.size(), cas[i].lectures) << "cas " << i;
        EXPECT_EQ(dernierCode(lus), cas[i].attendu) << "cas " << i;
    }
}

TEST(ControleurZone, FewerOrMoreFieldsThanDescribedGiveTheGroupRank) {
    Fonction f;
    TraceCapturee trace("controleur-champs");
    // Group 3003, third of the zone, described with 3 fields.
    Lecture manque(zone({{3001, {"A"}}, {3002, {"1"}}, {3003, {"1", "2"}}}), f.racine);
    auto lus = lire(manque, 10);
    ASSERT_EQ(lus.size(), 5u);
    EXPECT_EQ(lus.back().cr, 0xA803);

    Lecture trop(zone({{3001, {"A"}}, {3002, {"1"}}, {3003, {"1", "2", "3", "4"}}}),
                 f.racine);
    lus = lire(trop, 10);
    // The fault shows when the third, last described field is taken.
    ASSERT_EQ(lus.size(), 5u);
    EXPECT_EQ(lus.back().cr, 0xA803);

    std::vector<std::string> erreurs;
    for (const auto& l : trace.lignes())
        if (l.niveau == 5 && l.categorie == 6) erreurs.push_back(l.texte);
    EXPECT_EQ(erreurs, (std::vector<std::string>{
                           "ERREUR: nombre de champs insuffisant dans le 3ème groupe (3003) (3 champs attendus, 2 "
                           "champs trouvés)",
                           "ERREUR: trop de champs dans le 3ème groupe (3003) (3 champs attendus)",
                       }));
}

TEST(ControleurZone, GroupsOutOfPlaceMissingOrRepeatedAreLocated) {
    Fonction f;
    struct Cas {
        const char* nom;
        Octets zone;
        size_t lectures;
        uint16_t attendu;
        uint16_t finZone;  // verifierFinZone after the reads, when they all succeeded
    };
    const std::vector<Cas> cas = {
        // Required 3002 absent: found when the last field of the zone is taken.
        {"absent-a-la-fin", zone({{3001, {"A"}}}), 1, 0xB000 + 3002, 0},
        // Required 3002 skipped over: found when 3003 arrives.
        {"absent-au-milieu", zone({{3001, {"A"}}, {3003, {"1", "2", ""}}}), 2, 0xB000 + 3002, 0},
        // 3002 at most once: the second occurrence is refused.
        {"deux-fois", zone({{3001, {"A"}}, {3002, {"1"}}, {3002, {"2"}}}), 3,
         0xB000 + 3002, 0},
        // A group the function does not describe, third in the zone.
        {"inconnu", zone({{3001, {"A"}}, {3002, {"1"}}, {3999, {"1"}}}), 3, 0xA003, 0},
        // One more group after everything: the handler's final check names its rank.
        {"en-trop",
         zone({{3001, {"A"}}, {3002, {"1"}}, {3003, {"1", "2", ""}}, {3001, {"B"}}}),
         5, 0, 0xA004},
    };
    for (const auto& c : cas) {
        Lecture controleur(c.zone, f.racine);
        const auto lus = lire(controleur, c.lectures);
        EXPECT_EQ(lus.size(), c.lectures) << c.nom;
        EXPECT_EQ(dernierCode(lus), c.attendu) << c.nom;
        if (c.attendu == 0) {
            EXPECT_EQ(controleur.verifierFinZone(), c.finZone) << c.nom;
        }
    }

    // A handler that stops inside a group leaves the rest of the zone over.
    Lecture coupe(cas.back().zone, f.racine);
    EXPECT_EQ(dernierCode(lire(coupe, 3)), 0);
    EXPECT_EQ(coupe.verifierFinZone(), 0xA004);
}

TEST(ControleurZone, MalformedOrExhaustedZonesGiveTheCodecCodes) {
    Fonction f;
    // The group announces 9 bytes, 3 follow.
    Lecture surTronque({0x0B, 0xB9, 0x09, 0x01, 'A', 0x00}, f.racine);
    EXPECT_EQ(dernierCode(lire(surTronque, 1)), KPX_CR_ZONE_MALFORMEE);

    // All fields read (the optional group left out): asking for one more reaches the end of the zone.
    Lecture controleur(zone({{3001, {"A"}}, {3002, {"1"}}}), f.racine);
    const auto lus = lire(controleur, 3);
    ASSERT_EQ(lus.size(), 3u);
    EXPECT_EQ(lus[1].cr, 0);
    EXPECT_EQ(lus[2].cr, KPX_CR_ZONE_FIN);
}

TEST(ControleurZone, RepeatedGroupsAreWalkedByTheNumberOfTheNextGroup) {
    Arbre arbre;
    SuperGroupe racine(3, "Liste", 3);
    racine.ajouterFils(arbre.groupe(3400, {champ(FORMAT_NUMERIQUE, TYPE_CODE, 3, 3)}), 1, 1);
    racine.ajouterFils(arbre.groupe(3530, {champ(FORMAT_NUMERIQUE, TYPE_NOMBRE, 1, 4),
                                           champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 10)}),
                       0, 3);
    racine.ajouterFils(arbre.groupe(1900, {champ(FORMAT_NUMERIQUE, TYPE_CODE, 3, 3)}), 1, 1);

    Lecture controleur(zone({{3400, {"001"}}, {3530, {"1", "PROD590"}}, {3530, {"2", "PROD650"}},
                             {3530, {"3", "PROD720"}}, {1900, {"002"}}}),
                       racine);
    ASSERT_EQ(dernierCode(lire(controleur, 1)), 0);
    std::vector<std::string> regles;
    uint16_t groupe = 0;
    while (controleur.positionnerGroupeSuivant(groupe) == 0 && groupe == 3530) {
        // Asking twice moves nothing.
        uint16_t encore = 0;
        ASSERT_EQ(controleur.positionnerGroupeSuivant(encore), 0);
        ASSERT_EQ(encore, 3530);
        const auto lus = lire(controleur, 2);
        ASSERT_EQ(dernierCode(lus), 0);
        ASSERT_EQ(lus.size(), 2u);
        regles.push_back(lus[1].valeur);
    }
    EXPECT_EQ(regles, (std::vector<std::string>{"PROD590", "PROD650", "PROD720"}));
    EXPECT_EQ(groupe, 1900);
    const auto fin = lire(controleur, 1);
    EXPECT_EQ(dernierCode(fin), 0);
    // A numeric field loses its leading zeros before it becomes a code.
    EXPECT_EQ(fin[0].valeur, "2");
    EXPECT_EQ(controleur.verifierFinZone(), 0);
    EXPECT_EQ(controleur.positionnerGroupeSuivant(groupe), KPX_CR_ZONE_FIN);

    // A fourth occurrence breaks the maximum of 3.
    Lecture trop(zone({{3400, {"001"}}, {3530, {"1", "A"}}, {3530, {"2", "B"}}, {3530, {"3", "C"}}, {3530, {"4", "D"}},
                       {1900, {"002"}}}),
                 racine);
    const auto lus = lire(trop, 20);
    EXPECT_EQ(lus.size(), 8u);
    EXPECT_EQ(dernierCode(lus), 0xB000 + 3530);
}

TEST(ControleurZone, WithoutStrictnessGroupsWithNoPlaceArePassedOver) {
    Fonction f;
    Lecture tolerant(zone({{3001, {"A"}}, {3002, {"1"}}, {3999, {"x", "y"}}, {3003, {"1", "2", ""}}, {3998, {}}}),
                     f.racine, false);
    const auto lus = lire(tolerant, 5);
    ASSERT_EQ(lus.size(), 5u);
    EXPECT_EQ(dernierCode(lus), 0);
    // The walk was not moved by the group passed over: 3003 still found its place.
    EXPECT_EQ(lus[2].groupe, 3003);
    EXPECT_EQ(lus[4].valeur, "");
    // What is left at the end is still left over.
    EXPECT_EQ(tolerant.verifierFinZone(), 0xA005);
}

TEST(ControleurZone, NestedSuperGroupsRepeatAsAWhole) {
    // R: 3400 (1..1), Lignes (1..*) of A (0..*: 3450 1..1, 3530 0..*) and B (0..*: 3460 1..*), 1900 (1..1).
    Arbre arbre;
    const Groupe& g3400 = arbre.groupe(3400, {champ(FORMAT_LIBRE, TYPE_TEXTE)});
    const Groupe& g3450 = arbre.groupe(3450, {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 13)});
    const Groupe& g3530 = arbre.groupe(3530, {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 10)});
    const Groupe& g3460 = arbre.groupe(3460, {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 3)});
    const Groupe& g1900 = arbre.groupe(1900, {champ(FORMAT_NUMERIQUE, TYPE_CODE, 3, 3)});
    std::unique_ptr<SuperGroupe> a(new SuperGroupe(11, "A", 2));
    a->ajouterFils(g3450, 1, 1);
    a->ajouterFils(g3530, 0, 0);
    std::unique_ptr<SuperGroupe> b(new SuperGroupe(12, "B", 1));
    b->ajouterFils(g3460, 1, 0);
    std::unique_ptr<SuperGroupe> lignes(new SuperGroupe(10, "Lignes", 2));
    lignes->ajouterFils(std::move(a), 0, 0);
    lignes->ajouterFils(std::move(b), 0, 0);
    SuperGroupe racine(9, "R", 3);
    racine.ajouterFils(g3400, 1, 1);
    racine.ajouterFils(std::move(lignes), 1, 0);
    racine.ajouterFils(g1900, 1, 1);

    struct Cas {
        const char* nom;
        std::vector<uint16_t> groupes;
        uint16_t attendu;  // code of the last read
        size_t lectures;
    };
    const std::vector<Cas> cas = {
        {"actes-et-forcages", {3400, 3450, 3530, 3530, 3450, 3530, 3450, 1900}, 0, 8},
        {"genres-alternes", {3400, 3450, 3460, 3460, 3450, 3530, 3460, 3450, 1900}, 0, 9},
        // A required line opens with another kind (the walk enters it to find its minimum),
        // and a line of the first kind opens the next; then kinds may follow in any order.
        {"genres-a-rebours", {3400, 3460, 3450, 3460, 3460, 3450, 1900}, 0, 7},
        // Only lines of the second kind: they never count as an occurrence, so the
        // minimum is still not met when the tail comes, and the tail is looked for in a
        // new line, where it has no place.
        {"ligne-de-l-autre-genre-seule", {3400, 3460, 1900}, 0xA003, 3},
        // 3530 belongs to an act: before any act it has no place.
        {"forcage-seul", {3400, 3530}, 0xA002, 2},
        // 3450 opens an act and is there once: met again at once, it is counted in the same act.
        {"tete-repetee", {3400, 3450, 3450, 1900}, 0xB000 + 3450, 3},
        // Lignes is required but holds only optional parts: without any line the tail
        // is looked for inside it, and has no place there.
        {"sans-ligne", {3400, 1900}, 0xA002, 2},
        {"sans-fin", {3400, 3450, 3460}, 0xB000 + 1900, 3},
    };
    // Traced, then quiet: a quiet walk places most groups without the search, to the same places and faults.
    for (const uint16_t niveau : {NiveauTrace::kInconnu, uint16_t{0}}) {
        for (const auto& c : cas) {
            std::vector<GroupeEntree> groupes;
            for (uint16_t g : c.groupes) groupes.push_back({g, {g == 3400 ? "" : (g == 1900 ? "001" : "X")}});
            Lecture controleur(zone(groupes), racine);
            NiveauTrace::niveauEcrit.store(niveau);
            const auto lus = lire(controleur, c.groupes.size());
            EXPECT_EQ(lus.size(), c.lectures) << c.nom << " niveau " << niveau;
            EXPECT_EQ(dernierCode(lus), c.attendu) << c.nom << " niveau " << niveau;
            for (size_t i = 0; i < lus.size() && lus[i].cr == 0; ++i)
                EXPECT_EQ(lus[i].groupe, c.groupes[i]) << c.nom << " niveau " << niveau;
            if (c.attendu == 0) {
                EXPECT_EQ(controleur.verifierFinZone(), 0) << c.nom << " niveau " << niveau;
            }
            NiveauTrace::oublier();
        }
    }
}

// A field read in place still shows in the trace: the conversion, the place of the field, its value.
TEST(ControleurZone, FieldsReadInPlaceAreTraced) {
    Fonction f;
    // Every line handed to the component, whatever an earlier call left known of its level.
    NiveauTrace::oublier();
    static std::vector<std::string> details;
    details.clear();
    TraceDetail::definirDestination([](uint16_t, uint16_t, const char* ligne) { details.emplace_back(ligne); });
    TraceDetail::definirNiveau(CAT_ZONE, NIV_DETAIL);
    std::vector<std::string> textes;
    {
        TraceCapturee trace("controleur-en-place");
        Lecture controleur(zone({{3001, {"AHQP001      "}}, {3002, {"1"}}}), f.racine);
        EXPECT_EQ(dernierCode(lire(controleur, 2)), 0);
        textes = trace.textes();
    }
    TraceDetail::definirNiveau(CAT_ZONE, 0);
    TraceDetail::definirDestination(nullptr);
    auto present = [](const std::vector<std::string>& lignes, const char* ligne) {
        return std::find(lignes.begin(), lignes.end(), ligne) != lignes.end();
    };
    EXPECT_TRUE(present(textes, "Champ::transformer >> IN"));
    EXPECT_TRUE(present(textes, "Groupe 3001, champ 1 (1) :"));
    EXPECT_TRUE(present(details, "  code = AHQP001"));
}

// Without detail lines the walk takes a path of its own: every zone reads through it
// as through the traced one, faults included, and so does the group asked before each
// field, once to place it and once when placed, as a handler asks it.
TEST(ControleurZone, TheQuietWalkReadsAsTheTracedOne) {
    Fonction f;
    const std::string texteLong(200, 'x');
    const std::vector<Octets> zones = {
        zone({{3001, {"AHQP001      "}}, {3002, {"1"}}, {3003, {"007", "1250", texteLong}}}),
        zone({{3001, {"AHQP001"}}, {3002, {"1"}}, {3003, {"7", "12a", ""}}}),
        zone({{3001, {"AHQP 01"}}, {3002, {"1"}}}),
        zone({{3001, {"AHQP001"}}, {3002, {"12"}}}),
        zone({{3001, {"A"}}, {3002, {"1"}}, {3003, {"1", "2", "3", "4"}}}),
        zone({{3001, {"A"}}, {3002, {"1"}}, {3003, {"1", "2"}}}),
        zone({{3001, {"A"}}, {3003, {"1", "2", ""}}}),
        // A short length written in two bytes; a field longer than its group; a group longer than the zone.
        {0x0B, 0xB9, 0x04, 0x81, 0x02, 'A', 'B', 0x0B, 0xBA, 0x02, 0x01, '1'},
        {0x0B, 0xB9, 0x03, 0x05, 'A', 'B'},
        {0x0B, 0xB9, 0x09, 0x01, 'A', 0x00},
    };
    auto decrire = [](const std::vector<Lu>& lus, uint16_t fin, uint16_t rang) {
        std::string texte;
        for (const auto& l : lus)
            texte += std::to_string(l.cr) + " " + std::to_string(l.groupe) + "." + std::to_string(l.numero) + "=" +
                     l.valeur + (l.cr == 0 ? " @" + std::to_string(l.rang) + (l.fin ? "$" : "") : "") + "|";
        return texte + " fin " + std::to_string(fin) + " rang " + std::to_string(rang);
    };
    const uint16_t niveaux[2] = {0, NiveauTrace::kInconnu};
    for (size_t i = 0; i < zones.size(); ++i) {
        std::string lectures[2];
        for (int n = 0; n < 2; ++n) {
            Lecture controleur(zones[i], f.racine);
            NiveauTrace::niveauEcrit.store(niveaux[n]);
            const auto lus = lire(controleur, 10);
            lectures[n] = decrire(lus, controleur.verifierFinZone(), controleur.zone.numeroChampZone);
            NiveauTrace::oublier();
            Lecture recontroleur(zones[i], f.racine);
            NiveauTrace::niveauEcrit.store(niveaux[n]);
            uint16_t cr = 0;
            for (int k = 0; k < 10 && cr == 0 && !recontroleur.zone.estFinDonnees(); ++k) {
                for (int fois = 0; fois < 2 && cr == 0; ++fois) {
                    uint16_t groupe = 0;
                    cr = recontroleur.positionnerGroupeSuivant(groupe);
                    lectures[n] += " g" + std::to_string(cr) + ":" + std::to_string(groupe);
                }
                uint16_t groupe = 0, numero = 0;
                ValeurChamp valeur;
                if (cr == 0) cr = recontroleur.extraireChamp(groupe, numero, valeur);
                lectures[n] += " c" + std::to_string(cr) + ":" + std::to_string(groupe) + "." + std::to_string(numero);
            }
            NiveauTrace::oublier();
        }
        EXPECT_EQ(lectures[0], lectures[1]) << "zone " << i;
        // The bare read of a quiet walk gives the same values, codes and field ranks (it knows no group).
        Lecture controleur(zones[i], f.racine);
        NiveauTrace::niveauEcrit.store(0);
        ASSERT_TRUE(ControleurZone::estCalme());
        auto lus = lireBrut(controleur, 10);
        const std::string brute = decrire(lus, controleur.verifierFinZone(), controleur.zone.numeroChampZone);
        NiveauTrace::oublier();
        Lecture tracee(zones[i], f.racine);
        auto attendus = lire(tracee, 10);
        for (auto& l : attendus) l.groupe = l.numero = 0;
        EXPECT_EQ(brute, decrire(attendus, tracee.verifierFinZone(), tracee.zone.numeroChampZone)) << "zone " << i;
        if (i == 0) {
            // Five fields, then the end of the zone (0xF805); the groups asked on the way.
            EXPECT_EQ(lectures[0], "0 3001.1=AHQP001 @1|0 3002.1=1 @2|0 3003.1=7 @3|0 3003.2=1250 @4|0 3003.3=" +
                                       texteLong + " @5$|63493 0.0=| fin 0 rang 5 g0:3001 g0:3001 c0:3001.1 g0:3002 g0:3002 c0:3002.1"
                                       " g0:3003 g0:3003 c0:3003.1 g0:3003 g0:3003 c0:3003.2 g0:3003 g0:3003 c0:3003.3");
        }
    }
}

// A group's fields checked together take from each description only the checks it needs: for
// every description, plain or not, a field checked ahead gives the code and value of its steps.
TEST(ControleurZone, AFieldCheckedAheadGivesWhatItsStepsGive) {
    ListeCodes aucune, uneValeur, valeurVide;
    uneValeur.ajouter(Code("AB"));
    valeurVide.ajouter(Code(""));
    std::vector<Champ> descriptions;
    for (uint32_t format = 0; format <= FORMAT_LIBRE + 1; ++format)
        for (uint32_t type = 0; type <= TYPE_AUCUN + 1; ++type)
            for (uint16_t minimum : {0, 2})
                for (uint16_t maximum : {0, 3})
                    for (const ListeCodes* liste : {&aucune, &uneValeur, &valeurVide})
                        descriptions.emplace_back(format, type, minimum, maximum, *liste);
    const std::vector<std::string> entrees = {"",    " ",   "0", "007", "000",      "AB",      "AB  ", "A B", " AB",
                                              "ab",  "12a", "O", "N ",  "20240101", "1234567", std::string("A\0B", 3),
                                              "\xE9"};
    for (const Champ& description : descriptions) {
        Arbre arbre;
        SuperGroupe racine{17, "F", 2};
        racine.ajouterFils(arbre.groupe(3001, {description, champ(FORMAT_LIBRE, TYPE_TEXTE)}), 1, 1);
        racine.ajouterFils(arbre.groupe(3002, {champ(FORMAT_LIBRE, TYPE_TEXTE)}), 1, 1);
        for (const auto& entree : entrees) {
            // Neither the last field of its group nor of the zone: it is checked ahead.
            const Octets octets = zone({{3001, {entree, "x"}}, {3002, {"y"}}});
            NiveauTrace::niveauEcrit.store(0);
            Lecture ensemble(octets, racine);
            const auto brut = lireBrut(ensemble, 1);
            Lecture seul(octets, racine);
            const auto attendu = lire(seul, 1);
            NiveauTrace::oublier();
            ASSERT_EQ(brut.size(), 1u);
            ASSERT_EQ(attendu.size(), 1u);
            const std::string quoi = std::to_string(description.format) + " " + std::to_string(description.type) +
                                     " [" + entree + "]";
            EXPECT_EQ(brut[0].cr, attendu[0].cr) << quoi;
            EXPECT_EQ(brut[0].valeur, attendu[0].valeur) << quoi;
        }
    }
}

// The interface description built from tables 49 to 53: groups and fields,
// roots and nested super-groups, the family ranges and their lookups, refused
// descriptions and the tree trace.
#include "consultation/Interface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "support/TraceCapturee.h"
#include "zone/DescriptionInterface.h"

using namespace description;

namespace {

// Three groups; a child-only super-group first (blank code sorts first), then
// three consultation roots in byte order, one of each other family, and the
// complete control.
void decrireFamilles(Description& d) {
    const uint16_t g3001 = d.groupe(3001, {{'A', 'C', 1, 13}});
    const uint16_t g3002 = d.groupe(3002, {{'E', 'B', 1, 1, {"O", "N"}}, {'N', 'N', 0, 4}});
    const uint16_t g3530 = d.groupe(3530, {{'N', 'N', 1, 4}, {'A', 'C', 1, 10}});
    const uint16_t acte = d.superGroupe(200, "S_Acte", ' ', {groupe(g3002, 1, 0), groupe(g3530, 0, 0)});
    d.superGroupe(97, "CCAM_1", '1', {groupe(g3001, 1, 1)});
    d.superGroupe(1, "CCAM_10", '1', {groupe(g3001, 1, 1)});
    d.superGroupe(10, "CCAM_2", '1', {});
    d.superGroupe(30, "M_1", '2', {groupe(g3001, 1, 1), groupe(g3530, 0, 1)});
    d.superGroupe(40, "A_1", '3', {groupe(g3001, 1, 1)});
    d.superGroupe(70, "C_1", '4', {superGroupe(acte, 1, 0)});
    d.superGroupe(71, "C_2", '4', {superGroupe(acte, 0, 2), groupe(g3530, 0, 0)});
    d.superGroupe(80, "R_1", '5', {groupe(g3001, 1, 1)});
    d.superGroupe(0, "ControleComplet", '6', {groupe(g3001, 1, 1), superGroupe(acte, 1, 0)});
}

std::vector<std::string> lignesCategorie(const TraceCapturee& trace, int categorie, int niveau) {
    std::vector<std::string> t;
    for (const auto& l : trace.lignes())
        if (l.categorie == categorie && l.niveau == niveau) t.push_back(l.texte);
    return t;
}

bool contient(const std::vector<std::string>& lignes, const std::string& texte) {
    return std::find(lignes.begin(), lignes.end(), texte) != lignes.end();
}

}  // namespace

// Fields, their bounds and allowed values, and the nesting are what the tree trace
// shows; root order is what every exported call finds. Here, what neither shows.
TEST(Interface, EachReferenceToANestedSuperGroupHasItsOwnCopySharingTheGroups) {
    Description d("familles");
    decrireFamilles(d);
    Interface interface;
    ASSERT_EQ(d.construire(interface), 0);
    ASSERT_TRUE(interface.estConstruite());
    EXPECT_FALSE(interface.racine(2)->decritGroupes());

    const SuperGroupe& c1 = *interface.racine(5);
    const SuperGroupe& c2 = *interface.racine(6);
    ASSERT_TRUE(c1.fils(0).estSuperGroupe());
    const SuperGroupe& acte1 = *c1.fils(0).superGroupe;
    const SuperGroupe& acte2 = *c2.fils(0).superGroupe;
    EXPECT_NE(&acte1, &acte2);
    EXPECT_EQ(acte1.fils(0).groupe, interface.groupe(1));
    EXPECT_EQ(acte2.fils(0).groupe, interface.groupe(1));
    EXPECT_EQ(acte1.fils(1).groupe, interface.groupe(2));
    EXPECT_EQ(c1.fils(0).premierNumeroGroupe(), 3002);

    interface.liberer();
    EXPECT_FALSE(interface.estConstruite());
    EXPECT_EQ(interface.nombreGroupes(), 0);
    EXPECT_EQ(interface.nombreRacines(), 0);
}

TEST(Interface, EmptyFamiliesFindNothingNotEvenTheirNeighbour) {
    Interface interface;
    {
        Description d("familles-vides");
        const uint16_t g = d.groupe(3001, {{'A', 'C', 1, 13}});
        d.superGroupe(1, "X", '1', {groupe(g, 1, 1)});
        d.superGroupe(2, "R", '5', {groupe(g, 1, 1)});
        ASSERT_EQ(d.construire(interface), 0);
    }
    const SuperGroupe* racine = nullptr;
    EXPECT_EQ(interface.lireSuperGroupeConsulter(Code("X"), racine), 0);
    // Modification, cancellation and control have no root: their ranges are empty,
    // even where the next root has the name asked for.
    EXPECT_EQ(interface.lireSuperGroupeModifier(Code("R"), racine), KPX_CR_IDENTIFIANT_INCONNU);
    EXPECT_EQ(interface.lireSuperGroupeAnnuler(Code("R"), racine), KPX_CR_IDENTIFIANT_INCONNU);
    EXPECT_EQ(interface.lireSuperGroupeControler(Code("R"), racine), KPX_CR_CONTROLE_IDENTIFIANT);
    EXPECT_EQ(interface.lireSuperGroupeRegle(Code("X"), racine), KPX_CR_CONTROLE_IDENTIFIANT);
    EXPECT_EQ(interface.lireSuperGroupeRegle(Code("R"), racine), 0);
    EXPECT_EQ(racine->numero(), 2);
    // No complete-control root.
    EXPECT_EQ(interface.lireSuperGroupeControleComplet(racine), 0);
    EXPECT_EQ(racine, nullptr);

    // Built again without consultation roots, the former consultation end is not kept.
    Description sansConsultation("sans-consultation");
    const uint16_t g = sansConsultation.groupe(3001, {{'A', 'C', 1, 13}});
    sansConsultation.superGroupe(5, "M", '2', {groupe(g, 1, 1)});
    ASSERT_EQ(sansConsultation.construire(interface), 0);
    EXPECT_EQ(interface.lireSuperGroupeConsulter(Code("M"), racine), KPX_CR_IDENTIFIANT_INCONNU);
    EXPECT_EQ(interface.lireSuperGroupeModifier(Code("M"), racine), 0);
    EXPECT_EQ(interface.lireSuperGroupeAnnuler(Code("M"), racine), KPX_CR_IDENTIFIANT_INCONNU);
}

TEST(Interface, RefusedDescriptionsFailTheBuildAndLeaveNothingBuilt) {
    // Group 3001 of the one field given, at position 0, then the case's super-groups.
    struct Cas {
        const char* nom;
        ChampDecrit champ;
        void (*decrire)(Description&);
        const char* message;  // category 0, level 5
    };
    const ChampDecrit code{'A', 'C', 1, 13};
    const std::vector<Cas> cas = {
        {"format", {'Z', 'C', 1, 13}, [](Description& d) { d.superGroupe(1, "F", '1', {groupe(0, 1, 1)}); },
         "ERREUR : Format de champ (Z) inconnu."},
        {"type", {'A', 'Q', 1, 13}, [](Description& d) { d.superGroupe(1, "F", '1', {groupe(0, 1, 1)}); },
         "ERREUR : Type de champ (Q) inconnu."},
        {"position-groupe", code,
         [](Description& d) { d.superGroupe(1, "F", '1', {groupe(0, 1, 1), groupe(7, 0, 1)}); },
         "ERREUR : Position de groupe (7) hors limite"},
        {"fils-sans-position", code,
         [](Description& d) { d.superGroupe(1, "F", '1', {groupe(0, 1, 1), {kAucun, kAucun, 0, 1}}); },
         "ERREUR : Type de fils inconnu"},
        {"fils-avec-code", code,
         [](Description& d) {
             d.superGroupe(1, "F", '1', {superGroupe(1, 1, 1)});
             d.superGroupe(2, "G", '1', {groupe(0, 1, 1)});
         },
         "ERREUR : Super-groupe fils avec code fonction (1)"},
        {"cycle", code,
         [](Description& d) {
             d.superGroupe(10, "S", ' ', {groupe(0, 1, 1), superGroupe(1, 0, 1)});
             d.superGroupe(11, "T", ' ', {superGroupe(0, 0, 1)});
             d.superGroupe(1, "F", '1', {superGroupe(0, 1, 1)});
         },
         "ERREUR : Super-groupe fils (0) contenu dans lui-même"},
    };
    for (const auto& c : cas) {
        TraceCapturee trace(std::string("interface-refus-") + c.nom);
        Description d(std::string("refus-") + c.nom);
        d.groupe(3001, {c.champ});
        c.decrire(d);
        Interface interface;
        EXPECT_EQ(d.construire(interface), KPX_CR_DONNEES_INCOHERENTES) << c.nom;
        EXPECT_FALSE(interface.estConstruite()) << c.nom;
        EXPECT_EQ(interface.nombreGroupes(), 0) << c.nom;
        EXPECT_EQ(interface.nombreRacines(), 0) << c.nom;
        const SuperGroupe* racine = nullptr;
        EXPECT_EQ(interface.lireSuperGroupeConsulter(Code("F"), racine), KPX_CR_IDENTIFIANT_INCONNU) << c.nom;
        EXPECT_TRUE(contient(lignesCategorie(trace, 0, 5), c.message)) << c.nom;
        // What was built before the failure was released with it.
        EXPECT_TRUE(contient(lignesCategorie(trace, 6, 2), "Destruction du groupe 3001.")) << c.nom;
    }

    // A correct description on the same object builds as usual afterwards.
    Description d("refus-puis-correct");
    decrireFamilles(d);
    Interface interface;
    Description mauvaise("refus-avant");
    mauvaise.groupe(3001, {{'Z', 'C', 1, 13}});
    mauvaise.superGroupe(1, "F", '1', {groupe(0, 1, 1)});
    EXPECT_EQ(mauvaise.construire(interface), KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_EQ(d.construire(interface), 0);
    EXPECT_EQ(interface.nombreRacines(), 9);
}

TEST(Interface, TreeTraceShowsBoundsGroupsFieldsAndNestedSuperGroups) {
    Description d("trace");
    decrireFamilles(d);
    Interface interface;
    ASSERT_EQ(d.construire(interface), 0);
    TraceCapturee trace("interface-arbre");
    interface.racine(6)->tracer();
    EXPECT_EQ(lignesCategorie(trace, 6, 2), (std::vector<std::string>{
                                                 "SuperGroupe C_2 {",
                                                 "[0 - 2]",
                                                 "SuperGroupe S_Acte {",
                                                 "[1 - 0]",
                                                 "Groupe 3002",
                                                 "  E 1 - 1 [ O N ] --> Booleen",
                                                 "  N 0 - 4 --> Nombre",
                                                 "[0 - 0]",
                                                 "Groupe 3530",
                                                 "  N 1 - 4 --> Nombre",
                                                 "  A 1 - 10 --> Code",
                                                 "}",
                                                 "[0 - 0]",
                                                 "Groupe 3530",
                                                 "  N 1 - 4 --> Nombre",
                                                 "  A 1 - 10 --> Code",
                                                 "}",
                                             }));
}

// The interface reference: the checked-in document is the one the sample source
// gives, and each function's tree shows its groups, fields and allowed values.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "kpxbuild/Documentation.h"
#include "kpxbuild/SourceJson.h"
#include "zone/DescriptionInterface.h"

namespace {

using namespace description;

std::string section(const std::string& document, const std::string& debut) {
    const size_t position = document.find(debut);
    if (position == std::string::npos) return "";
    const size_t fin = document.find("\n#", position + 1);
    return document.substr(position, fin == std::string::npos ? std::string::npos : fin + 1 - position);
}

}  // namespace

TEST(Documentation, CheckedInInterfaceReferenceIsTheOneTheSampleGives) {
    ContenuReferentiel contenu;
    std::vector<std::string> erreurs;
    lireSource(std::string(KPX_SOURCE_DIR) + "/data/sample", contenu, erreurs);
    ASSERT_TRUE(erreurs.empty()) << erreurs.front();
    const std::string attendu = documenterInterface(contenu, erreurs);
    EXPECT_TRUE(erreurs.empty());

    std::ifstream fichier(std::string(KPX_SOURCE_DIR) + "/docs/interface.md", std::ios::binary);
    ASSERT_TRUE(fichier.is_open());
    const std::string archive((std::istreambuf_iterator<char>(fichier)), std::istreambuf_iterator<char>());
    EXPECT_EQ(archive, attendu) << "docs/interface.md is stale: run build/bin/kpx-build doc data/sample";
}

// The top-level tree is the one kpx describe prints, checked there.
TEST(Documentation, ChildSuperGroupsAreIndentedFamiliesHeadedAndBrokenReferencesNamed) {
    // One consultation function FX_1 (number 7) taking group 3001 of two fields with allowed values.
    Description d("documentation");
    const uint16_t groupe3001 = d.groupe(3001, {{'A', 'C', 1, 13, {"AB", "CD"}}, {'E', 'B', 1, 1, {"O", "N"}}});
    d.superGroupe(7, "FX_1", '1', {groupe(groupe3001, 1, 1)});
    // Row 1: a child super-group (no function code) repeated without maximum; row 2: a
    // rule-application root holding it, then a group position beyond the table.
    const uint16_t acte = d.superGroupe(0, "ACTE", ' ', {groupe(groupe3001, 0, 0)});
    d.superGroupe(67, "FX_5", '5', {superGroupe(acte, 1, 0), {9, kAucun, 1, 1}, {kAucun, kAucun, 1, 1}});
    std::vector<std::string> erreurs;
    const std::string document = documenterInterface(d.constructeur.contenu(), erreurs);
    EXPECT_EQ(section(document, "### `FX_5`"),
              "### `FX_5` (fonction 67)\n"
              "\n"
              "- super-groupe ACTE, occurrences 1..*\n"
              "  - groupe 3001, occurrences 0..*\n"
              "    - champ 1: format A, type Code, taille 1..13, valeurs `AB`, `CD`\n"
              "    - champ 2: format E, type Booleen, taille 1..1, valeurs `O`, `N`\n"
              "\n");
    EXPECT_EQ(document.find("### `ACTE`"), std::string::npos);
    // Families without a function still have their heading, in entry-point order.
    EXPECT_LT(document.find("## Consultation"), document.find("## Modification"));
    EXPECT_EQ(section(document, "## Complete control"),
              "## Complete control (`KPX_ControleComplet`, code fonction 6)\n\nNo function.\n");
    ASSERT_EQ(erreurs.size(), 2u);
    EXPECT_EQ(erreurs[0], "interface: FX_5: groupe 9 hors de la table");
    EXPECT_EQ(erreurs[1], "interface: FX_5: fils sans groupe ni super-groupe");

    // A super-group that contains itself is named, not followed for ever.
    Description boucle("documentation-boucle");
    boucle.superGroupe(1, "FX_2", '2', {superGroupe(0, 1, 1)});
    for (uint16_t table : {50, 51, 52}) boucle.constructeur.table(table);
    erreurs.clear();
    documenterInterface(boucle.constructeur.contenu(), erreurs);
    ASSERT_EQ(erreurs.size(), 1u);
    EXPECT_EQ(erreurs[0], "interface: FX_2: super-groupe FX_2 contenu en lui-meme");
}

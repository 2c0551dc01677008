// The base operations every handler reads its input with: lists with holes or
// repeats, and a read once the running code is set.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "consultation/Fonctions.h"
#include "support/ZoneEntree.h"
#include "zone/Groupe.h"
#include "zone/ListeCodes.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"

namespace {

constexpr uint32_t kAlpha = 0, kLibre = 4;
constexpr uint32_t kCode = 0, kDate = 3;

class Essai : public Fonctions {
public:
    using Fonctions::Fonctions;
    using Fonctions::lireChamp;
    using Fonctions::lireDateNaissance;
    using Fonctions::lireModificateurs;
    using Fonctions::lireNumerosDents;
};

// One description of groups, each a list of (format, type) fields of 0 to 20 bytes,
// and an input zone of fields for them.
struct Banc {
    std::vector<std::unique_ptr<Groupe>> groupes;
    std::unique_ptr<SuperGroupe> racine;
    std::vector<uint8_t> octets;
    std::unique_ptr<ZoneKPX> zone;

    void decrire(uint16_t numero, const std::vector<std::pair<uint32_t, uint32_t>>& champs) {
        groupes.emplace_back(new Groupe(numero, static_cast<uint16_t>(champs.size())));
        for (auto [format, type] : champs) EXPECT_EQ(groupes.back()->ajouterChamp(format, type, 0, 20, ListeCodes()), 0);
    }
    Essai& fonctions(const std::vector<GroupeEntree>& entree) {
        racine.reset(new SuperGroupe(1, "Essai", static_cast<uint16_t>(groupes.size())));
        for (auto& g : groupes) EXPECT_EQ(racine->ajouterFils(*g, 0, 1), 0);
        octets = ::zone(entree);
        zone.reset(new ZoneKPX(octets.data(), static_cast<uint32_t>(octets.size())));
        essai.reset(new Essai(zone.get(), racine.get()));
        return *essai;
    }
    std::unique_ptr<Essai> essai;
};

std::vector<std::pair<uint32_t, uint32_t>> codes(size_t n) { return std::vector<std::pair<uint32_t, uint32_t>>(n, {kAlpha, kCode}); }

std::string texte(const TypeListe<Code>& liste) {
    std::string t;
    for (uint16_t i = 0; i < liste.nombre(); ++i) t += std::string(i ? "," : "") + liste.element(i).chaine();
    return t;
}

}  // namespace

TEST(Fonctions, ModifierListsStopAtTheFirstEmptyFieldToothListsRefuseHolesAndRepeats) {
    const struct {
        uint16_t groupe;
        std::vector<std::string> champs;
        uint16_t cr;
        const char* lues;
    } cas[] = {
        {2100, {"F", "P", "", ""}, 0, "F,P"},
        {2100, {"F", "", "P", ""}, 0xD107, nullptr},
        {2200, {"11", "12", "21"}, 0, "11,12,21"},
        {2200, {"11", "12", "11"}, 0xD108, nullptr},
        {2200, {"11", "", "12"}, 0xD108, nullptr},
        {2200, {}, 0, ""},
    };
    for (const auto& c : cas) {
        const size_t n = c.groupe == 2100 ? 4 : 16;
        Banc banc;
        banc.decrire(c.groupe, codes(n));
        std::vector<std::string> champs = c.champs;
        champs.resize(n);
        Essai& f = banc.fonctions({{c.groupe, champs}});
        uint16_t cr = 0;
        TypeListe<Code> liste(static_cast<uint16_t>(n));
        if (c.groupe == 2100)
            f.lireModificateurs(cr, liste);
        else
            f.lireNumerosDents(cr, liste);
        EXPECT_EQ(cr, c.cr) << c.groupe << " " << texte(liste);
        if (c.lues != nullptr) {
            EXPECT_EQ(texte(liste), c.lues);
        }
    }
}

// Conversions between the described and the asked type are the handlers' (host tests);
// here, what they do not reach.
TEST(Fonctions, OnceTheRunningCodeIsSetNoFieldIsReadAndAnOptionalValueIsAbsent) {
    Banc banc;
    banc.decrire(3002, {{kAlpha, kCode}});
    Essai& f = banc.fonctions({{3002, {"AB"}}});
    uint16_t cr = 1;
    Optionnel<Code> code("ZZ");
    f.lireChamp(cr, code);
    EXPECT_FALSE(code);
    EXPECT_EQ(cr, 1);
    cr = 0;
    f.lireChamp(cr, code);
    ASSERT_EQ(cr, 0);
    EXPECT_STREQ(code->chaine(), "AB");
}

// The bundled descriptions refuse an empty date by its format; a description that lets
// one through still meets the reader's own refusal, at the field's rank in the zone.
TEST(Fonctions, AnEmptyDateOfBirthIsRefusedAtItsRankInTheZone) {
    Banc banc;
    banc.decrire(1100, {{kAlpha, kCode}, {kLibre, kDate}, {kLibre, kDate}});
    Essai& f = banc.fonctions({{1100, {"A", "19800512", ""}}});
    uint16_t cr = 0;
    Code premier;
    f.lireChamp(cr, premier);
    auto naissance = f.lireDateNaissance(cr);
    ASSERT_EQ(cr, 0);
    EXPECT_EQ(naissance->annee(), 1980);
    auto vide = f.lireDateNaissance(cr);
    EXPECT_EQ(cr, 0x9003);
    EXPECT_FALSE(vide);
}

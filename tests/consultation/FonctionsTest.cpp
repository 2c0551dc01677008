// The base operations every handler reads its input with: lists with holes or
// repeats, mandatory dates, dependent groups whose prestation number differs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "consultation/Fonctions.h"
#include "frame/Systeme.h"
#include "zone/Groupe.h"
#include "zone/ListeCodes.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"

namespace {

constexpr uint32_t kAlpha = 0, kNumerique = 1, kFormatDate = 2;
constexpr uint32_t kCode = 0, kTexte = 1, kDate = 3, kNombre = 4;

class Essai : public Fonctions {
public:
    using Fonctions::Fonctions;
    using Fonctions::groupeSuivant;
    using Fonctions::lireChamp;
    using Fonctions::lireCodeOuZero;
    using Fonctions::lireConcatenation;
    using Fonctions::lireDateNaissance;
    using Fonctions::lireListeCaracteres;
    using Fonctions::lireModificateurs;
    using Fonctions::lireNumerosDents;
    using Fonctions::verifierFinZone;
    using Fonctions::verifierNumeroPrestation;
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
    Essai& fonctions(const std::vector<std::pair<uint16_t, std::vector<std::string>>>& entree) {
        racine.reset(new SuperGroupe(1, "Essai", static_cast<uint16_t>(groupes.size())));
        for (auto& g : groupes) EXPECT_EQ(racine->ajouterFils(*g, 0, 1), 0);
        uint32_t taille = 0;
        for (auto& [numero, champs] : entree) {
            uint32_t contenu = 0;
            for (auto& c : champs) contenu += ZoneKPX::tailleChamp(static_cast<uint32_t>(c.size()));
            taille += ZoneKPX::tailleGroupeContenu(contenu);
        }
        ZoneKPX ecrite(taille);
        for (auto& [numero, champs] : entree) {
            ecrite.ajouterGroupe(numero);
            for (auto& c : champs) ecrite.ajouterChamp(reinterpret_cast<const uint8_t*>(c.data()), static_cast<uint32_t>(c.size()));
        }
        octets.assign(ecrite.buffer, ecrite.buffer + ecrite.tailleDonnees);
        Systeme::liberer(ecrite.buffer);  // a zone never frees its buffer
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

TEST(Fonctions, SingleFieldReaders) {
    Banc banc;
    banc.decrire(3001, {{kAlpha, kCode}, {kAlpha, kCode}, {kAlpha, kTexte}, {kAlpha, kTexte}, {kAlpha, kTexte},
                        {kNumerique, kNombre}});
    Essai& f = banc.fonctions({{3001, {"", "7", "AB", "CD", "XYZ", "007"}}});
    uint16_t cr = 0;
    auto phaseVide = f.lireCodeOuZero(cr);
    auto phase = f.lireCodeOuZero(cr);
    auto concatenation = f.lireConcatenation(cr);
    TypeListe<Code> caracteres;
    f.lireListeCaracteres(cr, caracteres);
    auto nombre = f.lireChamp<Nombre>(cr);
    f.verifierFinZone(cr);
    ASSERT_EQ(cr, 0);
    EXPECT_STREQ(phaseVide->chaine(), "0");
    EXPECT_STREQ(phase->chaine(), "7");
    EXPECT_STREQ(concatenation->chaine(), "ABCD");
    EXPECT_EQ(texte(caracteres), "X,Y,Z");
    EXPECT_EQ(nombre->valeur(), 7);
    // A field described as a number, asked for as a code, keeps its bytes.
    Banc autre;
    autre.decrire(3004, {{kNumerique, kNombre}});
    Essai& g = autre.fonctions({{3004, {"42"}}});
    auto code = g.lireChamp<Code>(cr);
    ASSERT_EQ(cr, 0);
    EXPECT_STREQ(code->chaine(), "42");
}

TEST(Fonctions, EachReaderGetsItsTypeWhateverTheDescribedType) {
    Banc banc;
    banc.decrire(3002, {{kAlpha, kCode}, {kNumerique, kNombre}, {kAlpha, kCode}, {kNumerique, kNombre},
                        {kAlpha, kTexte}, {kAlpha, kCode}});
    Essai& f = banc.fonctions({{3002, {"AB ", "007", "12", "0042", "CD", "EF"}}});
    uint16_t cr = 0;
    Optionnel<Code> code("ZZ"), nombreEnCode, tropTard("ZZ");
    Texte codeEnTexte;
    Nombre nombre;
    Code texteEnCode;
    f.lireChamp(cr, code);          // a code, reduced
    f.lireChamp(cr, nombreEnCode);  // a number, through its byte form
    EXPECT_TRUE(f.lireChamp(cr, codeEnTexte));
    EXPECT_TRUE(f.lireChamp(cr, nombre));
    EXPECT_TRUE(f.lireChamp(cr, texteEnCode));
    ASSERT_EQ(cr, 0);
    EXPECT_STREQ(code->chaine(), "AB");
    EXPECT_STREQ(nombreEnCode->chaine(), "7");
    EXPECT_STREQ(codeEnTexte.chaine(), "12");
    EXPECT_EQ(nombre.valeur(), 42);
    EXPECT_STREQ(texteEnCode.chaine(), "CD");
    // Once the running code is set, no field is read and an optional value is absent.
    cr = 1;
    f.lireChamp(cr, tropTard);
    EXPECT_FALSE(tropTard);
    EXPECT_EQ(cr, 1);
}

TEST(Fonctions, DateOfBirthAndDependentGroupsOfALine) {
    Banc banc;
    banc.decrire(1100, {{kFormatDate, kDate}});
    banc.decrire(1610, {{kNumerique, kNombre}});
    banc.decrire(1820, {{kNumerique, kNombre}, {kAlpha, kCode}});
    Essai& f = banc.fonctions({{1100, {"19800512"}}, {1610, {"3"}}, {1820, {"4", "C"}}});
    uint16_t cr = 0;
    auto naissance = f.lireDateNaissance(cr);
    ASSERT_EQ(cr, 0);
    EXPECT_EQ(naissance->annee(), 1980);
    EXPECT_EQ(f.groupeSuivant(cr), 1610);
    auto numero = f.lireChamp<Nombre>(cr);
    f.verifierNumeroPrestation(cr, 2, numero->valeur());
    EXPECT_EQ(cr, 0xE002);  // line 2: the group says 4, the line 3
}

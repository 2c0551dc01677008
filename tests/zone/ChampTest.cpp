// Field descriptions: the check of the bytes as sent, the reduction, the typed
// value built, the letters of the description tables, and the capacity of groups
// and super-groups.
#include "zone/Champ.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "KPXW32.h"
#include "support/TraceCapturee.h"
#include "zone/Booleen.h"
#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/Date.h"
#include "zone/Groupe.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"
#include "zone/SuperGroupe.h"
#include "zone/Texte.h"
#include "zone/ValeurChamp.h"

namespace {

const uint8_t* octets(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
uint32_t taille(const std::string& s) { return static_cast<uint32_t>(s.size()); }

ListeCodes valeurs(std::initializer_list<const char*> liste) {
    ListeCodes l;
    for (const char* v : liste) l.ajouter(Code(v));
    return l;
}

Champ champ(uint32_t format, uint32_t type, uint16_t minimum = 0, uint16_t maximum = 0, ListeCodes autorisees = ListeCodes()) {
    return Champ(format, type, minimum, maximum, autorisees);
}

std::string reduit(const Champ& c, const std::string& texte) {
    const uint8_t* p = octets(texte);
    uint32_t n = taille(texte);
    c.reduire(p, n);
    return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

TEST(Champ, ControlChecksSizesCharactersDatesAndAllowedValuesOnTheBytesAsSent) {
    struct Cas {
        Champ description;
        std::string donnees;
        uint16_t attendu;
    };
    const std::vector<Cas> cas = {
        {champ(FORMAT_LIBRE, TYPE_TEXTE, 2, 4), "ab", 0},
        {champ(FORMAT_LIBRE, TYPE_TEXTE, 2, 4), "a", KPX_CR_CHAMP_BASE},
        {champ(FORMAT_LIBRE, TYPE_TEXTE, 2, 4), "abcd", 0},
        {champ(FORMAT_LIBRE, TYPE_TEXTE, 2, 4), "abcde", KPX_CR_CHAMP_BASE},
        {champ(FORMAT_LIBRE, TYPE_TEXTE), "", 0},
        {champ(FORMAT_LIBRE, TYPE_TEXTE, 1), "", KPX_CR_CHAMP_BASE},
        // Alphanumeric: blanks, digits and capitals only.
        {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE), "A B9 ", 0},
        {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE), "Ab", KPX_CR_CHAMP_BASE},
        {champ(FORMAT_NUMERIQUE, TYPE_NOMBRE), "0070", 0},
        // Dates: the day itself is checked (a refused one is among the error lines below).
        {champ(FORMAT_DATE, TYPE_DATE), "202402290000", 0},
        // Formats E and I have no character rule: the allowed values decide.
        {champ(FORMAT_VALEURS, TYPE_BOOLEEN, 1, 1, valeurs({"O", "N"})), "O", 0},
        {champ(FORMAT_LIBRE, TYPE_TEXTE), "é;\x01", 0},
        // Allowed values are matched exactly, before any reduction.
        {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 0, 0, valeurs({"AB", "CD"})), "CD", 0},
        {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 0, 0, valeurs({"AB", "CD"})), "AB ", KPX_CR_CHAMP_BASE},
        // A format the description tables cannot give is a fault of the description.
        {champ(9, TYPE_TEXTE), "x", KPX_CR_NON_PREVU},
    };
    for (size_t i = 0; i < cas.size(); ++i)
        EXPECT_EQ(cas[i].description.controler(octets(cas[i].donnees), taille(cas[i].donnees)), cas[i].attendu)
            << "cas " << i << " [" << cas[i].donnees << "]";

    // Every byte against the two character formats: the ranges end where they should.
    for (int c = 0; c < 256; ++c) {
        const std::string un(1, static_cast<char>(c));
        const bool chiffre = c >= '0' && c <= '9';
        const bool alphanumerique = chiffre || (c >= 'A' && c <= 'Z') || c == ' ';
        EXPECT_EQ(champ(FORMAT_NUMERIQUE, TYPE_NOMBRE).controler(octets(un), 1), chiffre ? 0 : KPX_CR_CHAMP_BASE)
            << c;
        EXPECT_EQ(champ(FORMAT_ALPHANUMERIQUE, TYPE_TEXTE).controler(octets(un), 1),
                  alphanumerique ? 0 : KPX_CR_CHAMP_BASE)
            << c;
    }
}

TEST(Champ, ReductionDropsTrailingBlanksOrLeadingZerosByFormat) {
    EXPECT_EQ(reduit(champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE), "AB  "), "AB");
    EXPECT_EQ(reduit(champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE), "   "), "");
    EXPECT_EQ(reduit(champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE), " A B "), " A B");
    EXPECT_EQ(reduit(champ(FORMAT_VALEURS, TYPE_CODE), "O  "), "O");
    EXPECT_EQ(reduit(champ(FORMAT_NUMERIQUE, TYPE_NOMBRE), "007"), "7");
    EXPECT_EQ(reduit(champ(FORMAT_NUMERIQUE, TYPE_NOMBRE), "000"), "0");
    EXPECT_EQ(reduit(champ(FORMAT_NUMERIQUE, TYPE_NOMBRE), "1200"), "1200");
    EXPECT_EQ(reduit(champ(FORMAT_DATE, TYPE_DATE), "020240101"), "020240101");
    EXPECT_EQ(reduit(champ(FORMAT_LIBRE, TYPE_TEXTE), " 0 x  "), " 0 x  ");
}

// An empty field the description accepts is taken without the steps: every description that
// says so must pass them, with the field left empty; formats, types, minimums and allowed values.
TEST(Champ, AnEmptyFieldTakenWithoutTheStepsPassesThem) {
    const ListeCodes aucune, uneValeur = valeurs({"A"}), avecVide = valeurs({""});
    int acceptes = 0;
    for (uint32_t format = 0; format <= FORMAT_LIBRE + 1; ++format)
        for (uint32_t type = 0; type <= TYPE_AUCUN + 1; ++type)
            for (uint16_t minimum : {0, 1})
                for (const ListeCodes* liste : {&aucune, &uneValeur, &avecVide}) {
                    const Champ c = champ(format, type, minimum, 0, *liste);
                    if (!c.accepteVide()) continue;
                    ++acceptes;
                    const std::string vide;
                    const uint8_t* p = octets(vide);
                    uint32_t n = 0;
                    EXPECT_EQ(c.preparer(p, n), 0) << format << " " << type << " " << minimum;
                    EXPECT_EQ(n, 0u);
                }
    // Formats A, N, E and I, the seven types other than yes/no, with no minimum and no list.
    EXPECT_EQ(acceptes, 4 * 7);
}

TEST(Champ, TransformBuildsTheValueOfItsTypeInPlaceOrRefusesIt) {
    struct Cas {
        Champ description;
        std::string donnees;
        uint16_t attendu;
        const std::type_info* classe;  // of the value held after the call; null: none
        std::string forme;             // its byte form
    };
    // Each value starts holding the number 99: a refused check leaves it, any other failure empties it.
    const std::vector<Cas> cas = {
        {champ(FORMAT_NUMERIQUE, TYPE_NOMBRE), "007", 0, &typeid(Nombre), "7"},
        {champ(FORMAT_NUMERIQUE, TYPE_NOMBRE), "7A", KPX_CR_CHAMP_BASE, &typeid(Nombre), "99"},
        // Two capitals and two blanks give the code of the two letters; a blank inside is no code.
        {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 4), "AB  ", 0, &typeid(Code), "AB"},
        {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE), "A B", KPX_CR_CHAMP_BASE, nullptr, ""},
        // Format I lets anything through, but a code keeps to digits and capitals.
        {champ(FORMAT_LIBRE, TYPE_CODE), "ab", KPX_CR_CHAMP_BASE, nullptr, ""},
        // An empty code is a code.
        {champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE), "  ", 0, &typeid(Code), ""},
        // Yes/no: one byte, O or N; trailing blanks go before the test under format E.
        {champ(FORMAT_LIBRE, TYPE_BOOLEEN), "O", 0, &typeid(Booleen), "O"},
        {champ(FORMAT_VALEURS, TYPE_BOOLEEN), "N ", 0, &typeid(Booleen), "N"},
        {champ(FORMAT_LIBRE, TYPE_BOOLEEN), "ON", KPX_CR_CHAMP_BASE, nullptr, ""},
        {champ(FORMAT_LIBRE, TYPE_BOOLEEN), "X", KPX_CR_CHAMP_BASE, nullptr, ""},
        // Amounts and coefficients with their implied decimals.
        {champ(FORMAT_NUMERIQUE, TYPE_MONTANT), "1250", 0, &typeid(Montant), "1250"},
        {champ(FORMAT_NUMERIQUE, TYPE_COEFFICIENT_TAUX), "150", 0, &typeid(Coefficient), "1500"},
        {champ(FORMAT_NUMERIQUE, TYPE_COEFFICIENT), "1500", 0, &typeid(Coefficient), "1500"},
        // Dates, and texts, which keep their blanks.
        {champ(FORMAT_DATE, TYPE_DATE), "202403050000", 0, &typeid(Date), "202403050000"},
        {champ(FORMAT_LIBRE, TYPE_TEXTE), " a b ", 0, &typeid(Texte), " a b "},
        // No type, or one the tables cannot give: nothing is built.
        {champ(FORMAT_LIBRE, TYPE_AUCUN), "x", KPX_CR_NON_PREVU, nullptr, ""},
        {champ(FORMAT_LIBRE, 42), "x", KPX_CR_NON_PREVU, nullptr, ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.donnees);
        ValeurChamp v;
        v.construire<Nombre>(99);
        EXPECT_EQ(c.description.transformer(octets(c.donnees), taille(c.donnees), v), c.attendu);
        const TypeSimple* lue = v.valeur();
        ASSERT_EQ(lue != nullptr, c.classe != nullptr);
        if (lue == nullptr) continue;
        EXPECT_EQ(typeid(*lue), *c.classe);
        FormeOctets forme;
        lue->formeOctets(forme);
        const char* debut = reinterpret_cast<const char*>(forme.donnees);
        EXPECT_EQ(debut != nullptr ? std::string(debut, forme.longueur) : "", c.forme);
    }

    // A code asked for as a text is handed out as the code it is. The value is built from
    // the field's bytes when first asked for: they outlive the asking, as a zone does.
    const std::string champAB = "AB";
    ValeurChamp code;
    ASSERT_EQ(champ(FORMAT_ALPHANUMERIQUE, TYPE_CODE).transformer(octets(champAB), 2, code), 0);
    EXPECT_EQ(code.comme<Nombre>(), nullptr);
    ASSERT_NE(code.comme<Texte>(), nullptr);
    std::unique_ptr<Texte> texte = code.extraire<Texte>();
    ASSERT_NE(texte, nullptr);
    EXPECT_EQ(typeid(*texte), typeid(Code));
    EXPECT_STREQ(texte->chaine(), "AB");
}

TEST(Champ, LettersOfTheDescriptionTables) {
    const std::vector<std::pair<char, uint32_t>> formats = {
        {'A', FORMAT_ALPHANUMERIQUE}, {'N', FORMAT_NUMERIQUE}, {'D', FORMAT_DATE}, {'E', FORMAT_VALEURS},
        {'I', FORMAT_LIBRE}};
    for (auto& f : formats) {
        uint32_t code = 99;
        EXPECT_TRUE(Champ::formatDeLettre(f.first, code)) << f.first;
        EXPECT_EQ(code, f.second) << f.first;
    }
    const std::string types = "CTBDNMFXA";
    for (uint32_t i = 0; i < types.size(); ++i) {
        uint32_t code = 99;
        EXPECT_TRUE(Champ::typeDeLettre(types[i], code)) << types[i];
        EXPECT_EQ(code, i) << types[i];
    }
    uint32_t code = 99;
    for (char refuse : {'a', 'Z', ' ', '\0', 'c'}) {
        EXPECT_FALSE(Champ::formatDeLettre(refuse, code)) << refuse;
        EXPECT_FALSE(Champ::typeDeLettre(refuse, code)) << refuse;
    }
    // The free format shows as '*' in trace lines.
    EXPECT_EQ(std::string({Champ::lettreFormat(0), Champ::lettreFormat(1), Champ::lettreFormat(2),
                           Champ::lettreFormat(3), Champ::lettreFormat(4)}),
              "ANDE*");
}

TEST(Champ, ErrorLinesQuoteTheFieldWithinItsLength) {
    TraceCapturee trace("champ-erreurs");
    // The field sits inside a longer buffer, without terminator.
    const std::string tampon = "20230229XYZ";
    EXPECT_EQ(champ(FORMAT_DATE, TYPE_DATE).controler(octets(tampon), 8), KPX_CR_CHAMP_BASE);
    EXPECT_EQ(champ(FORMAT_NUMERIQUE, TYPE_NOMBRE).controler(octets("12a4"), 4), KPX_CR_CHAMP_BASE);
    EXPECT_EQ(champ(FORMAT_LIBRE, TYPE_TEXTE, 3).controler(octets("ab"), 2), KPX_CR_CHAMP_BASE);
    EXPECT_EQ(champ(FORMAT_LIBRE, TYPE_TEXTE, 0, 1).controler(octets("ab"), 2), KPX_CR_CHAMP_BASE);
    EXPECT_EQ(champ(FORMAT_VALEURS, TYPE_CODE, 0, 0, valeurs({"O", "N"})).controler(octets("oui"), 3),
              KPX_CR_CHAMP_BASE);
    ValeurChamp v;
    EXPECT_EQ(champ(FORMAT_LIBRE, TYPE_BOOLEEN).transformer(octets("ON"), 2, v), KPX_CR_CHAMP_BASE);
    std::vector<std::string> erreurs;
    for (const auto& l : trace.lignes())
        if (l.niveau == 5) {
            EXPECT_EQ(l.categorie, 6) << l.texte;
            erreurs.push_back(l.texte);
        }
    EXPECT_EQ(erreurs, (std::vector<std::string>{
                           "ERREUR: date (20230229) invalide.",
                           "ERREUR: caractere (a) interdit dans le format numerique.",
                           "ERREUR: taille des donnees (2) inferieure au minimum (3).",
                           "Champ::controler: ERREUR: taille des donnees (2) superieure au maximum (1).",
                           "ERREUR: le champ [oui] ne fait pas partie des valeurs autorisées.",
                           "ERREUR: le champ [ON] n'est pas un booléen valide.",
                       }));
}

TEST(Champ, GroupsAndSuperGroupsRefuseMoreThanTheirRowAnnounced) {
    Groupe groupe(3001, 2);
    EXPECT_EQ(groupe.ajouterChamp(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 13, valeurs({"X"})), 0);
    EXPECT_EQ(groupe.ajouterChamp(FORMAT_NUMERIQUE, TYPE_NOMBRE, 0, 0, ListeCodes()), 0);
    EXPECT_EQ(groupe.ajouterChamp(FORMAT_NUMERIQUE, TYPE_NOMBRE, 0, 0, ListeCodes()), KPX_CR_NON_PREVU);
    ASSERT_EQ(groupe.nombreChamps(), 2);
    // The allowed values are the group's own copy.
    EXPECT_EQ(groupe.champ(0).valeursAutorisees.nombre(), 1);
    EXPECT_STREQ(groupe.champ(0).valeursAutorisees.element(0).chaine(), "X");
    EXPECT_EQ(groupe.champ(1).format, FORMAT_NUMERIQUE);

    Groupe vide(3002, 0);
    EXPECT_EQ(vide.ajouterChamp(FORMAT_LIBRE, TYPE_TEXTE, 0, 0, ListeCodes()), KPX_CR_NON_PREVU);

    SuperGroupe racine(7, "F", 2);
    EXPECT_EQ(racine.ajouterFils(groupe, 1, 1), 0);
    EXPECT_EQ(racine.ajouterFils(std::unique_ptr<SuperGroupe>(new SuperGroupe(8, "S", 0)), 0, 0), 0);
    EXPECT_EQ(racine.ajouterFils(vide, 0, 1), KPX_CR_NON_PREVU);
    ASSERT_EQ(racine.nombreFils(), 2);
    EXPECT_EQ(racine.fils(0).groupe, &groupe);
    EXPECT_EQ(racine.fils(0).premierNumeroGroupe(), 3001);
    // A super-group without children opens with no group number at all.
    EXPECT_EQ(racine.fils(1).premierNumeroGroupe(), 0);
}

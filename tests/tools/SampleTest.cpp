// The bundled sample référentiel: it is its own canonical source, and holds what the
// rules and the worked tariff cases read (every test over it loads it, and the search
// and consultation tests load its deferred tables with their checks).
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "kpxbuild/Compilateur.h"
#include "kpxbuild/ContenuReferentiel.h"
#include "referentiel/NiveauActivite.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"

namespace fs = std::filesystem;

namespace {

const std::string kSource = std::string(KPX_SOURCE_DIR) + "/data/sample";

std::string joindre(const std::vector<std::string>& erreurs) {
    std::string texte;
    for (const auto& e : erreurs) texte += e + "\n";
    return texte;
}

std::string sansBlancs(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

// The sample as the tests compile it, read back.
struct Echantillon {
    std::string repertoire;
    ContenuReferentiel contenu;
    bool ok = false;
    std::string erreur;
    Echantillon() {
        repertoire = repertoireEchantillon(&erreur);
        ok = !repertoire.empty() && lireFichiers(repertoire, contenu, erreur);
    }
    std::string fichier(const std::string& nom) const { return repertoire + "/" + nom; }
    const NiveauActe* acte(const std::string& code) const {
        for (const auto& a : contenu.actes)
            if (sansBlancs(a->codeStructure) == code) return a.get();
        return nullptr;
    }
};

Echantillon& echantillon() {
    static Echantillon e;
    return e;
}

}  // namespace

TEST(Sample, IsItsOwnCanonicalSource) {
    Echantillon& e = echantillon();
    ASSERT_TRUE(e.ok) << e.erreur;
    RepertoireTemporaire racine("sample-canonique");
    std::vector<std::string> erreurs;
    ASSERT_TRUE(decompiler(e.repertoire, racine.chemin() + "/source", erreurs)) << joindre(erreurs);
    std::set<std::string> fichiers;
    for (const auto& f : fs::recursive_directory_iterator(kSource))
        if (f.is_regular_file()) fichiers.insert(fs::relative(f.path(), kSource).string());
    for (const auto& f : fs::recursive_directory_iterator(racine.chemin() + "/source"))
        if (f.is_regular_file()) fichiers.insert(fs::relative(f.path(), racine.chemin() + "/source").string());
    for (const std::string& f : fichiers)
        EXPECT_EQ(lireTexte(fs::path(kSource) / f), lireTexte(fs::path(racine.chemin()) / "source" / f))
            << f << " is not in canonical form: decompile the compiled sample over data/sample";
    ASSERT_TRUE(compiler(racine.chemin() + "/source", racine.chemin() + "/recompile", erreurs)) << joindre(erreurs);
    EXPECT_EQ(lireOctets(e.fichier("table_v2.kpx")), lireOctets(racine.chemin() + "/recompile/table_v2.kpx"));
}

namespace {

// The sample loaded as the library loads it, with a reader place on it.
class SampleLu : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(echantillon().ok) << echantillon().erreur;
        const std::string& rep = echantillon().repertoire;
        ASSERT_EQ(referentiel.chargerReferentiel(rep.c_str(), rep.c_str(), "0302", "1000"), 0);
        ASSERT_EQ(lecture.ouvrir(), 0);
    }
    Referentiel referentiel;
    LectureDonnees lecture{&referentiel};
};

// The printf conversions of a message format, "d" and "s" in order; anything else is "?".
std::string conversions(const std::string& format) {
    std::string trouvees;
    for (size_t i = format.find('%'); i != std::string::npos; i = format.find('%', i + 2))
        trouvees += (i + 1 < format.size() && (format[i + 1] == 'd' || format[i + 1] == 's')) ? format[i + 1] : '?';
    return trouvees;
}

// The value is read after the query that fills it: arguments are taken by reference.
std::string texte(uint16_t cr, double valeur) {
    char t[32];
    if (cr != 0) std::snprintf(t, sizeof t, "#%04X", cr);
    else std::snprintf(t, sizeof t, "%.2f", valeur);
    return t;
}
std::string texte(uint16_t cr, const Flottant& valeur) { return texte(cr, valeur.valeur()); }
std::string texte(uint16_t cr, const Nombre& valeur) { return texte(cr, valeur.valeur()); }

Date d(uint16_t annee, uint8_t mois, uint8_t jour) { return Date(annee, mois, jour); }

}  // namespace

// Every identifier the control sequences run, and every one a rule reports, with the
// values its message receives: a missing row ends a complete control, a conversion that
// does not match its value is undefined behaviour in the formatting.
TEST_F(SampleLu, EveryRuleHasItsInformationItsReferenceAndAMessageForItsValues) {
    const std::vector<std::pair<const char*, const char*>> regles = {
        {"PROD136A", "s"}, {"PROD136B", "s"}, {"PROD137", "s"},   {"PROD170", "s"},    {"PROD190", "s"},
        {"PROD211", "s"},  {"PROD220", "s"},  {"PROD240", "ddss"}, {"PROD500", "s"},    {"PROD510", "s"},
        {"PROD511A", "ss"}, {"PROD530", "s"}, {"PROD540", "s"},   {"PROD550", "s"},    {"PROD555", "s"},
        {"PROD580", "s"},  {"PROD580A", ""},  {"PROD590", ""},    {"PROD590A", "ddss"}, {"PROD590B", "ddss"},
        {"PROD600", "dd"}, {"PROD640", ""},   {"PROD648", "s"},   {"PROD649", "dds"},  {"PROD650", "ss"},
        {"PROD653", "s"},  {"PROD655", ""},   {"PROD656A", ""},   {"PROD656B", ""},    {"PROD670", "s"},
        {"PROD690A", "ss"}, {"PROD695", ""},  {"PROD696", ""},    {"PROD700", "s"},    {"PROD702", "s"},
        {"PROD710", "s"},  {"PROD720", "sss"}, {"PROD730", "s"},  {"PROD740", ""},     {"PROD760", "s"},
        {"PROD763A", ""},  {"PROD765", "s"},  {"PROD780", "s"},   {"PROD785", "s"},    {"PROD786", "s"},
        {"PROD787", "s"},  {"PROD788", "s"},  {"PROD789", "s"},   {"PROD790A", ""},    {"PROD790B", ""},
        {"PROD790C", ""},  {"PROD791A", "s"}, {"PROD791B", "s"},  {"PROD791C", "s"},   {"PROD792", "s"},
        {"PROD792B", "s"}, {"PROD793", "s"},  {"PROD795A", "s"},  {"PROD798", "s"},    {"PROD798A", "ss"},
        {"PROD840", ""},   {"PROD850", "s"},  {"PROD860", ""},    {"PROD870", ""},     {"PROD880", "s"},
        {"PROD880A", "s"}, {"PROD890", "s"},  {"PROD895A", "ss"}, {"PROD930", "s"},
    };
    std::set<std::string> references;
    for (const auto& regle : regles) {
        const InformationRegle* information = nullptr;
        ASSERT_EQ(lecture.rechercherInformationsRegles(regle.first, information), 0) << regle.first;
        EXPECT_EQ(conversions(information->libelleSecondaire), regle.second) << regle.first;
        EXPECT_FALSE(information->libellePrincipal.empty()) << regle.first;
        ASSERT_TRUE(information->typeRegle == 'O' || information->typeRegle == 'N') << regle.first;
        Nombre priorite;
        if (information->typeRegle == 'O') {
            EXPECT_EQ(lecture.rechercherPrioriteIndicateurForcage(Code(information->indicateurForcage), priorite), 0)
                << regle.first;
        }
        Code reference;
        ASSERT_EQ(lecture.rechercherReferenceCdC(regle.first, reference), 0) << regle.first;
        EXPECT_EQ(sansBlancs(information->referenceRegleCdC), reference.chaine()) << regle.first;
        references.insert(reference.chaine());
    }
    // What a violation makes unverifiable is named as the verifiability test names rules.
    size_t listes = 0;
    for (const auto& regle : regles) {
        TypeListe<Code> nonVerifiables;
        const uint16_t cr = lecture.rechercherReglesNonVerifiables(regle.first, nonVerifiables);
        if (cr == KPX_CR_ELEMENT_ABSENT) continue;
        ASSERT_EQ(cr, 0) << regle.first;
        ++listes;
        for (uint16_t i = 0; i < nonVerifiables.nombre(); ++i)
            EXPECT_TRUE(references.count(nonVerifiables.element(i).chaine()))
                << regle.first << " makes " << nonVerifiables.element(i).chaine() << " unverifiable";
    }
    EXPECT_GE(listes, 10u);
}

// The values behind the sample's overseas and threshold cases. Those behind the worked tariff
// cases (prices, modifier rates and lump sums, the association rule, the non-contracted lump
// sum) are the exact bases the exported complete control accepts, a cent off refused.
TEST_F(SampleLu, HoldsTheValuesOfTheOverseasAndThresholdCases) {
    LectureDonnees& l = lecture;
    const Date en2024 = d(2024, 1, 1);
    auto prix = [&](const char* acte, int grille) {
        Montant m;
        return texte(l.rechercherPrixUnitaire(acte, "1", "0", Nombre(grille), en2024, m), m);
    };
    auto tarifants = [&](const Date& date) {
        Nombre n;
        return texte(l.rechercherNombreModificateursTarifants(date, n), n);
    };
    auto majoration = [&](const char* acte, int position) {
        Coefficient c;
        return texte(l.rechercherMajorationDOM(acte, "1", "0", Nombre(position), en2024, c), c);
    };
    auto seuil = [&](const Date& date, int position) {
        Montant m;
        return texte(l.rechercherSeuilExoTM(date, Nombre(position), m), m);
    };
    Montant supplement;
    Coefficient tauxNC;
    const struct {
        const char* quoi;
        std::string obtenu;
        const char* attendu;
    } cas[] = {
        {"modifiers changing the price in 2024", tarifants(en2024), "4.00"},
        {"non-contracted rate in 2019", texte(l.rechercherTauxNonConventionnes(d(2019, 12, 31), tauxNC), tauxNC),
         "0.20"},
        {"DZEA001 grid 1", prix("DZEA001", 1), "9500.00"},
        {"overseas 973", majoration("DZEA001", 3), "1.10"},
        {"overseas 974", majoration("DZEA001", 4), "1.08"},
        {"dental overseas", majoration("HBGD035", 1), "1.00"},
        {"threshold, Antilles", seuil(en2024, 2), "126.00"},
        {"threshold, Guyane", seuil(en2024, 4), "130.00"},
        {"threshold in 2010", seuil(d(2010, 6, 1), 1), "91.00"},
        {"supplement of QZFA036",
         texte(l.rechercherSupplementCharge("QZFA036", "1", "0", en2024, supplement), supplement), "4.00"},
    };
    for (const auto& c : cas) EXPECT_EQ(c.obtenu, c.attendu) << c.quoi;
}

// What a realistic invoice over the sample needs so that its control ends with violations
// rather than a query code: natures as invoices carry them, an age history for every
// modifier, an obligation row for plain prestation codes, and planned associations listed
// on both sides (the reduced act looks the highest-priced one up in its own list).
TEST_F(SampleLu, EveryRealisticInvoiceIsControlledToItsEnd) {
    const std::set<std::string> natures = {"AS", "MA", "AT", "PM", "SG"};
    for (const auto& a : echantillon().contenu.actes) {
        const std::string code = sansBlancs(a->codeStructure);
        for (const std::string& nature : a->naturesAssurance)
            EXPECT_TRUE(natures.count(nature)) << code << " " << nature;
        for (const auto& activite : a->activites()) {
            for (const AssociationActivite& association : activite->premierHistorique()->associations) {
                const NiveauActe* autre = echantillon().acte(sansBlancs(association.codeActe));
                NiveauActivite* sienne = nullptr;
                ASSERT_NE(autre, nullptr) << code << " -> " << association.codeActe;
                ASSERT_EQ(autre->chercherActivite(activite->codeActivite, sienne), 0)
                    << code << " -> " << association.codeActe;
                bool reciproque = false;
                for (const AssociationActivite& retour : sienne->premierHistorique()->associations)
                    reciproque = reciproque || retour.codeActe == a->codeStructure;
                EXPECT_TRUE(reciproque) << code << " -> " << association.codeActe;
            }
        }
    }
    Table& modificateurs = echantillon().contenu.table(Modificateur::kIdentifiant);
    for (uint32_t i = 0; i < modificateurs.nombreLignes(); ++i) {
        const Code code(modificateurs.ligneDe<Modificateur>(i)->codeModificateur);
        Periode age;
        for (const Date& date : {d(2000, 1, 1), d(2024, 1, 1)}) {
            EXPECT_EQ(lecture.rechercherAgeMinimumModificateur(code, date, age), 0) << code.chaine();
            EXPECT_EQ(lecture.rechercherAgeMaximumModificateur(code, date, age), 0) << code.chaine();
        }
    }
    Table& specialites = echantillon().contenu.table(Specialite::kIdentifiant);
    for (uint32_t i = 0; i < specialites.nombreLignes(); ++i) {
        const Code specialite(sansBlancs(specialites.ligneDe<Specialite>(i)->codeSpecialite).c_str());
        for (const char* prestation : {"C", "CS", "G"}) {
            Date obligation;
            EXPECT_EQ(lecture.rechercherDateObligationCodage(prestation, specialite, obligation), 0)
                << prestation << " " << specialite.chaine();
            EXPECT_FALSE(obligation.estRenseigne()) << prestation << " " << specialite.chaine();
        }
    }
}

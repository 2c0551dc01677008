// Act trees: write failures at every level, deep copies, a record spelled from the
// file layout read as such, and the refused records (whole acts round-trip through the
// sample's canonical-source test; versions and children are found by the act queries).
// Faults are put into a record spelled from the file layout, not by the writer under test.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "consultation/ReferentielDeRequetes.h"
#include "frame/Trace.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/LectureNiveau.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "support/FichierTemporaire.h"

namespace {

// The error lines of the detail trace while it lives.
class ErreursTracees {
public:
    ErreursTracees() {
        lignes().clear();
        TraceDetail::definirDestination([](uint16_t, uint16_t niveau, const char* ligne) {
            if (niveau == NIV_ERREUR) lignes().push_back(ligne);
        });
        TraceDetail::definirNiveau(CAT_CYCLE, NIV_ERREUR);
    }
    ~ErreursTracees() {
        TraceDetail::definirNiveau(CAT_CYCLE, 0);
        TraceDetail::definirDestination(nullptr);
    }
    static std::vector<std::string>& lignes() {
        static std::vector<std::string> tracees;
        return tracees;
    }
};

// The query fixture's act (two versions; activity 1 with phases 0 and 1, the first of two
// prices; activity 4), its activity 1 given a second version too: a chain at every level.
std::unique_ptr<NiveauActe> acteComplet() {
    std::unique_ptr<NiveauActe> acte = requetes::acteComplet();
    NiveauActivite& activite = *acte->activites()[0];
    std::unique_ptr<HistoriqueNiveauActivite> recente(new HistoriqueNiveauActivite);
    recente->dateEffet = Date(2010, 3, 1);
    recente->categorieMedicale = "05";
    recente->codeRegroupement = "ADC";
    recente->classesSpecialite = {"01"};
    recente->lienSuivant() = std::move(activite.teteHistoriques());
    activite.teteHistoriques() = std::move(recente);
    return acte;
}

// Every field of every level as the file holds it, so that two trees compare whole.
std::string ecrire(const NiveauActe& acte) {
    Referentiel r;
    FichierTemporaire fichier;
    Ecrivain ecrivain(r, fichier.get());
    EXPECT_EQ(acte.ecrireNiveauActe(ecrivain), 0);
    return fichier.octets();
}

uint16_t lire(const std::string& octets, NiveauActe& acte) {
    Referentiel r;
    FichierTemporaire fichier(octets);
    Lecteur lecteur(r, fichier.get());
    return acte.lireNiveauActe(lecteur);
}

// The smallest act record, one activity and one phase, with the offset of each field named.
struct Enregistrement {
    std::string octets;
    std::map<std::string, size_t> champs;
};

Enregistrement enregistrementMinimal() {
    Referentiel r;
    FichierTemporaire fichier;
    Ecrivain e(r, fichier.get());
    Enregistrement resultat;
    uint16_t cr = 0;
    auto ok = [&](uint16_t code) {
        if (cr == 0) cr = code;
    };
    // Names the field about to be written.
    auto a = [&](const char* nom) -> Ecrivain& {
        resultat.champs[nom] = e.octetsTable();
        return e;
    };
    ok(a("code").ecrireCaracteres("ABCD001      ", 13));
    ok(a("libelle court").ecrireChaine("Court"));
    ok(a("libelle long").ecrireChaine("Libelle long"));
    ok(a("type").ecrireOctet('A'));
    ok(a("conditions").ecrireChaine(""));
    ok(a("notes").ecrireChaine("Note"));
    ok(a("sexe").ecrireOctet('F'));
    ok(a("menu").ecrireEntier32(77));
    ok(a("date de creation").ecrireDate(Date(2005, 1, 1)));
    ok(a("date de fin").ecrireDate(Date()));
    ok(a("frais").ecrireOctet('N'));
    ok(a("natures").ecrireEntier16(1));
    ok(e.ecrireCaracteres("10", 2));
    ok(a("historiques acte").ecrireEntier16(1));
    ok(a("effet acte").ecrireDate(Date(2005, 1, 1)));
    ok(a("admission").ecrireOctet('1'));
    ok(a("entente").ecrireOctet('N'));
    ok(a("codes ETM").ecrireEntier16(1));
    ok(e.ecrireOctet('0'));
    ok(a("procedures").ecrireEntier16(0));
    ok(a("incompatibles").ecrireEntier16(0));
    ok(a("forfaits").ecrireEntier16(0));
    ok(a("activites").ecrireEntier16(1));
    ok(a("code activite").ecrireOctet('1'));
    ok(a("agrements").ecrireEntier16(0));
    ok(a("rmo").ecrireEntier16(0));
    ok(a("extensions").ecrireEntier16(0));
    ok(a("historiques activite").ecrireEntier16(1));
    ok(a("effet activite").ecrireDate(Date(2005, 1, 1)));
    ok(a("categorie").ecrireCaracteres("01", 2));
    ok(a("regroupement").ecrireCaracteres("ADC", 3));
    ok(a("modificateurs").ecrireEntier16(0));
    ok(a("classes").ecrireEntier16(1));
    ok(e.ecrireCaracteres("01", 2));
    ok(a("associations").ecrireEntier16(0));
    ok(a("phases").ecrireEntier16(1));
    ok(a("code phase").ecrireOctet('0'));
    ok(a("dents a traiter").ecrireCaracteres("  ", 2));
    ok(a("ages").ecrireEntier16(0));
    ok(e.ecrireEntier16(99));
    ok(a("dents incompatibles").ecrireEntier16(0));
    ok(a("historiques phase").ecrireEntier16(1));
    ok(a("effet phase").ecrireDate(Date(2005, 1, 1)));
    ok(a("prix").ecrireNombre(12.5));
    for (int i = 0; i < 5; ++i) ok(e.ecrireNombre(0));
    ok(a("grilles").ecrireEntier16(1));
    ok(e.ecrireEntier16(7));
    ok(a("prix de grille").ecrireNombre(30.0));
    EXPECT_EQ(cr, 0);
    resultat.octets = fichier.octets();
    return resultat;
}

}  // namespace

TEST(NiveauActe, WriteFailureIsReportedByEveryLevel) {
    std::unique_ptr<NiveauActe> acte = acteComplet();
    const NiveauActivite& activite = *acte->activites()[0];
    const NiveauPhase& phase = *activite.phases()[0];
    std::unique_ptr<FILE, int (*)(FILE*)> lectureSeule(std::fopen("/dev/null", "r"), &std::fclose);
    ASSERT_NE(lectureSeule, nullptr);
    Referentiel r;
    Ecrivain ecrivain(r, lectureSeule.get());
    const std::function<uint16_t()> ecritures[] = {
        [&] { return acte->ecrireNiveauActe(ecrivain); },
        [&] { return acte->premierHistorique()->ecrireHistorique(ecrivain); },
        [&] { return activite.ecrireNiveauActivite(ecrivain); },
        [&] { return activite.premierHistorique()->ecrireHistorique(ecrivain); },
        [&] { return phase.ecrireNiveauPhase(ecrivain); },
        [&] { return phase.premierHistorique()->ecrireHistorique(ecrivain); },
    };
    for (size_t i = 0; i < 6; ++i) {
        ErreursTracees erreurs;
        EXPECT_EQ(ecritures[i](), KPX_CR_ECRITURE) << i;
        EXPECT_EQ(ErreursTracees::lignes(),
                  std::vector<std::string>{"ERREUR : erreur d'ecriture des donnees dans le fichier"})
            << i;
    }
}

TEST(NiveauActe, CopyIsDeepAndOutlivesTheOriginal) {
    std::unique_ptr<NiveauActe> original = acteComplet();
    NiveauActe copie(*original);
    EXPECT_NE(copie.premierHistorique(), original->premierHistorique());
    EXPECT_NE(copie.premierHistorique()->suivant(), original->premierHistorique()->suivant());
    EXPECT_NE(copie.activites()[0].get(), original->activites()[0].get());
    EXPECT_NE(copie.activites()[0]->premierHistorique()->suivant(),
              original->activites()[0]->premierHistorique()->suivant());
    EXPECT_NE(copie.activites()[0]->phases()[0]->premierHistorique()->suivant(),
              original->activites()[0]->phases()[0]->premierHistorique()->suivant());
    copie.activites()[0]->phases()[0]->premierHistorique()->suivant()->prixUnitaireBase = 1.0;
    EXPECT_DOUBLE_EQ(original->activites()[0]->phases()[0]->premierHistorique()->suivant()->prixUnitaireBase, 40.0);
    copie.activites()[0]->phases()[0]->premierHistorique()->suivant()->prixUnitaireBase = 40.0;
    original.reset();
    EXPECT_EQ(ecrire(copie), ecrire(*acteComplet()));
}

TEST(NiveauActe, RecordLaidOutFieldByFieldIsReadAsSuch) {
    const Enregistrement e = enregistrementMinimal();
    NiveauActe acte;
    ASSERT_EQ(lire(e.octets, acte), 0);
    EXPECT_EQ(acte.codeStructure, "ABCD001      ");
    EXPECT_EQ(acte.libelleLong, "Libelle long");
    EXPECT_EQ(acte.conditionsGenerales, "");
    EXPECT_EQ(acte.notes, "Note");
    EXPECT_EQ(acte.codeMenu, 77u);
    EXPECT_EQ(acte.naturesAssurance, std::vector<std::string>{"10"});
    ASSERT_EQ(acte.activites().size(), 1u);
    const NiveauActivite& activite = *acte.activites()[0];
    EXPECT_EQ(activite.premierHistorique()->codeRegroupement, "ADC");
    ASSERT_EQ(activite.phases().size(), 1u);
    const NiveauPhase& phase = *activite.phases()[0];
    EXPECT_EQ(phase.ageMaximum, 99);
    EXPECT_DOUBLE_EQ(phase.premierHistorique()->prixUnitaireBase, 12.5);
    ASSERT_EQ(phase.premierHistorique()->grilles.size(), 1u);
    EXPECT_EQ(phase.premierHistorique()->grilles[0].codeGrille, 7);
    EXPECT_DOUBLE_EQ(phase.premierHistorique()->grilles[0].prixUnitaire, 30.0);
}

TEST(NiveauActe, FaultyRecordsAreRefusedAtTheFieldThatHoldsTheFault) {
    const Enregistrement e = enregistrementMinimal();
    const struct {
        const char* champ;
        size_t decalage;
        std::string remplacement;
        const char* message;  // null: the record is accepted
    } cas[] = {
        {"entente", 0, "X", "Code entente prealable incorrect"},
        {"libelle court", 0, std::string(1, '\0'), "libelle court non renseigne"},
        {"natures", 0, std::string(2, '\0'), "Nature d'assurance obligatoire"},
        {"historiques acte", 0, std::string(2, '\0'), "Le nombre d'historiques de niveau acte ne doit pas etre nul"},
        {"activites", 0, std::string(2, '\0'), "Le nombre d'activites ne doit pas etre nul"},
        {"classes", 0, std::string(2, '\0'), "Classe specialite executant obligatoire"},
        {"date de creation", 2, "\x0D", "date de creation incorrecte"},
        {"date de creation", 2, "\x02\x1E", "date de creation incorrecte"},  // 30 February
        {"date de creation", 0, std::string(4, '\0'), "date de creation incorrecte"},
        {"date de fin", 0, "\x07\xDA\x04\x1F", "date de fin du code incorrecte"},  // 31 April 2010
        {"type", 0, " ", "type d'acte incorrect"},
        {"sexe", 0, "f", "sexe compatible incorrect"},
        {"frais", 0, " ", "Code Frais de deplacement incorrect"},
        {"codes ETM", 0, std::string(2, '\0'), "Code Exo TM obligatoire"},
        {"effet acte", 3, "\x20", "date d'effet incorrecte"},
        {"code phase", 0, " ", "code phase incorrect"},
        {"dents a traiter", 0, "a ", "code nombre dents a traiter incorrect"},
        {"historiques phase", 0, std::string(2, '\0'), "Le nombre d'historiques de niveau phase ne doit pas etre nul"},
        {"sexe", 0, " ", nullptr},
        {"categorie", 0, "  ", nullptr},
        {"date de creation", 0, "\x07\xD4\x02\x1D", nullptr},  // 29 February 2004
        {"date de fin", 0, "\x07\xDA\x04\x1E", nullptr},
    };
    for (const auto& c : cas) {
        std::string octets = e.octets;
        const size_t offset = e.champs.at(c.champ);
        octets.replace(offset + c.decalage, c.remplacement.size(), c.remplacement);
        ErreursTracees erreurs;
        NiveauActe acte;
        const uint16_t cr = lire(octets, acte);
        if (c.message == nullptr) {
            EXPECT_EQ(cr, 0) << c.champ;
            continue;
        }
        EXPECT_EQ(cr, KPX_CR_LECTURE) << c.message;
        char attendu[256];
        std::snprintf(attendu, sizeof attendu, "ERREUR position 0x%08lX : %s", static_cast<unsigned long>(offset),
                      c.message);
        const std::vector<std::string>& lignes = ErreursTracees::lignes();
        ASSERT_FALSE(lignes.empty()) << c.message;
        EXPECT_EQ(lignes.front(), attendu);
        EXPECT_EQ(lignes.back(), "ERREUR : erreur de lecture des donnees dans le fichier");
    }
    // Cut anywhere, the record is refused.
    for (size_t longueur = 0; longueur < e.octets.size(); ++longueur) {
        NiveauActe acte;
        EXPECT_EQ(lire(e.octets.substr(0, longueur), acte), KPX_CR_LECTURE) << longueur;
    }
}

TEST(NiveauActe, ChildrenOutOfAscendingCodeOrderAreRefused) {
    // Activities 1 (phases 0 and 1) and 4, written in order; each case swaps or repeats a child record.
    std::unique_ptr<NiveauActe> acte = acteComplet();
    const NiveauActivite& premiere = *acte->activites()[0];
    auto octetsDe = [](const std::function<uint16_t(Ecrivain&)>& ecrire) {
        Referentiel r;
        FichierTemporaire fichier;
        Ecrivain ecrivain(r, fichier.get());
        EXPECT_EQ(ecrire(ecrivain), 0);
        return fichier.octets();
    };
    const std::string un = octetsDe([&](Ecrivain& e) { return premiere.ecrireNiveauActivite(e); });
    const std::string quatre = octetsDe([&](Ecrivain& e) { return acte->activites()[1]->ecrireNiveauActivite(e); });
    const std::string zero = octetsDe([&](Ecrivain& e) { return premiere.phases()[0]->ecrireNiveauPhase(e); });
    const std::string phaseUn = octetsDe([&](Ecrivain& e) { return premiere.phases()[1]->ecrireNiveauPhase(e); });
    const std::string octets = ecrire(*acte);
    const struct {
        const char* nom;
        std::string avant;
        std::string apres;
        const char* message;
    } cas[] = {
        {"activites inversees", un + quatre, quatre + un, "activites non triees par code activite croissant"},
        {"activite en double", un + quatre, un + un, "activites non triees par code activite croissant"},
        {"phases inversees", zero + phaseUn, phaseUn + zero, "phases non triees par code phase croissant"},
        {"phase en double", zero + phaseUn, zero + zero, "phases non triees par code phase croissant"},
    };
    for (const auto& c : cas) {
        const size_t place = octets.find(c.avant);
        ASSERT_NE(place, std::string::npos) << c.nom;
        std::string modifie = octets;
        modifie.replace(place, c.avant.size(), c.apres);
        ErreursTracees erreurs;
        NiveauActe relu;
        EXPECT_EQ(lire(modifie, relu), KPX_CR_LECTURE) << c.nom;
        ASSERT_FALSE(ErreursTracees::lignes().empty()) << c.nom;
        const std::string& premiereLigne = ErreursTracees::lignes().front();
        EXPECT_EQ(premiereLigne.substr(premiereLigne.find(" : ") + 3), c.message) << c.nom;
    }
}

TEST(LectureNiveau, AListCountReservesNoMoreThanTheRestOfTheFileCanHold) {
    Referentiel referentiel;
    FichierTemporaire fichier(std::string("\xFF\xFF" "abc", 5));
    Lecteur lecteur(referentiel, fichier.get());
    uint16_t cr = 0;
    LectureNiveau lecture(lecteur, cr);
    std::vector<std::string> codes;
    lecture.reserver(codes, lecture.compte(nullptr));  // 65535 announced, 3 bytes left
    EXPECT_EQ(cr, 0);
    EXPECT_LE(codes.capacity(), 3u);
}

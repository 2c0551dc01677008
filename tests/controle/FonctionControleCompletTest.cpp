// The complete control's reading of an invoice, its overrides and its answer, over
// the sample's interface description and tariff grids, with the control itself
// replaced by a stand-in that records the invoice and reports chosen violations.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "controle/FonctionControleComplet.h"
#include "facture/Facture.h"
#include "facture/LigneCCAM.h"
#include "frame/Trace.h"
#include "support/ZoneEntree.h"
#include "zone/DescriptionInterface.h"
#include "zone/ZoneSortie.h"

namespace {

GroupeEntree entete(const std::string& naissance = "19800101") {
    return {1100, {"12345678", "9", "", "", "1", "01", "", "", "R1", "", "", "", naissance}};
}
GroupeEntree nature(uint16_t groupe = 1511) { return {groupe, {""}}; }
GroupeEntree acte(const std::string& numero, const std::string& date = "20240101", const std::string& prestation = "C") {
    return {1610, {numero, date, "0", prestation, "", "", "", "", "", "", "4500", "4500", "70"}};
}
GroupeEntree deplacement(uint16_t groupe, const std::string& numero, const std::string& date = "20240101") {
    return {groupe, {numero, date, groupe == 1620 ? "ID" : "IK", "", "", "", "", "70", "", "", ""}};
}
GroupeEntree base(const std::string& numero) { return {2020, {numero, "4500"}}; }
GroupeEntree ccam(const std::string& numero, const std::string& code = "AHQP001") {
    return {2100, {numero, code, "", "1", "", "K", "J", "", "", "", "", "", "AB"}};
}
GroupeEntree contextes(const std::string& numero, const std::string& ps = "1") { return {3470, {numero, ps, "1"}}; }
GroupeEntree outrepasse(const std::string& numero, const std::string& regle) { return {3530, {numero, regle}}; }
GroupeEntree pied() { return {1900, {"001"}}; }

// Header, nature, then the lines, then the tail.
std::vector<GroupeEntree> facture(std::vector<GroupeEntree> lignes) {
    std::vector<GroupeEntree> groupes = {entete(), nature()};
    groupes.insert(groupes.end(), lignes.begin(), lignes.end());
    groupes.push_back(pied());
    return groupes;
}

struct Resultat {
    uint16_t cr = 0;
    uint16_t niveau = 0xFFFF;
    std::vector<uint8_t> sortie;
};

Resultat executer(const std::vector<GroupeEntree>& groupes, const FonctionControleComplet::Controle& controle) {
    auto& e = description::echantillon();
    Resultat r;
    EXPECT_EQ(e.cr, 0) << e.erreur;
    const SuperGroupe* racine = nullptr;
    e.interface.lireSuperGroupeControleComplet(racine);
    const std::vector<uint8_t> octets = zone(groupes);
    ZoneKPX entree(octets.data(), static_cast<uint32_t>(octets.size()));
    LectureDonnees lecture(&e.referentiel);
    EXPECT_EQ(lecture.ouvrir(), 0);
    FonctionControleComplet fonction(&entree, racine, lecture, controle);
    ZoneSortie sortie;
    r.cr = fonction.executer(sortie, r.niveau);
    if (sortie) r.sortie.assign(sortie->buffer, sortie->buffer + sortie->tailleDonnees);
    return r;
}

// Decoded and controlled with nothing found.
uint16_t lire(const std::vector<GroupeEntree>& groupes) {
    return executer(groupes, [](Facture&, TypeListe<Erreur>&) { return uint16_t{0}; }).cr;
}

Erreur erreur(const char* regle, const char* outrePassable, std::vector<int32_t> lignes,
              const Texte& libelle = Texte()) {
    Erreur e;
    e.definirRegle(std::make_shared<const RegleErreur>(
        RegleErreur{regle, outrePassable, Code(),
                    libelle.longueur() > 0 ? libelle : Texte((std::string("Libellé ") + regle).c_str())}));
    e.message = "Message";
    for (int32_t l : lignes) e.prestations.ajouter(Nombre(l));
    return e;
}

GroupeEntree sortieErreur(const char* regle, const char* outrePassable, std::vector<std::string> lignes) {
    GroupeEntree g{3520, {regle, outrePassable, std::string("Libellé ") + regle, "Message", std::to_string(lignes.size())}};
    g.champs.insert(g.champs.end(), lignes.begin(), lignes.end());
    return g;
}

}  // namespace

TEST(FonctionControleComplet, ReadingFailsWithTheCodeOfItsFault) {
    std::vector<GroupeEntree> lignes249, lignes250;
    for (int i = 1; i <= 250; ++i) (i < 250 ? lignes249 : lignes250).push_back(acte(std::to_string(i)));
    lignes250.insert(lignes250.begin(), lignes249.begin(), lignes249.end());
    struct Cas {
        const char* nom;
        std::vector<GroupeEntree> groupes;
        uint16_t attendu;
    };
    const Cas cas[] = {
        {"no-line", facture({}), 0},
        {"no-nature", {entete(), acte("1"), pied()}, KPX_CR_NATURE_ASSURANCE},
        {"nature-twice", {entete(), nature(1511), nature(1511), acte("1"), pied()}, KPX_CR_NATURE_ASSURANCE},
        {"249-lines", facture(lignes249), 0},
        {"250-lines-and-the-tail", facture(lignes250), KPX_CR_TROP_DE_LIGNES},
        {"sub-group-of-another-line", facture({acte("1"), acte("2"), base("1")}), KPX_CR_NUMERO_PRESTATION_BASE + 2},
        {"ccam-without-2020", facture({acte("1"), ccam("1"), contextes("1")}), KPX_CR_BASE_THEORIQUE_ABSENTE},
        {"ccam-without-3470", facture({acte("1"), base("1"), ccam("1")}), KPX_CR_NUMERO_GROUPE_BASE + 3470},
        {"unknown-tariff-contexts", facture({acte("1"), base("1"), ccam("1"), contextes("1", "9")}), KPX_CR_ELEMENT_ABSENT},
        {"travel-on-another-day", facture({acte("1"), deplacement(1620, "2", "20240102")}), KPX_CR_DATE_DEPLACEMENT},
        {"travel-first", facture({deplacement(1630, "1", "20240102"), acte("2")}), 0},
        {"empty-birth-date", {entete(""), nature(), pied()}, KPX_CR_CHAMP_BASE + 13},
        // 1820 comes before 2020: it ends the lines, is read as the tail, and its second field is left over.
        {"sub-group-out-of-order", facture({acte("1"), base("1"), {1820, {"1", "C"}}}), KPX_CR_GROUPE_BASE + 6},
        {"group-after-the-tail", {entete(), nature(), pied(), pied()}, KPX_CR_GROUPE_BASE + 4},
        {"no-tail", {entete(), nature(), acte("1")}, KPX_CR_NUMERO_GROUPE_BASE + 1900},
    };
    for (const Cas& c : cas) EXPECT_EQ(lire(c.groupes), c.attendu) << c.nom;
}

TEST(FonctionControleComplet, InvoiceDecodedIntoItsLines) {
    std::vector<GroupeEntree> groupes = {entete(), {1150, {"87654321", "0"}}, nature(1514)};
    for (GroupeEntree g : {acte("1"), {1820, {"1", "C"}}, {1840, {"1", "4"}}, {1880, {"1", "LIEU1"}}, base("1"),
                           ccam("1"), {2200, {"1", "36", "37", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}},
                           contextes("1", "4"), outrepasse("1", "PROD550"), outrepasse("1", "PROD190")})
        groupes.push_back(g);
    for (GroupeEntree g : {acte("2", "20240101", "ATM"), {1870, {"2", "11111111", "2", "03"}},
                           deplacement(1620, "3"), deplacement(1630, "4"), outrepasse("4", "PROD690A")})
        groupes.push_back(g);
    groupes.push_back(pied());

    // Read with no line written, then with every line handed over: both give the same invoice.
    for (const bool tracee : {false, true}) {
        if (tracee)
            NiveauTrace::oublier();
        else
            NiveauTrace::niveauEcrit.store(0);
        EXPECT_EQ(ControleurZone::estCalme(), !tracee);
        std::vector<std::string> vu;
        const Resultat r = executer(groupes, [&](Facture& f, TypeListe<Erreur>&) {
            vu.push_back(std::string(f.numeroPS->chaine()) + " " + f.natureAssurance->chaine() + " " +
                         f.caissePS->chaine() + " " + f.dateNaissance->chaine());
            for (const auto& l : f.lignes) {
                std::string d = std::to_string(l->typeLigne) + " " + ouVide(l->numeroPS).chaine() + " " +
                                ouVide(l->exonerationTM).chaine() + " " + ouVide(l->ententePrealable).chaine() + " " +
                                ouVide(l->identifiantLieu).chaine() + " rattache " +
                                std::to_string(l->rattachement ? l->rattachement->valeurNumero() : 0);
                if (const LigneCCAM* c = l->commeLigneCCAM()) {
                    d += " " + std::string(c->acte->chaine()) + " phase " + c->phase->chaine() + " grille " +
                         std::to_string(c->grilleTarifaire->valeur()) + " " + std::to_string(c->modificateurs.nombre()) +
                         " mod " + std::to_string(c->dents.nombre()) + " dents " +
                         std::to_string(c->donneesComplementaires.nombre()) + " donnees";
                }
                vu.push_back(d);
            }
            return uint16_t{0};
        });
        NiveauTrace::oublier();
        ASSERT_EQ(r.cr, 0) << tracee;
        EXPECT_EQ(vu, (std::vector<std::string>{
                          "876543210 PM 1 01/01/1980",  // the tail field is numeric: its leading zeros go
                          "3 876543210 C 4 LIEU1 rattache 0 AHQP001 phase 0 grille 3 2 mod 2 dents 2 donnees",
                          "0 111111112 0 9  rattache 0",
                          "1  0   rattache 2",
                          "2  0   rattache 2",
                      }))
            << tracee;
    }
}

// A line is a CCAM line when its own act group was read, whatever follows it in the zone.
TEST(FonctionControleComplet, EachLineTakesItsKindFromItsOwnActGroup) {
    struct Cas {
        const char* nom;
        std::vector<GroupeEntree> groupes;
        const char* lignes;  // type and kind of each line, 'c' for a CCAM line
    };
    const Cas cas[] = {
        {"act line then CCAM line", facture({acte("1"), acte("2"), base("2"), ccam("2"), contextes("2")}), "0p 3c "},
        {"CCAM line then act line", facture({acte("1"), base("1"), ccam("1"), contextes("1"), acte("2")}), "3c 0p "},
        {"travel between", facture({acte("1"), deplacement(1620, "2"), acte("3"), base("3"), ccam("3"), contextes("3")}),
         "0p 1p 3c "},
        // After the contexts an act group belongs to no line: read as the tail, it leaves the line an act line.
        {"act group after the contexts", {entete(), nature(), acte("1"), contextes("1"), {2100, {"1"}}}, "0p "},
    };
    for (const Cas& c : cas) {
        std::string vu;
        const Resultat r = executer(c.groupes, [&](Facture& f, TypeListe<Erreur>&) {
            for (const auto& l : f.lignes) vu += std::to_string(l->typeLigne) + (l->commeLigneCCAM() ? "c " : "p ");
            return uint16_t{0};
        });
        EXPECT_EQ(r.cr, 0) << c.nom;
        EXPECT_EQ(vu, c.lignes) << c.nom;
    }
}

TEST(FonctionControleComplet, OverridesWithholdOnlyOverridableErrorsOnEveryLineTheyName) {
    // Two act lines on one day; line 1 carries overrides of PROD590 and PROD650, line 2 of PROD650 only.
    const std::vector<GroupeEntree> groupes =
        facture({acte("1"), outrepasse("1", "PROD590"), outrepasse("1", "PROD650"), acte("2"), outrepasse("2", "PROD650")});
    struct Cas {
        const char* nom;
        std::vector<Erreur> erreurs;
        uint16_t niveau;
        std::vector<GroupeEntree> sortie;  // after the 2000 group of line 1
    };
    const Cas cas[] = {
        {"none", {}, 0, {}},
        {"all-overridden", {erreur("PROD650", "O", {1, 2}), erreur("PROD590", "O", {1})}, 0, {}},
        {"overridden-on-one-line-of-two",
         {erreur("PROD590", "O", {1, 2})},
         1,
         {sortieErreur("PROD590", "O", {"1", "2"})}},
        {"not-overridable", {erreur("PROD650", "N", {1, 2}), erreur("PROD590", "O", {2})}, 2,
         {sortieErreur("PROD650", "N", {"1", "2"}), sortieErreur("PROD590", "O", {"2"})}},
        {"no-line-named", {erreur("PROD650", "O", {})}, 1, {sortieErreur("PROD650", "O", {})}},
        {"rule-overridden-elsewhere", {erreur("PROD550", "O", {1})}, 1, {sortieErreur("PROD550", "O", {"1"})}},
    };
    for (const Cas& c : cas) {
        const Resultat r = executer(groupes, [&](Facture& f, TypeListe<Erreur>& erreurs) {
            f.lignes[0]->forcage = Code("A");  // line 2 keeps none: no 2000 group
            for (const Erreur& e : c.erreurs) erreurs.ajouter(e);
            return uint16_t{0};
        });
        EXPECT_EQ(r.cr, 0) << c.nom;
        EXPECT_EQ(r.niveau, c.niveau) << c.nom;
        std::vector<GroupeEntree> attendu = {{2000, {"1", "A"}}};
        attendu.insert(attendu.end(), c.sortie.begin(), c.sortie.end());
        EXPECT_EQ(r.sortie, zone(attendu)) << c.nom;
    }
}

TEST(FonctionControleComplet, TheWorstCaseFitsTheZone) {
    // 250 lines, each with its indicator, and errors naming all of them with the longest texts.
    std::vector<GroupeEntree> lignes;
    for (int i = 1; i <= 249; ++i) lignes.push_back(acte(std::to_string(9000 + i)));
    const Resultat r = executer(facture(lignes), [](Facture& f, TypeListe<Erreur>& erreurs) {
        Erreur e = erreur("PROD880A", "O", {}, std::string(250, 'L').c_str());
        e.message = std::string(250, 'M').c_str();
        for (const auto& l : f.lignes) {
            l->forcage = Code("E");
            e.prestations.ajouter(*l->numero);
        }
        for (int i = 0; i < 3; ++i) erreurs.ajouter(e);
        return uint16_t{0};
    });
    EXPECT_EQ(r.cr, 0);
    EXPECT_EQ(r.niveau, 1);
    EXPECT_LE(r.sortie.size(), FonctionControleComplet::tailleSortie(249, 3));
    EXPECT_GT(r.sortie.size(), FonctionControleComplet::tailleSortie(249, 3) - 3 * 249 - 3 * 3 - 10);
}


// Rows and tables: every row class written, read back and written again alike, the
// value checks of reading, the range checks, the searches, the table states.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "KPXW32.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/Referentiel.h"
#include "frame/Trace.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Lignes.h"
#include "kpxbuild/TraceDetailCapturee.h"
#include "support/FichierTemporaire.h"

namespace {

// Gives every field a distinct value that the read checks accept.
class Remplissage {
public:
    void code(char& v, const char*, bool = true) { v = static_cast<char>('A' + suivant() % 26); }
    void code(std::string& v, size_t n, const char*, bool = true) {
        v = "C" + std::to_string(suivant());
        v.resize(n, ' ');
    }
    void caracteres(char& v, const char*) { v = static_cast<char>('a' + suivant() % 26); }
    void caracteres(std::string& v, size_t n, const char*) {
        v = "texte " + std::to_string(suivant());
        v.resize(n, ' ');
    }
    void top(char& v, const char*) { v = (suivant() % 2) ? 'O' : 'N'; }
    void entier16(uint16_t& v, const char*) { v = static_cast<uint16_t>(100 + suivant()); }
    void entier32(uint32_t& v, const char*, const char* = nullptr) { v = 70000u + suivant(); }
    void chaine(std::string& v, const char*, bool = false) { v = "valeur " + std::to_string(suivant()); }
    void dateDebut(Date& v, const char*) { v = Date(2020, 2, static_cast<uint8_t>(1 + suivant() % 29)); }
    void dateFin(Date& v, const char*) { v = Date(2021, 12, static_cast<uint8_t>(1 + suivant() % 31)); }
    void nombre(double& v, const char*) { v = 12.5 + suivant(); }
    void nombre(double& v, const char*, double minimum, const char*) { v = minimum + 0.25 + suivant(); }
    void plage(Plage& v, const EnfantsPlage&) {
        v.position = static_cast<uint16_t>(suivant());
        v.nombre = static_cast<uint16_t>(1 + suivant());
    }
    void plage(PlageLongue& v, const EnfantsPlage&) {
        v.position = 100000u + suivant();
        v.nombre = static_cast<uint16_t>(1 + suivant());
    }

private:
    unsigned suivant() { return compteur_++; }
    unsigned compteur_ = 1;
};

// A row as the writer encodes it, every field in file order, to compare two rows of a class.
std::string octets(const LigneTable& ligne) {
    Referentiel referentiel;
    FichierTemporaire fichier;
    Ecrivain ecrivain(referentiel, fichier.get());
    EXPECT_EQ(ligne.ecrireLigne(ecrivain), 0);
    return fichier.octets();
}

template <class L>
uint16_t ecrireEtRelire(const L& ecrite, L& relue, long* taille = nullptr, long tronquer = -1) {
    Referentiel referentiel;
    FichierTemporaire fichier;
    Ecrivain ecrivain(referentiel, fichier.get());
    uint16_t cr = ecrite.ecrireLigne(ecrivain);
    if (cr != 0) return cr;
    std::fflush(fichier.get());
    long n = fichier.taille();
    if (taille != nullptr) *taille = n;
    if (tronquer >= 0) fichier.tronquer(tronquer);
    std::rewind(fichier.get());
    Lecteur lecteur(referentiel, fichier.get());
    return relue.lireLigne(lecteur);
}

// A row set by `regler`, written and read back.
template <class L>
std::function<uint16_t()> relue(std::function<void(L&)> regler) {
    return [regler] {
        L ecrite, lue;
        regler(ecrite);
        return ecrireEtRelire(ecrite, lue);
    };
}

template <class L>
void verifierAllerRetour(std::map<uint16_t, long>& tailles) {
    SCOPED_TRACE(L::kNom);
    L ecrite;
    Remplissage remplissage;
    L::decrire(ecrite, remplissage);
    L relue;
    long taille = 0;
    ASSERT_EQ(ecrireEtRelire(ecrite, relue, &taille), 0);
    EXPECT_EQ(octets(relue), octets(ecrite));
    EXPECT_NE(octets(relue), octets(L()));
    tailles[L::kIdentifiant] = taille;
    // The smallest row (every string empty) is the size a row count is checked against.
    L vide;
    long minimale = 0;
    ecrireEtRelire(L(), vide, &minimale);
    EXPECT_EQ(minimale, static_cast<long>(Table::tailleMinimaleLigne(L::kIdentifiant)));

    std::unique_ptr<LigneTable> copie = ecrite.cloner();
    EXPECT_EQ(copie->identifiantTable(), L::kIdentifiant);
    EXPECT_EQ(octets(*copie), octets(ecrite));

    Table table;
    std::unique_ptr<LigneTable> creee = table.creerLigneTable(L::kIdentifiant);
    ASSERT_NE(creee, nullptr);
    EXPECT_STREQ(creee->nomClasse(), L::kNom);
    EXPECT_EQ(octets(*creee), octets(L()));

    // Cut anywhere, the row cannot be read.
    for (long coupe : {0L, taille / 2, taille - 1}) {
        L tronquee;
        EXPECT_EQ(ecrireEtRelire(ecrite, tronquee, nullptr, coupe), KPX_CR_LECTURE) << coupe;
    }
}

template <class... L>
void verifierToutes(std::tuple<L...>*, std::map<uint16_t, long>& tailles) {
    (verifierAllerRetour<L>(tailles), ...);
}

// A call that answers cr and writes the line among its detail trace.
void refuse(const std::function<uint16_t()>& appel, uint16_t cr, const char* ligne) {
    TraceDetailCapturee trace;
    EXPECT_EQ(appel(), cr) << ligne;
    EXPECT_TRUE(trace.contient(ligne)) << trace.texte();
}

class Tables : public SourceTables {
public:
    void lignes(uint16_t identifiant, size_t n) {
        std::vector<std::unique_ptr<LigneTable>> lignes;
        for (size_t i = 0; i < n; ++i) lignes.emplace_back(new Synonyme);
        tables_[identifiant].reset(new Table(std::move(lignes)));
    }
    const Table* table(uint16_t identifiant) const override {
        auto t = tables_.find(identifiant);
        return t == tables_.end() ? nullptr : t->second.get();
    }

private:
    std::map<uint16_t, std::unique_ptr<Table>> tables_;
};

}  // namespace

TEST(LigneTable, EveryRowClassRoundTripsByteForByteAndRefusesATruncatedRow) {
    std::map<uint16_t, long> tailles;
    verifierToutes(static_cast<ToutesLesLignes*>(nullptr), tailles);
    EXPECT_EQ(tailles.size(), 67u);
    // Fixed-size rows have the size of their fields.
    EXPECT_EQ(tailles[0], 17);                    // c13 + u32
    EXPECT_EQ(tailles[22], 1 + 10 * 2);           // byte + five ranges
    EXPECT_EQ(tailles[10], 4 + 4 + 4 * 8);        // two dates + four numbers
    EXPECT_EQ(tailles[58], 9 + 9 + 6 + 6);  // two strings "valeur N" + two long ranges
    EXPECT_EQ(tailles[67], 2 + 100 + 250);
    for (uint16_t id = 0; id < 69; ++id) EXPECT_EQ(Table::aUneClasse(id), id != 15 && id != 28) << id;
}

TEST(LigneTable, ReadingChecksValuesAndNamesTheFault) {
    struct Cas {
        const char* nom;
        std::function<uint16_t()> executer;
        const char* message;  // null: the row is accepted
    };
    const Date debut(2020, 1, 1);
    const Cas cas[] = {
        {"forfait modificateur negatif",
         relue<HistoriqueValeurModificateur>([&](auto& l) { l.dateDebut = debut; l.forfait = -1; }),
         "ERREUR : le forfait modificateur doit etre superieur ou egal a zero, Code retour "
         "HistoriqueValeurModificateur::lireLigne : 0xD640"},
        {"coefficient regle 0",
         relue<HistoriqueRegleTarifaire>([&](auto& l) { l.dateDebut = debut; l.coefficient = 0; }), nullptr},
        {"coefficient regle negatif",
         relue<HistoriqueRegleTarifaire>([&](auto& l) { l.dateDebut = debut; l.coefficient = -0.5; }),
         "ERREUR : coefficient invalide, Code retour HistoriqueRegleTarifaire::lireLigne : 0xD640"},
        {"code blanc", relue<Modificateur>([](auto&) {}),
         "ERREUR : code modificateur incorrect, Code retour Modificateur::lireLigne : 0xD640"},
        {"code minuscule", relue<Modificateur>([](auto& l) { l.codeModificateur = 'a'; }),
         "ERREUR : code modificateur incorrect, Code retour Modificateur::lireLigne : 0xD640"},
        {"code blanc admis", relue<SpecialiteDansClasse>([](auto&) {}), nullptr},
        {"code avec espace interne", relue<Specialite>([](auto& l) { l.codeSpecialite = " 1"; }),
         "ERREUR : code specialite incorrect, Code retour Specialite::lireLigne : 0xD640"},
        {"nouveau code regroupement blanc",
         relue<ModificationNouveauCodeRegroupement>([&](auto& l) { l.dateEffet = debut; }),
         "ERREUR : nouveau code regroupement incorrect, Code retour "
         "ModificationNouveauCodeRegroupement::lireLigne : 0xD640"},
        {"top X",
         relue<HistoriqueCoherenceModificateur>([&](auto& l) { l.dateDebut = debut; l.topPresenceMultiple = 'X'; }),
         "ERREUR : top presence multiple incorrect, Code retour HistoriqueCoherenceModificateur::lireLigne : 0xD640"},
        {"masque nul", relue<ActeIndexe>([](auto& l) { l.codeActe = "AAAA001      "; }),
         "ERREUR : le masque champs concernes ne doit pas etre nul, Code retour ActeIndexe::lireLigne : 0xD640"},
        {"libelle vide", relue<LibelleCode>([](auto& l) { l.valeur = "1"; }),
         "ERREUR : libelle du code non renseigne, Code retour LibelleCode::lireLigne : 0xD640"},
        {"date debut absente", relue<Seuil>([](auto&) {}),
         "ERREUR : date debut invalide, Code retour Seuil::lireLigne : 0xD640"},
        {"date fin mois 13", relue<Seuil>([&](auto& l) { l.dateDebut = debut; l.dateFin = Date(2020, 13, 1); }),
         "ERREUR : date fin invalide, Code retour Seuil::lireLigne : 0xD640"},
        {"29 fevrier hors bissextile", relue<Seuil>([](auto& l) { l.dateDebut = Date(2021, 2, 29); }),
         "ERREUR : date debut invalide, Code retour Seuil::lireLigne : 0xD640"},
        {"jour ferie de toutes les annees",
         relue<JourFerieListe>([](auto& l) { l.jourFerie = Date(0, 12, 25); l.dateDebut = Date(2000, 1, 1); }),
         nullptr},
    };
    for (const Cas& c : cas) {
        TraceDetailCapturee trace;
        uint16_t cr = c.executer();
        if (c.message == nullptr) {
            EXPECT_EQ(cr, 0) << c.nom << "\n" << trace.texte();
        } else {
            EXPECT_EQ(cr, KPX_CR_LECTURE) << c.nom;
            EXPECT_TRUE(trace.contient(c.message)) << c.nom << "\n" << trace.texte();
        }
    }

    TraceDetailCapturee trace;
    Modificateur l, r;
    l.codeModificateur = 'M';
    EXPECT_EQ(ecrireEtRelire(l, r, nullptr, 4), KPX_CR_LECTURE);
    EXPECT_TRUE(trace.contient("ERREUR de lecture Nombre d'historiques age, Code retour Modificateur::lireLigne : 0xD640"))
        << trace.texte();
}

TEST(LigneTable, RangesStayInsideTheirChildTableAndRequiredOnesAreNotEmpty) {
    Tables tables;
    Codes codes;
    codes.valeurs = {10, 5};
    tables.lignes(33, 15);
    EXPECT_EQ(codes.controlerLigne(tables), 0);
    tables.lignes(33, 14);
    refuse([&] { return codes.controlerLigne(tables); }, KPX_CR_LECTURE,
           "ERREUR : Position + nombre de valeurs dépasse le nombre de lignes de la table LibellesCodes");
    codes.valeurs = {60000, 0};
    EXPECT_EQ(codes.controlerLigne(tables), 0);

    AssociationNonPrevue association;
    association.codeAssociation = '1';
    {
        TraceDetailCapturee trace;
        EXPECT_EQ(association.controlerLigne(tables), KPX_CR_LECTURE);
        EXPECT_TRUE(trace.contient("Code association 1 :")) << trace.texte();
        EXPECT_TRUE(trace.contient("ERREUR : Le nombre de grilles ne doit pas etre nul")) << trace.texte();
    }
    association.grilles = {0, 1};
    EXPECT_EQ(association.controlerLigne(tables), KPX_CR_LECTURE);  // table 60 absent: no rows
    tables.lignes(60, 1);
    EXPECT_EQ(association.controlerLigne(tables), 0);

    // The modifier checks its ranges in order: ages first, then coherence and grids, which must not be empty.
    Modificateur modificateur;
    modificateur.codeModificateur = 'M';
    modificateur.historiquesAge = {0, 2};
    tables.lignes(23, 1);
    const auto controler = [&] { return modificateur.controlerLigne(tables); };
    refuse(controler, KPX_CR_LECTURE,
           "ERREUR : Position + nombre de historiques age dépasse le nombre de lignes de la table "
           "HistoriquesAgeModificateur");
    modificateur.historiquesAge = {0, 1};
    refuse(controler, KPX_CR_LECTURE, "ERREUR : Le nombre de historiques coherence ne doit pas etre nul");
    modificateur.historiquesCoherence = {0, 1};
    modificateur.grillesTarifaires = {0, 1};
    tables.lignes(25, 1);
    tables.lignes(62, 1);
    EXPECT_EQ(modificateur.controlerLigne(tables), 0);
}

// Its inclusive bounds are the dated queries' (a day either side); here, overlapping rows.
TEST(LigneTable, HistoryAtADateIsTheFirstStoredInForce) {
    std::vector<std::unique_ptr<LigneTable>> lignes;
    auto historique = [&](Date debut, Date fin, double coefficient) {
        std::unique_ptr<HistoriqueRegleTarifaire> h(new HistoriqueRegleTarifaire);
        h->dateDebut = debut;
        h->dateFin = fin;
        h->coefficient = coefficient;
        lignes.push_back(std::move(h));
    };
    historique(Date(2005, 1, 1), Date(2005, 12, 31), 1.0);  // 0
    historique(Date(2005, 1, 1), Date(), 2.0);              // 1: open, from 2005
    historique(Date(2005, 6, 1), Date(), 3.0);              // 2: overlaps 1
    Table historiques(std::move(lignes));

    struct Cas {
        Plage plage;
        Date date;
        double coefficient;
    };
    const Cas cas[] = {{{1, 2}, Date(2010, 1, 1), 2.0}, {{0, 3}, Date(2005, 6, 1), 1.0}, {{0, 3}, Date(2006, 1, 1), 2.0}};
    for (const Cas& c : cas) {
        RegleGrille grille;
        grille.historiques = c.plage;
        const HistoriqueRegleTarifaire* trouve = nullptr;
        ASSERT_EQ(grille.rechercherHistoRegleTarifaire(historiques, c.date, trouve), 0) << c.date.chaine();
        EXPECT_DOUBLE_EQ(trouve->coefficient, c.coefficient) << c.date.chaine();
    }
}

// The searches through an unplanned association's grid and the exceptions of a forcing
// indicator are the queries' own cases over the query fixture.
TEST(LigneTable, KeySearchesReturnTheFirstMatchOrTheirCode) {
    std::vector<std::unique_ptr<LigneTable>> grilles;
    for (uint16_t code : {3, 7, 7}) {
        std::unique_ptr<RegleGrille> g(new RegleGrille);
        g->codeGrille = code;
        g->historiques = {code, 1};
        grilles.push_back(std::move(g));
    }
    Table tableGrilles(std::move(grilles));
    RegleTarifaire regle;
    regle.grilles = {0, 3};
    const RegleGrille* grille = nullptr;
    ASSERT_EQ(regle.rechercherGrille(tableGrilles, 7, grille), 0);
    EXPECT_EQ(grille, tableGrilles.ligne(1));
    refuse([&] { return regle.rechercherGrille(tableGrilles, 5, grille); }, KPX_CR_RIEN_EN_VIGUEUR,
           "ERREUR : pas de grille correspondante");
    regle.grilles = {1, 0};
    EXPECT_EQ(regle.rechercherGrille(tableGrilles, 7, grille), KPX_CR_RIEN_EN_VIGUEUR);

    std::vector<std::unique_ptr<LigneTable>> dates;
    for (const char* specialite : {"01", "41"}) {
        std::unique_ptr<DateObligationCodage> d(new DateObligationCodage);
        d->codeSpecialite = specialite;
        d->dateObligation = Date(2005, 3, 31);
        dates.push_back(std::move(d));
    }
    Table tableDates(std::move(dates));
    ObligationCodage obligation;
    const DateObligationCodage* date = nullptr;
    refuse([&] { return obligation.rechercherDateObligationCodage(tableDates, "41", date); }, KPX_CR_ELEMENT_ABSENT,
           "ERREUR : Pas de code specialite pour cette nature de prestation");
    obligation.specialites = {0, 2};
    ASSERT_EQ(obligation.rechercherDateObligationCodage(tableDates, "41", date), 0);
    EXPECT_EQ(date, tableDates.ligne(1));
    EXPECT_EQ(obligation.rechercherDateObligationCodage(tableDates, "02", date), KPX_CR_ELEMENT_ABSENT);

    std::vector<std::unique_ptr<LigneTable>> histos;
    std::unique_ptr<HistoGrilleTar> h(new HistoGrilleTar);
    h->codeGrille = 12;
    h->dateDebut = Date(2017, 1, 1);
    histos.push_back(std::move(h));
    Table tableHistos(std::move(histos));
    ConTarifaire contexte;
    const HistoGrilleTar* histo = nullptr;
    EXPECT_EQ(contexte.rechercherGrilleTarifaire(tableHistos, Date(2018, 1, 1), histo), KPX_CR_ELEMENT_ABSENT);
    contexte.grilles = {0, 1};
    ASSERT_EQ(contexte.rechercherGrilleTarifaire(tableHistos, Date(2018, 1, 1), histo), 0);
    EXPECT_EQ(histo->codeGrille, 12);
}

TEST(Table, StateFollowsTheIdentifierAndTheFileItComesFrom) {
    struct Cas {
        const char* identifiant;
        bool reference;
        int etat;
    };
    const Cas cas[] = {
        {"000", true, Table::kChargee},   {"022", true, Table::kChargee},     {"068", true, Table::kChargee},
        {"030", true, Table::kDifferee},  {"031", true, Table::kDifferee},    {"058", true, Table::kDifferee},
        {"040", true, Table::kNonAcceptee}, {"040", false, Table::kChargee},  {"035", false, Table::kChargee},
        {"015", true, Table::kNonAcceptee}, {"028", true, Table::kNonAcceptee}, {"069", true, Table::kNonAcceptee},
        {"0A1", true, Table::kNonAcceptee}, {"022", false, Table::kNonAcceptee},
    };
    for (const Cas& c : cas) {
        Table table(c.identifiant, 3, 1234, 3 * 400, c.reference);  // room for 3 rows of any class
        EXPECT_EQ(table.etat(), c.etat) << c.identifiant << c.reference;
        const bool avecLignes = c.etat == Table::kChargee;
        EXPECT_EQ(table.ligne(2) != nullptr, avecLignes) << c.identifiant;
        EXPECT_EQ(table.position(), c.etat == Table::kDifferee ? 1234 : 0) << c.identifiant;
    }

    Table modificateurs("022", 2, 0, 2 * 21, true);
    modificateurs.ligneDe<Modificateur>(1)->codeModificateur = 'M';
    EXPECT_EQ(modificateurs.ligneDe<Specialite>(1), nullptr);
    Table copie(modificateurs);
    EXPECT_NE(copie.ligne(1), modificateurs.ligne(1));
    EXPECT_EQ(copie.ligneDe<Modificateur>(1)->codeModificateur, 'M');
    EXPECT_STREQ(copie.identifiant(), "022");

    TraceDetailCapturee trace;
    copie.afficher(NIV_ERREUR);
    EXPECT_TRUE(trace.contient("Identifiant : \"022\""));
    EXPECT_TRUE(trace.contient("Nombre de lignes  : 2"));
    EXPECT_TRUE(trace.contient("LIGNE D'INDICE 1"));
    EXPECT_TRUE(trace.contient("code modificateur : M"));
}

namespace {

// A section size that any row count of these tests fits in.
constexpr uint32_t kTailleAmple = 1u << 20;

// Table 002 whose rows are marked 0 to 3 by their coefficient, and table 060 whose
// three rows range over it: A [0, 2), B empty at 2, C [2, 4).
struct Famille {
    Table enfants{"002", 4, 0, kTailleAmple, true};
    Table parents{"060", 3, 0, kTailleAmple, true};
    Famille() {
        for (uint32_t i = 0; i < 4; ++i) enfants.ligneDe<HistoriqueAssociationNonPrevue>(i)->coefficient = i;
        const Plage plages[] = {{0, 2}, {2, 0}, {2, 2}};
        for (uint32_t i = 0; i < 3; ++i) parents.ligneDe<AssoGrille>(i)->historiques = plages[i];
    }
    // "position+count" of A, B and C.
    std::string plages() const {
        std::string texte;
        for (uint32_t i = 0; i < 3; ++i) {
            const Plage& p = parents.ligneDe<AssoGrille>(i)->historiques;
            texte += (i ? " " : "") + std::to_string(p.position) + "+" + std::to_string(p.nombre);
        }
        return texte;
    }
    // The children's marks in row order, 9 for a row inserted.
    std::string marques() const {
        std::string texte;
        for (uint32_t i = 0; i < enfants.nombreLignes(); ++i)
            texte += std::to_string(static_cast<int>(enfants.ligneDe<HistoriqueAssociationNonPrevue>(i)->coefficient));
        return texte;
    }
};

std::unique_ptr<LigneTable> historique(double marque) {
    std::unique_ptr<HistoriqueAssociationNonPrevue> ligne(new HistoriqueAssociationNonPrevue);
    ligne->coefficient = marque;
    return ligne;
}

}  // namespace

TEST(Table, AnInsertedRowJoinsItsParentsRangeAndTheRangesAfterItFollow) {
    const struct {
        uint32_t position;
        int proprietaire;  // A, B, C as 0, 1, 2; -1 for none
        uint16_t cr;
        const char* plages;
        const char* marques;
    } cas[] = {
        {0, 0, 0, "0+3 3+0 3+2", "90123"},
        {2, 0, 0, "0+3 3+0 3+2", "01923"},
        {2, 1, 0, "0+2 2+1 3+2", "01923"},
        {2, 2, 0, "0+2 3+0 2+3", "01923"},
        {4, 2, 0, "0+2 2+0 2+3", "01239"},
        {4, -1, 0, "0+2 2+0 2+2", "01239"},
        {0, -1, 0, "1+2 3+0 3+2", "90123"},
        // Refused, nothing changed: outside its owner's range, splitting another range, past the end.
        {1, 2, KPX_CR_DONNEES_INCOHERENTES, "0+2 2+0 2+2", "0123"},
        {3, 0, KPX_CR_DONNEES_INCOHERENTES, "0+2 2+0 2+2", "0123"},
        {1, -1, KPX_CR_DONNEES_INCOHERENTES, "0+2 2+0 2+2", "0123"},
        {3, -1, KPX_CR_DONNEES_INCOHERENTES, "0+2 2+0 2+2", "0123"},
        {5, -1, KPX_CR_DONNEES_INCOHERENTES, "0+2 2+0 2+2", "0123"},
    };
    for (const auto& c : cas) {
        Famille f;
        const LigneTable* proprietaire = c.proprietaire < 0 ? nullptr : f.parents.ligne(c.proprietaire);
        EXPECT_EQ(f.enfants.insererLigne(c.position, historique(9), {&f.parents}, proprietaire), c.cr)
            << c.position << " " << c.proprietaire;
        EXPECT_EQ(f.plages(), c.plages) << c.position << " " << c.proprietaire;
        EXPECT_EQ(f.marques(), c.marques) << c.position << " " << c.proprietaire;
        EXPECT_EQ(f.enfants.nombreLignes(), c.cr == 0 ? 5u : 4u);
    }

    // A row of another class is refused.
    Famille f;
    EXPECT_EQ(f.enfants.insererLigne(0, std::unique_ptr<LigneTable>(new Synonyme), {&f.parents}),
              KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_EQ(f.marques(), "0123");

    // Keyword ranges hold 32-bit positions; a keyword table not read yet refuses any move.
    Table synonymes("029", 3, 0, kTailleAmple, true);
    Table differee("058", 2, 1234, kTailleAmple, true);
    EXPECT_EQ(synonymes.insererLigne(0, std::unique_ptr<LigneTable>(new Synonyme), {&differee}),
              KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_EQ(synonymes.supprimerLignes(0, 1, {&differee}), KPX_CR_DONNEES_INCOHERENTES);
    std::vector<std::unique_ptr<LigneTable>> lignes;
    for (uint32_t debut : {0u, 1u}) {
        std::unique_ptr<MotCle> motCle(new MotCle);
        motCle->synonymes = {debut, 1};
        lignes.push_back(std::move(motCle));
    }
    Table motsCles(std::move(lignes));
    ASSERT_EQ(synonymes.insererLigne(1, std::unique_ptr<LigneTable>(new Synonyme), {&motsCles}, motsCles.ligne(0)), 0);
    EXPECT_EQ(motsCles.ligneDe<MotCle>(0)->synonymes, (PlageLongue{0, 2}));
    EXPECT_EQ(motsCles.ligneDe<MotCle>(1)->synonymes, (PlageLongue{2, 1}));
}

TEST(Table, RemovedRowsLeaveTheRangesOverThemShorterAndMoveTheOthersUp) {
    const struct {
        uint32_t position;
        uint32_t nombre;
        uint16_t cr;
        const char* plages;
        const char* marques;
    } cas[] = {
        {0, 1, 0, "0+1 1+0 1+2", "123"},
        {1, 2, 0, "0+1 1+0 1+1", "03"},
        {2, 2, 0, "0+2 2+0 2+0", "01"},
        {0, 4, 0, "0+0 0+0 0+0", ""},
        {4, 0, 0, "0+2 2+0 2+2", "0123"},
        {3, 2, KPX_CR_DONNEES_INCOHERENTES, "0+2 2+0 2+2", "0123"},
        {5, 0, KPX_CR_DONNEES_INCOHERENTES, "0+2 2+0 2+2", "0123"},
    };
    for (const auto& c : cas) {
        Famille f;
        EXPECT_EQ(f.enfants.supprimerLignes(c.position, c.nombre, {&f.parents}), c.cr) << c.position << "+" << c.nombre;
        EXPECT_EQ(f.plages(), c.plages) << c.position << "+" << c.nombre;
        EXPECT_EQ(f.marques(), c.marques) << c.position << "+" << c.nombre;
    }
}

TEST(Table, TheParentsOfATableAreTheTablesWhoseRowsRangeIntoIt) {
    Referentiel referentiel;
    for (const char* identifiant : {"001", "002", "010", "022", "058", "060", "062"})
        referentiel.placerTable(static_cast<uint16_t>(std::atoi(identifiant)),
                                std::unique_ptr<Table>(new Table(identifiant, 1, 100, kTailleAmple, true)));
    const struct {
        uint16_t enfant;
        std::vector<uint16_t> parents;
    } cas[] = {{2, {60}}, {60, {1}}, {62, {22}}, {29, {58}}, {10, {}}, {22, {}}};
    for (const auto& c : cas) {
        std::vector<uint16_t> parents;
        for (const Table* table : referentiel.tablesParentes(c.enfant)) parents.push_back(table->numero());
        EXPECT_EQ(parents, c.parents) << c.enfant;
    }
}

TEST(Table, RowCountMustFitItsSectionAndRowsMustFillItExactly) {
    Referentiel referentiel;
    FichierTemporaire fichier;
    Ecrivain ecrivain(referentiel, fichier.get());
    Table synonymes("029", 2, 0, 11, true);
    synonymes.ligneDe<Synonyme>(0)->synonyme = "flanc";
    synonymes.ligneDe<Synonyme>(1)->synonyme = "cote";
    ASSERT_EQ(synonymes.ecrireTable(ecrivain), 0);  // rows at 11 to 21
    std::fflush(fichier.get());
    EXPECT_EQ(fichier.taille(), 11 + 6 + 5);

    // A deferred table with no position for its rows is refused and stays deferred.
    Table sansPosition("058", 1, 0, 30, true);
    EXPECT_EQ(sansPosition.chargerTable(58, referentiel, fichier.get()), KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_EQ(sansPosition.etat(), Table::kDifferee);

    struct Cas {
        const char* identifiant;
        uint32_t lignes;
        uint32_t taille;
        int etat;        // after construction
        uint16_t lu;     // reading the rows (or loading the deferred table) from offset 11
    };
    const Cas cas[] = {
        {"029", 2, 11, Table::kChargee, 0},
        {"029", 2, 12, Table::kChargee, KPX_CR_LECTURE},  // a byte left over
        {"029", 1, 11, Table::kChargee, KPX_CR_LECTURE},
        {"029", 11, 11, Table::kChargee, KPX_CR_LECTURE},  // fits at one byte a row, but the file ends
        {"029", 12, 11, Table::kTailleIncoherente, KPX_CR_LECTURE},
        {"029", 0x01000002, 11, Table::kTailleIncoherente, KPX_CR_LECTURE},
        {"058", 0x01000000, 11, Table::kDifferee, KPX_CR_LECTURE},
        {"058", 0, 11, Table::kDifferee, KPX_CR_LECTURE},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(c.identifiant) + " " + std::to_string(c.lignes) + " " + std::to_string(c.taille));
        Table table(c.identifiant, c.lignes, 11, c.taille, true);
        EXPECT_EQ(table.etat(), c.etat);
        if (c.etat == Table::kDifferee) {
            EXPECT_EQ(table.chargerTable(58, referentiel, fichier.get()), c.lu);
            EXPECT_EQ(table.etat(), Table::kDifferee);
            EXPECT_EQ(table.nombreLignes(), c.lignes);
        } else if (c.etat == Table::kTailleIncoherente) {
            EXPECT_EQ(table.ligne(0), nullptr);
            EXPECT_EQ(table.nombreLignes(), 0u);
        } else {
            std::fseek(fichier.get(), 11, SEEK_SET);
            Lecteur lecteur(referentiel, fichier.get());
            EXPECT_EQ(table.lireTable(lecteur), c.lu);
        }
    }
}

// The save's file procedure under a fault at each of its file steps: whatever step
// fails, the code is 0xD700, no temporary file is left, and the last modification file
// saved is in place and loads; the copy of the previous file is never deleted while it
// holds the only copy of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "frame/Fichiers.h"
#include "referentiel/Referentiel.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"

namespace {

// The system's file operations, journalled, failing those of the ranks asked.
class FichiersDefaillants : public Fichiers {
public:
    explicit FichiersDefaillants(std::set<size_t> echecs = {}) : echecs_(std::move(echecs)) { installer(this); }
    ~FichiersDefaillants() override { installer(nullptr); }

    FILE* ouvrir(const char* nom, const char* mode) override {
        if (echoue(std::string("ouvrir ") + base(nom) + " " + mode)) return nullptr;
        FILE* fichier = Fichiers::ouvrir(nom, mode);
        if (fichier != nullptr) noms_[fichier] = base(nom);
        return fichier;
    }
    bool ecrire(const void* octets, size_t taille, FILE* fichier) override {
        return !echoue("ecrire " + noms_[fichier]) && Fichiers::ecrire(octets, taille, fichier);
    }
    bool lire(void* octets, size_t taille, FILE* fichier, size_t& lus) override {
        return !echoue("lire " + noms_[fichier]) && Fichiers::lire(octets, taille, fichier, lus);
    }
    bool positionner(FILE* fichier, long position, int origine) override {
        return !echoue("positionner " + noms_[fichier]) && Fichiers::positionner(fichier, position, origine);
    }
    long position(FILE* fichier) override {
        return echoue("position " + noms_[fichier]) ? -1 : Fichiers::position(fichier);
    }
    bool fermer(FILE* fichier) override {
        const bool echec = echoue("fermer " + noms_[fichier]);
        return Fichiers::fermer(fichier) && !echec;
    }
    bool supprimer(const char* nom) override {
        return !echoue(std::string("supprimer ") + base(nom)) && Fichiers::supprimer(nom);
    }
    bool renommer(const char* ancien, const char* nouveau) override {
        return !echoue(std::string("renommer ") + base(ancien) + " " + base(nouveau)) &&
               Fichiers::renommer(ancien, nouveau);
    }

    const std::vector<std::string>& journal() const { return journal_; }

private:
    static std::string base(const std::string& chemin) { return chemin.substr(chemin.find_last_of("/\\") + 1); }
    bool echoue(const std::string& operation) {
        journal_.push_back(operation);
        if (echecs_.count(journal_.size()) == 0) return false;
        errno = EIO;
        return true;
    }

    std::set<size_t> echecs_;
    std::vector<std::string> journal_;
    std::map<FILE*, std::string> noms_;
};

const char* const kR = "modrefv2.kpx";
const char* const kB = "modifv2~.kpx";
const char* const kT = "modiftmp.kpx";
const char* const kS = "modif~.sav";

class Sauvegarde : public ::testing::Test {
protected:
    void SetUp() override {
        ConstructeurReferentiel constructeur;
        ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));
        ASSERT_EQ(charger(referentiel), 0);
    }

    uint16_t charger(Referentiel& r) {
        return r.chargerReferentiel(repertoire.chemin().c_str(), repertoire.chemin().c_str(), "0302", "1000");
    }

    void ajouterSeuil(double seuil) {
        auto ligne = std::make_unique<ModificationSeuil>();
        ligne->positionSeuil = 1;
        ligne->dateEffet = Date(2024, 1, 1);
        ligne->nouveauSeuil = seuil;
        referentiel.table(ModificationSeuil::kIdentifiant)->ajouterLigne(std::move(ligne));
    }

    // A save of one more threshold record of that value, read back as the file holds it.
    std::vector<uint8_t> sauvegarder(double seuil) {
        ajouterSeuil(seuil);
        EXPECT_EQ(referentiel.sauvegarderModifications(), 0);
        return lireOctets(repertoire.fichier(kR));
    }

    // The threshold records a directory's modification file loads with; -1 when it does not load.
    std::vector<double> seuilsCharges() {
        Referentiel r;
        if (charger(r) != 0) return {-1};
        std::vector<double> seuils;
        const Table* table = r.table(ModificationSeuil::kIdentifiant);
        for (uint32_t i = 0; i < table->nombreLignes(); ++i)
            seuils.push_back(table->ligneDe<ModificationSeuil>(i)->nouveauSeuil);
        return seuils;
    }

    void placer(const char* nom, const std::vector<uint8_t>& octets) {
        std::remove(repertoire.fichier(nom).c_str());
        if (!octets.empty()) ecrireOctets(repertoire.fichier(nom), octets);
    }
    std::vector<uint8_t> contenu(const char* nom) { return lireOctets(repertoire.fichier(nom)); }

    RepertoireTemporaire repertoire{"sauvegarde-modifications"};
    Referentiel referentiel;
};

}  // namespace

TEST_F(Sauvegarde, AFaultAtAnyFileStepLeavesTheLastSavedFileInPlace) {
    // Three saves made: the current file holds 101 and 102, the previous one 101; the third
    // save, the one that fails, would write 101, 102 and 103.
    const std::vector<uint8_t> avant = sauvegarder(101);
    const std::vector<uint8_t> courant = sauvegarder(102);
    ASSERT_EQ(contenu(kB), avant);
    ajouterSeuil(103);

    // Each starting point: no file yet, a current file only, a current and a previous file.
    struct Depart {
        const char* nom;
        std::vector<uint8_t> r;
        std::vector<uint8_t> b;
    };
    int fautes = 0;  // the count docs/reliability.md gives
    for (const Depart& depart :
         {Depart{"aucun", {}, {}}, Depart{"courant", courant, {}}, Depart{"deux", courant, avant}}) {
        SCOPED_TRACE(depart.nom);
        auto partir = [&] {
            placer(kR, depart.r);
            placer(kB, depart.b);
            placer(kT, {});
            placer(kS, {});
        };
        partir();
        std::vector<std::string> journal;
        {
            FichiersDefaillants sans;
            ASSERT_EQ(referentiel.sauvegarderModifications(), 0);
            journal = sans.journal();
        }
        const std::vector<uint8_t> nouveau = contenu(kR);
        EXPECT_EQ(seuilsCharges(), (std::vector<double>{101, 102, 103}));
        EXPECT_EQ(contenu(kB), depart.r);
        EXPECT_TRUE(contenu(kS).empty());
        EXPECT_TRUE(contenu(kT).empty());
        const size_t renommage =
            std::find(journal.begin(), journal.end(), std::string("renommer ") + kT + " " + kR) - journal.begin() + 1;
        ASSERT_LE(renommage, journal.size());

        for (size_t rang = 1; rang <= journal.size(); ++rang) {
            SCOPED_TRACE("step " + std::to_string(rang) + ": " + journal[rang - 1]);
            partir();
            FichiersDefaillants fichiers({rang});
            ++fautes;
            EXPECT_EQ(referentiel.sauvegarderModifications(), KPX_CR_ECRITURE);
            EXPECT_TRUE(contenu(kT).empty());
            if (rang <= renommage) {
                // Nothing switched: every file as it was.
                EXPECT_EQ(contenu(kR), depart.r);
                EXPECT_EQ(contenu(kB), depart.b);
                EXPECT_TRUE(contenu(kS).empty());
            } else {
                // Switched, but the older previous file could not be deleted: it stays as the copy.
                EXPECT_EQ(contenu(kR), nouveau);
                EXPECT_EQ(contenu(kB), depart.r);
                EXPECT_EQ(contenu(kS), depart.b);
            }
            if (!contenu(kR).empty()) {
                EXPECT_EQ(seuilsCharges().size(), rang <= renommage ? 2u : 3u);
            }
        }
    }
    RecordProperty("fautesInjectees", fautes);
}

TEST_F(Sauvegarde, TheCopyOfThePreviousFileStaysWhileItIsItsOnlyCopy) {
    const std::vector<uint8_t> avant = sauvegarder(101);
    const std::vector<uint8_t> courant = sauvegarder(102);
    std::vector<std::string> journal;
    {
        FichiersDefaillants sans;
        ASSERT_EQ(referentiel.sauvegarderModifications(), 0);
        journal = sans.journal();
    }
    const size_t renommage = static_cast<size_t>(
        std::find(journal.begin(), journal.end(), "renommer modiftmp.kpx modrefv2.kpx") - journal.begin() + 1);
    // The new file cannot take its name, nor the current one go back: the current file is
    // left as the previous one, the older previous one as the copy, both for the operator.
    placer(kR, courant);
    placer(kB, avant);
    {
        // After the failed renaming: the new file deleted, then the current one brought back.
        FichiersDefaillants fichiers({renommage, renommage + 2});
        EXPECT_EQ(referentiel.sauvegarderModifications(), KPX_CR_ECRITURE);
        EXPECT_EQ(fichiers.journal().back(), "renommer modifv2~.kpx modrefv2.kpx");
    }
    EXPECT_TRUE(contenu(kR).empty());
    EXPECT_EQ(contenu(kB), courant);
    EXPECT_EQ(contenu(kS), avant);
    EXPECT_TRUE(contenu(kT).empty());

    // A save that stopped while copying the current file: the previous file is partial,
    // its copy whole; the next save puts the copy back first and then goes on as usual.
    placer(kR, courant);
    placer(kB, std::vector<uint8_t>(courant.begin(), courant.begin() + 20));
    placer(kS, avant);
    ASSERT_EQ(referentiel.sauvegarderModifications(), 0);
    EXPECT_EQ(contenu(kB), courant);
    EXPECT_TRUE(contenu(kS).empty());
    // A copy left beside a whole previous file is an older one: it is replaced.
    placer(kS, {'x'});
    const std::vector<uint8_t> precedent = contenu(kR);
    ASSERT_EQ(referentiel.sauvegarderModifications(), 0);
    EXPECT_EQ(contenu(kB), precedent);
    EXPECT_TRUE(contenu(kS).empty());
}

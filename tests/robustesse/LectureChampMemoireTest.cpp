// A field read in place allocates nothing until the caller keeps its value: when that
// one allocation fails, the read answers 0xDFFC with the line of a value not built.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KPXW32.h"
#include "consultation/Fonctions.h"
#include "robustesse/PlafondMemoire.h"
#include "support/TraceCapturee.h"
#include "zone/Groupe.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"

namespace {

class Lecture : public Fonctions {
public:
    using Fonctions::Fonctions;
    using Fonctions::lireChamp;
};

}  // namespace

TEST(LectureChampMemoire, AKeptValueThatCannotBeAllocatedGivesItsLineAnd0xDFFC) {
    Groupe groupe(3001, 1);
    ASSERT_EQ(groupe.ajouterChamp(FORMAT_ALPHANUMERIQUE, TYPE_CODE, 1, 13, ListeCodes()), 0);
    SuperGroupe racine(1, "Essai", 1);
    ASSERT_EQ(racine.ajouterFils(groupe, 1, 1), 0);
    // Group 3001 holding the code "AHQP001".
    const std::vector<uint8_t> octets = {0x0B, 0xB9, 0x08, 0x07, 'A', 'H', 'Q', 'P', '0', '0', '1'};
    TraceCapturee trace("lecture-champ-memoire");
    auto lire = [&](uint64_t echec, uint16_t& cr) {
        ZoneKPX zone(octets.data(), static_cast<uint32_t>(octets.size()));
        Lecture lecture(&zone, &racine);
        PlafondMemoire::echouerA(echec);
        std::unique_ptr<Code> code = lecture.lireChamp<Code>(cr);
        PlafondMemoire::echouerA(0);
        return code;
    };

    // The first allocation of the read is the value kept.
    uint16_t cr = 0;
    EXPECT_EQ(lire(1, cr), nullptr);
    EXPECT_EQ(cr, KPX_CR_CONSTRUCTION);
    cr = 0;
    const std::unique_ptr<Code> code = lire(0, cr);
    EXPECT_EQ(cr, 0);
    ASSERT_NE(code, nullptr);
    EXPECT_STREQ(code->chaine(), "AHQP001");

    std::vector<std::string> erreurs;
    for (const auto& l : trace.lignes())
        if (l.niveau == 5 && l.categorie == 6) erreurs.push_back(l.texte);
    EXPECT_EQ(erreurs, std::vector<std::string>{"ERREUR: Construction type simple (0) impossible"});
}

// An answer is laid end to end when the detail trace is off and inserted field by field
// when it may be written: both must give the same zone.
#include "zone/Reponse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/Texte.h"

namespace {

using Octets = std::vector<uint8_t>;

// Groups of field lengths; each field is that many letters.
using Forme = std::vector<std::vector<size_t>>;

Octets ecrire(const Forme& forme, uint16_t niveauEcrit) {
    Reponse reponse;
    uint16_t numero = 3110;
    char lettre = 'a';
    for (const auto& groupe : forme) {
        reponse.groupe(numero++);
        for (size_t longueur : groupe) {
            const std::string valeur(longueur, lettre++);
            if (longueur == 0)
                reponse.champVide();
            else
                reponse.champ(Texte(valeur.data(), valeur.size()));
        }
    }
    NiveauTrace::niveauEcrit.store(niveauEcrit);
    uint16_t cr = 0;
    ZoneSortie sortie;
    reponse.ecrire(cr, sortie, CAT_CONSULTATION);
    NiveauTrace::oublier();
    EXPECT_EQ(cr, KPX_OK);
    if (cr != 0 || !sortie) return {};
    EXPECT_EQ(sortie->tailleDonnees, reponse.taille());
    return Octets(sortie->buffer, sortie->buffer + sortie->tailleDonnees);
}

}  // namespace

TEST(Reponse, LaidEndToEndAsInsertedFieldByField) {
    const Forme formes[] = {
        {},
        {{}},
        {{0}},
        {{4}, {8}},
        {{127}, {128}, {254}, {255}},
        {{60, 60, 10}, {0, 200, 0}},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {}, {300}},  // past the elements held in place
        {{70000}},
    };
    for (const Forme& forme : formes) {
        SCOPED_TRACE(forme.size());
        const Octets aLaSuite = ecrire(forme, 0);
        const Octets inseres = ecrire(forme, NiveauTrace::kInconnu);
        EXPECT_EQ(aLaSuite, inseres);
    }
    // The worked price answer: group 3110 (0x0C26), 5 bytes, one field of 4 bytes.
    EXPECT_EQ(ecrire({{4}}, 0), (Octets{0x0C, 0x26, 0x05, 0x04, 'a', 'a', 'a', 'a'}));
}

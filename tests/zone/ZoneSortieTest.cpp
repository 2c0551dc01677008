// The output zone's group step: laid in place when the detail trace is off, it must leave
// the bytes, cursor and code the zone's own step leaves, field by field, with the trace on.
#include "zone/ZoneSortie.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/TypeSimple.h"

namespace {

std::vector<uint64_t> etat(const ZoneKPX& z) {
    std::vector<uint64_t> e = {z.identifiantGroupe, z.debutGroupe,     z.enteteGroupe,  z.longueurGroupe,
                               z.numeroGroupe,      z.numeroChamp,     z.debutChamp,    z.enteteChamp,
                               z.longueurChamp,     z.numeroChampZone, z.tailleBuffer,  z.tailleDonnees};
    for (uint32_t i = 0; i < z.tailleBuffer; ++i) e.push_back(z.buffer[i]);
    return e;
}

}  // namespace

TEST(ZoneSortie, GroupLaidInPlaceAsTheTracedStepWritesIt) {
    struct Cas {
        const char* nom;
        uint32_t taille;
        std::vector<uint32_t> avant;     // fields of a first group written one by one
        bool auDebut;                    // the cursor put back before the first group
        uint16_t identifiant;
        std::vector<int64_t> longueurs;  // of the fields; -1 a form without bytes
        uint16_t cr;
    };
    const Cas cas[] = {
        {"empty group", 16, {}, false, 7, {}, KPX_OK},
        {"worked group", 7, {}, false, 3000, {2, 0}, KPX_OK},
        {"after a group", 64, {1, 2}, false, 8, {3}, KPX_OK},
        {"fields of 127 and 128 bytes", 400, {}, false, 9, {127, 128}, KPX_OK},
        {"length on two bytes", 400, {}, false, 9, {100, 20, 10}, KPX_OK},
        {"length on three bytes", 600, {}, false, 3520, {9, 1, 250, 250, 1, 2}, KPX_OK},
        {"exactly full", 3 + 1 + 5, {}, false, 9, {5}, KPX_OK},
        {"one byte short", 3 + 1 + 4, {}, false, 9, {5}, KPX_CR_ZONE_PLEINE},
        {"header growth short", 3 + 126 + 2, {}, false, 9, {126, 0}, KPX_CR_ZONE_PLEINE},
        {"form without bytes", 64, {}, false, 9, {2, -1, 2}, KPX_CR_CONSTRUCTION},
        {"group 0", 64, {}, false, 0, {2}, KPX_CR_ZONE_GROUPE_INVALIDE},
        {"before the data", 64, {1}, true, 9, {2}, KPX_OK},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        std::vector<FormeOctets> formes(c.longueurs.size());
        std::string lettres(1024, 'k');
        for (size_t i = 0; i < lettres.size(); ++i) lettres[i] = static_cast<char>('a' + i % 26);
        for (size_t i = 0; i < formes.size(); ++i) {
            formes[i].donnees = c.longueurs[i] < 0 ? nullptr : reinterpret_cast<const uint8_t*>(lettres.data()) + i;
            formes[i].longueur = c.longueurs[i] < 0 ? 1 : static_cast<uint32_t>(c.longueurs[i]);
        }
        std::vector<uint64_t> etats[2];
        const uint16_t niveaux[2] = {0, NiveauTrace::kInconnu};
        for (int n = 0; n < 2; ++n) {
            uint16_t cr = 0;
            ZoneSortie sortie;
            sortie.allouer(cr, c.taille, CAT_ZONE);
            ASSERT_EQ(cr, KPX_OK);
            std::memset(sortie->buffer, 0xEE, c.taille);
            if (!c.avant.empty()) {
                ASSERT_EQ(sortie->ajouterGroupe(1), KPX_OK);
            }
            for (uint32_t l : c.avant) {
                const std::string valeur(l, 'q');
                ASSERT_EQ(sortie->ajouterChamp(reinterpret_cast<const uint8_t*>(valeur.data()), l), KPX_OK);
            }
            if (c.auDebut) sortie->positionnerDebut();
            NiveauTrace::niveauEcrit.store(niveaux[n]);
            EXPECT_EQ(sortie.ajouterGroupe(c.identifiant, formes.data(), static_cast<uint32_t>(formes.size())), c.cr);
            NiveauTrace::oublier();
            etats[n] = etat(*sortie.zone());
        }
        EXPECT_EQ(etats[0], etats[1]);
    }
}

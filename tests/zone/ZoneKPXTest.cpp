// Exchange zones byte for byte: the worked group, the coded length bounds, header
// growth, exact sizing, refused writes and malformed input.
#include "zone/ZoneKPX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "frame/Systeme.h"
#include "frame/Trace.h"
#include "support/TraceCapturee.h"
#include "zone/TypeSimple.h"
#include "zone/ZoneSortie.h"

namespace {

using Octets = std::vector<uint8_t>;

// An output zone whose buffer goes back to the memory accounting.
struct ZoneEcrite {
    explicit ZoneEcrite(uint32_t taille) : zone(taille) {}
    ~ZoneEcrite() { Systeme::liberer(zone.buffer); }
    ZoneKPX zone;
    Octets octets() const { return Octets(zone.buffer, zone.buffer + zone.tailleDonnees); }
};

struct Champ {
    uint16_t numero = 0;
    std::string valeur;
};

uint16_t ajouter(ZoneKPX& zone, const std::string& valeur) {
    return zone.ajouterChamp(reinterpret_cast<const uint8_t*>(valeur.data()), static_cast<uint32_t>(valeur.size()));
}

uint16_t lire(ZoneKPX& zone, Champ& champ) {
    const uint8_t* donnees = nullptr;
    uint32_t longueur = 0;
    uint16_t cr = zone.lireChampSuivant(champ.numero, donnees, longueur, 1);
    if (cr == KPX_OK) champ.valeur.assign(reinterpret_cast<const char*>(donnees), longueur);
    return cr;
}

std::vector<uint64_t> etat(const ZoneKPX& z);

// The fields of every group, read back through a fresh input zone, with the walk's own
// one-group step when asked, and the cursor after each group's step.
std::vector<std::vector<std::string>> relire(const Octets& octets, uint16_t& cr, std::vector<uint16_t>* groupes = nullptr,
                                             bool pas = false, std::vector<std::vector<uint64_t>>* etats = nullptr) {
    ZoneKPX zone(octets.data(), static_cast<uint32_t>(octets.size()));
    std::vector<std::vector<std::string>> resultat;
    cr = KPX_OK;
    while (cr == KPX_OK && !zone.estFinZone()) {
        uint16_t identifiant = 0;
        cr = pas ? zone.passerGroupeSuivant(identifiant) : zone.lireGroupeSuivant(identifiant, 1, true);
        if (etats) etats->push_back(etat(zone));
        if (etats) etats->back().push_back(identifiant);
        if (cr != KPX_OK) break;
        if (groupes) groupes->push_back(identifiant);
        resultat.emplace_back();
        while (cr == KPX_OK && !zone.estFinGroupe()) {
            Champ c;
            cr = lire(zone, c);
            if (cr == KPX_OK) resultat.back().push_back(c.valeur);
        }
    }
    return resultat;
}

Octets longueurCodee(uint32_t l) {
    ZoneEcrite z(8);
    uint32_t n = z.zone.coderLongueur(l, 0);
    return Octets(z.zone.buffer, z.zone.buffer + n);
}

// The cursor and the bytes, to show that a refused write touched nothing.
std::vector<uint64_t> etat(const ZoneKPX& z) {
    std::vector<uint64_t> e = {z.identifiantGroupe, z.debutGroupe,     z.enteteGroupe,  z.longueurGroupe,
                               z.numeroGroupe,      z.numeroChamp,     z.debutChamp,    z.enteteChamp,
                               z.longueurChamp,     z.numeroChampZone, z.tailleBuffer,  z.tailleDonnees};
    for (uint32_t i = 0; i < z.tailleBuffer; ++i) e.push_back(z.buffer[i]);
    return e;
}

class ValeurSansOctets : public TypeSimple {
public:
    void afficher(FILE*) const override {}
    void tracer(uint16_t) const override {}
    bool estRenseigne() const override { return true; }
    void formeOctets(FormeOctets& forme) const override {
        forme.donnees = nullptr;
        forme.longueur = 3;
    }
};

}  // namespace

TEST(ZoneKPX, WorkedGroupWritesExactBytesAndReadsBack) {
    ZoneEcrite z(ZoneKPX::tailleGroupe(2, 2u, 0u));
    ASSERT_NE(z.zone.buffer, nullptr);
    EXPECT_EQ(z.zone.ajouterGroupe(3000), KPX_OK);
    EXPECT_EQ(ajouter(z.zone, "12"), KPX_OK);
    EXPECT_EQ(z.zone.ajouterChamp(nullptr, 0), KPX_OK);
    EXPECT_EQ(z.octets(), (Octets{0x0B, 0xB8, 0x04, 0x02, 0x31, 0x32, 0x00}));
    EXPECT_EQ(z.zone.tailleDonnees, z.zone.tailleBuffer);
    EXPECT_EQ(z.zone.numeroChampZone, 2);

    const Octets octets = z.octets();
    ZoneKPX entree(octets.data(), static_cast<uint32_t>(octets.size()));
    uint16_t identifiant = 0;
    ASSERT_EQ(entree.lireGroupeSuivant(identifiant, 1, true), KPX_OK);
    EXPECT_EQ(identifiant, 3000);
    EXPECT_EQ(entree.numeroGroupe, 1);
    EXPECT_EQ(entree.enteteGroupe, 3u);
    EXPECT_EQ(entree.longueurGroupe, 4u);
    Champ c;
    ASSERT_EQ(lire(entree, c), KPX_OK);
    EXPECT_EQ(c.numero, 1);
    EXPECT_EQ(c.valeur, "12");
    EXPECT_FALSE(entree.estFinGroupe());
    ASSERT_EQ(lire(entree, c), KPX_OK);
    EXPECT_EQ(c.numero, 2);
    EXPECT_EQ(c.valeur, "");
    EXPECT_TRUE(entree.estFinGroupe());
    EXPECT_TRUE(entree.estFinDonnees());
    EXPECT_TRUE(entree.estFinZone());
    EXPECT_EQ(entree.lireGroupeSuivant(identifiant, 1, true), KPX_CR_ZONE_FIN);
}

TEST(ZoneKPX, CodedLengthBoundsInBothDirections) {
    struct Cas {
        uint32_t longueur;
        Octets code;
    };
    const Cas cas[] = {
        {0, {0x00}},
        {127, {0x7F}},
        {128, {0x81, 0x80}},
        {254, {0x81, 0xFE}},
        {255, {0x82, 0x00, 0xFF}},
        {65534, {0x82, 0xFF, 0xFE}},
        {65535, {0x83, 0x00, 0xFF, 0xFF}},
        {16777214, {0x83, 0xFF, 0xFF, 0xFE}},
        {16777215, {0x84, 0x00, 0xFF, 0xFF, 0xFF}},
        {0xFFFFFFFFu, {0x84, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.longueur);
        EXPECT_EQ(ZoneKPX::nbOctetsLongueur(c.longueur), c.code.size());
        EXPECT_EQ(longueurCodee(c.longueur), c.code);
        if (c.longueur > 16777215) continue;

        // Read back as a field of that length inside a group.
        const uint32_t contenu = ZoneKPX::tailleChamp(c.longueur);
        Octets octets = {0x12, 0x34};
        const Octets entete = longueurCodee(contenu);
        octets.insert(octets.end(), entete.begin(), entete.end());
        octets.insert(octets.end(), c.code.begin(), c.code.end());
        octets.resize(octets.size() + c.longueur, 'x');
        ASSERT_EQ(octets.size(), ZoneKPX::tailleGroupe({c.longueur}));

        ZoneKPX zone(octets.data(), static_cast<uint32_t>(octets.size()));
        uint16_t identifiant = 0;
        ASSERT_EQ(zone.lireGroupeSuivant(identifiant, 1, false), KPX_OK);
        EXPECT_EQ(identifiant, 0x1234);
        EXPECT_EQ(zone.longueurGroupe, contenu);
        uint16_t numero = 0;
        const uint8_t* donnees = nullptr;
        uint32_t longueur = 0;
        ASSERT_EQ(zone.lireChampSuivant(numero, donnees, longueur, 1), KPX_OK);
        EXPECT_EQ(longueur, c.longueur);
        EXPECT_EQ(zone.enteteChamp, c.code.size());
        EXPECT_EQ(donnees, octets.data() + octets.size() - c.longueur);
        EXPECT_TRUE(zone.estFinZone());
    }
}

TEST(ZoneKPX, FirstLengthByteFrom0x80) {
    TraceCapturee trace("zone-longueur");
    // 0x80 alone is 128, while 0x85 announces 5 length bytes and is refused.
    Octets octets = {0x00, 0x01, 0x81, 0x81, 0x80};
    octets.resize(octets.size() + 128, 'a');
    ZoneKPX zone(octets.data(), static_cast<uint32_t>(octets.size()));
    uint16_t identifiant = 0;
    Champ c;
    ASSERT_EQ(zone.lireGroupeSuivant(identifiant, 1, true), KPX_OK);
    ASSERT_EQ(lire(zone, c), KPX_OK);
    EXPECT_EQ(c.valeur, std::string(128, 'a'));
    EXPECT_EQ(zone.enteteChamp, 1u);

    const Octets refuse = {0x00, 0x01, 0x06, 0x85, 0, 0, 0, 0, 1};
    ZoneKPX mauvaise(refuse.data(), static_cast<uint32_t>(refuse.size()));
    ASSERT_EQ(mauvaise.lireGroupeSuivant(identifiant, 1, true), KPX_OK);
    EXPECT_EQ(lire(mauvaise, c), KPX_CR_ZONE_MALFORMEE);
    EXPECT_EQ(mauvaise.enteteChamp, 6u);

    auto textes = trace.textes();
    int trouve = 0;
    for (const auto& t : textes) trouve += t == "ERREUR: Nombre d'octets pour coder la longueur (5) > 4.";
    EXPECT_EQ(trouve, 1);
    for (const auto& l : trace.lignes()) {
        if (l.texte.rfind("ERREUR", 0) != 0) continue;
        EXPECT_EQ(l.categorie, 9);
        EXPECT_EQ(l.niveau, 5);
    }
}

TEST(ZoneKPX, GroupHeaderGrowsAndKeepsFields) {
    struct Cas {
        std::vector<uint32_t> longueurs;
        Octets entete;  // header once every field is in
    };
    const Cas cas[] = {
        {{60, 60, 10}, {0x00, 0x07, 0x81, 0x85}},
        {{126}, {0x00, 0x07, 0x7F}},
        {{127}, {0x00, 0x07, 0x81, 0x80}},
        {{200, 60000}, {0x00, 0x07, 0x82, 0xEB, 0x2D}},
        {{65534}, {0x00, 0x07, 0x83, 0x01, 0x00, 0x01}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.longueurs.size() * 1000 + c.longueurs.back());
        // Room for a second group after the first, which must not move.
        ZoneEcrite z(70000);
        ASSERT_EQ(z.zone.ajouterGroupe(7), KPX_OK);
        std::vector<std::string> valeurs;
        for (size_t i = 0; i < c.longueurs.size(); ++i) {
            valeurs.emplace_back(c.longueurs[i], static_cast<char>('a' + i));
            ASSERT_EQ(ajouter(z.zone, valeurs.back()), KPX_OK);
        }
        EXPECT_EQ(z.zone.enteteGroupe, c.entete.size());
        ASSERT_EQ(z.zone.ajouterGroupe(8), KPX_OK);
        ASSERT_EQ(ajouter(z.zone, "fin"), KPX_OK);
        Octets o = z.octets();
        EXPECT_EQ(Octets(o.begin(), o.begin() + c.entete.size()), c.entete);
        uint16_t cr = 0;
        std::vector<uint16_t> groupes;
        std::vector<std::vector<uint64_t>> etats;
        auto lu = relire(o, cr, &groupes, false, &etats);
        EXPECT_EQ(cr, KPX_OK);
        EXPECT_EQ(groupes, (std::vector<uint16_t>{7, 8}));
        ASSERT_EQ(lu.size(), 2u);
        EXPECT_EQ(lu[0], valeurs);
        EXPECT_EQ(lu[1], std::vector<std::string>{"fin"});
        // The walk's one-group step reads the same, cursor included, short headers or long.
        std::vector<std::vector<uint64_t>> etatsPas;
        EXPECT_EQ(relire(o, cr, nullptr, true, &etatsPas), lu);
        EXPECT_EQ(cr, KPX_OK);
        EXPECT_EQ(etatsPas, etats);
    }
}

TEST(ZoneKPX, ExactSizeFillsCapacity) {
    struct Cas {
        uint32_t groupes;
        std::vector<uint32_t> longueurs;
        uint32_t taille;
    };
    const Cas cas[] = {
        {1, {}, 3},          {1, {0}, 4},        {2, {127}, 264},         {1, {60, 60, 10}, 137},
        {1, {254, 1}, 263}, {2, {65534}, 131086}, {1, {65535}, 65545},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.taille);
        uint32_t contenu = 0;
        for (uint32_t l : c.longueurs) contenu += ZoneKPX::tailleChamp(l);
        ASSERT_EQ(c.groupes * ZoneKPX::tailleGroupeContenu(contenu), c.taille);
        ZoneEcrite z(c.taille);
        for (uint32_t g = 0; g < c.groupes; ++g) {
            ASSERT_EQ(z.zone.ajouterGroupe(static_cast<uint16_t>(100 + g)), KPX_OK);
            for (uint32_t l : c.longueurs) ASSERT_EQ(ajouter(z.zone, std::string(l, 'z')), KPX_OK);
        }
        EXPECT_EQ(z.zone.tailleDonnees, z.zone.tailleBuffer);
        EXPECT_EQ(z.zone.ajouterChamp(nullptr, 0), KPX_CR_ZONE_PLEINE);
        uint16_t cr = 0;
        auto lu = relire(z.octets(), cr);
        EXPECT_EQ(cr, KPX_OK);
        EXPECT_EQ(lu.size(), c.groupes);
    }
    EXPECT_EQ(ZoneKPX::tailleGroupe(0), 3u);
    EXPECT_EQ(ZoneKPX::tailleGroupe(3, 2u, 0u, 300u), 2u + 3u + (3 + 1 + 303));
}

TEST(ZoneKPX, ZeroSizeZoneHoldsOneByteAndNoGroup) {
    ZoneEcrite z(0);
    ASSERT_NE(z.zone.buffer, nullptr);
    EXPECT_EQ(z.zone.tailleBuffer, 1u);
    EXPECT_EQ(z.zone.ajouterGroupe(1), KPX_CR_ZONE_PLEINE);
    EXPECT_EQ(z.zone.tailleDonnees, 0u);
    EXPECT_EQ(z.zone.identifiantGroupe, 0);

    Systeme::simulerEchecAllocation(1);
    ZoneKPX echec(16);
    EXPECT_EQ(echec.buffer, nullptr);
    EXPECT_EQ(echec.tailleDonnees, 0u);
}

TEST(ZoneKPX, RefusedWritesChangeNothing) {
    struct Cas {
        const char* nom;
        uint32_t taille;
        bool groupe;
        std::vector<uint32_t> avant;  // fields already in the group
        bool ajouterGroupe;
        uint32_t longueur;  // else the field added
        uint16_t cr;
    };
    const Cas cas[] = {
        {"no group", 10, false, {}, false, 1, KPX_CR_ZONE_GROUPE_INVALIDE},
        {"group without room", 5, true, {0}, true, 0, KPX_CR_ZONE_PLEINE},
        {"field one byte too long", 10, true, {}, false, 7, KPX_CR_ZONE_PLEINE},
        // The field alone fits; the growth of the group's coded length does not.
        {"header growth", 3 + 126 + 2, true, {126}, false, 0, KPX_CR_ZONE_PLEINE},
        {"huge length", 64, true, {}, false, 0xFFFFFFFFu, KPX_CR_ZONE_PLEINE},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ZoneEcrite z(c.taille);
        std::memset(z.zone.buffer, 0xEE, c.taille);
        if (c.groupe) {
            ASSERT_EQ(z.zone.ajouterGroupe(42), KPX_OK);
        }
        for (uint32_t l : c.avant) ASSERT_EQ(ajouter(z.zone, std::string(l, 'q')), KPX_OK);
        const auto avant = etat(z.zone);
        static const uint8_t source[8] = {};
        const uint16_t cr = c.ajouterGroupe ? z.zone.ajouterGroupe(43) : z.zone.ajouterChamp(source, c.longueur);
        EXPECT_EQ(cr, c.cr);
        EXPECT_EQ(etat(z.zone), avant);
    }
    ZoneEcrite z(16);
    std::memset(z.zone.buffer, 0xEE, 16);
    ASSERT_EQ(z.zone.ajouterGroupe(1), KPX_OK);
    const auto avant = etat(z.zone);
    EXPECT_EQ(z.zone.ajouterChamp(ValeurSansOctets()), KPX_CR_CONSTRUCTION);
    EXPECT_EQ(etat(z.zone), avant);
}

// A whole group from byte forms: laid at once when the detail trace is off, written field
// by field when it may be written, laid in place by the output zone of an answer; all three
// must leave the same bytes, cursor and code.
TEST(ZoneKPX, WholeGroupLaidAtOnceAsWrittenFieldByField) {
    struct Cas {
        const char* nom;
        uint32_t taille;
        std::vector<uint32_t> avant;     // fields of a first group written one by one
        bool auDebut;                    // the cursor put back before the first group
        uint16_t identifiant;
        std::vector<int64_t> longueurs;  // of the fields, empty ones without bytes; -1 a form of 1 without bytes
        uint16_t cr;
    };
    const Cas cas[] = {
        {"empty group", 16, {}, false, 7, {}, KPX_OK},
        {"worked group", 7, {}, false, 3000, {2, 0}, KPX_OK},
        {"after a group", 64, {1, 2}, false, 8, {3}, KPX_OK},
        {"fields of 127 and 128 bytes", 400, {}, false, 9, {127, 128}, KPX_OK},
        {"length on two bytes", 400, {}, false, 9, {100, 20, 10}, KPX_OK},
        {"length on three bytes", 400, {}, false, 9, {200, 60}, KPX_OK},
        {"length on three bytes, six fields", 600, {}, false, 3520, {9, 1, 250, 250, 1, 2}, KPX_OK},
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
        std::string lettres(512, 'k');
        for (size_t i = 0; i < lettres.size(); ++i) lettres[i] = static_cast<char>('a' + i % 26);
        for (size_t i = 0; i < formes.size(); ++i) {
            formes[i].donnees = c.longueurs[i] <= 0 ? nullptr : reinterpret_cast<const uint8_t*>(lettres.data()) + i;
            formes[i].longueur = c.longueurs[i] < 0 ? 1 : static_cast<uint32_t>(c.longueurs[i]);
        }
        // Laid at once by the zone, written field by field, laid in place by the output zone.
        std::vector<uint64_t> etats[3];
        const uint16_t niveaux[3] = {0, NiveauTrace::kInconnu, 0};
        for (int n = 0; n < 3; ++n) {
            uint16_t cr = KPX_OK;
            ZoneSortie sortie;
            sortie.allouer(cr, c.taille, CAT_ZONE);
            ASSERT_EQ(cr, KPX_OK);
            ZoneKPX& zone = *sortie.zone();
            std::memset(zone.buffer, 0xEE, c.taille);
            if (!c.avant.empty()) {
                ASSERT_EQ(zone.ajouterGroupe(1), KPX_OK);
            }
            for (uint32_t l : c.avant) ASSERT_EQ(ajouter(zone, std::string(l, 'q')), KPX_OK);
            if (c.auDebut) zone.positionnerDebut();
            NiveauTrace::niveauEcrit.store(niveaux[n]);
            const auto nombre = static_cast<uint32_t>(formes.size());
            EXPECT_EQ(n < 2 ? zone.ajouterGroupe(c.identifiant, formes.data(), nombre)
                            : sortie.ajouterGroupe(c.identifiant, formes.data(), nombre),
                      c.cr);
            NiveauTrace::oublier();
            etats[n] = etat(zone);
        }
        EXPECT_EQ(etats[0], etats[1]);
        EXPECT_EQ(etats[2], etats[1]);
    }
}

TEST(ZoneKPX, InsertionsBeforeExistingDataShiftThem) {
    ZoneEcrite z(64);
    ASSERT_EQ(z.zone.ajouterGroupe(2), KPX_OK);
    ASSERT_EQ(ajouter(z.zone, "b"), KPX_OK);
    z.zone.positionnerDebut();
    ASSERT_EQ(z.zone.ajouterGroupe(1), KPX_OK);  // before group 2
    ASSERT_EQ(ajouter(z.zone, "a"), KPX_OK);
    z.zone.positionnerDebut();
    uint16_t identifiant = 0;
    ASSERT_EQ(z.zone.lireGroupeSuivant(identifiant, 2, true), KPX_OK);
    EXPECT_EQ(identifiant, 2);
    EXPECT_EQ(z.zone.numeroChampZone, 1);  // the field of group 1, walked
    ASSERT_EQ(ajouter(z.zone, "x"), KPX_OK);  // first field of group 2
    EXPECT_EQ(z.octets(), (Octets{0, 1, 2, 1, 'a', 0, 2, 4, 1, 'x', 1, 'b'}));
}

TEST(ZoneKPX, ReadingTheEndAndMalformedZones) {
    uint16_t identifiant = 77;
    ZoneKPX vide(nullptr, 0);
    EXPECT_EQ(vide.lireGroupeSuivant(identifiant, 1, true), KPX_CR_ZONE_FIN);
    EXPECT_EQ(identifiant, 77);

    // Past the last field: refused, still in the group, and the next group reads.
    const Octets deux = {0, 5, 2, 1, 'k', 0, 6, 0};
    ZoneKPX zone(deux.data(), static_cast<uint32_t>(deux.size()));
    Champ c;
    ASSERT_EQ(zone.lireGroupeSuivant(identifiant, 1, true), KPX_OK);
    ASSERT_EQ(lire(zone, c), KPX_OK);
    EXPECT_EQ(lire(zone, c), KPX_CR_ZONE_FIN);
    EXPECT_EQ(zone.identifiantGroupe, 5);
    EXPECT_EQ(zone.numeroChamp, 1);
    ASSERT_EQ(zone.lireGroupeSuivant(identifiant, 1, true), KPX_OK);
    EXPECT_EQ(identifiant, 6);
    EXPECT_EQ(lire(zone, c), KPX_CR_ZONE_FIN);

    struct Cas {
        const char* nom;
        Octets octets;
        size_t groupesLus;  // groups whose header read fine
    };
    const Cas cas[] = {
        {"last group announces more than the zone holds", {0, 1, 1, 0, 0, 2, 10, 3, 'a', 'b', 'c'}, 1},
        {"group header cut after the identifier", {0, 1, 1, 0, 0, 2}, 1},
        {"group header cut after two bytes of a length", {0, 1, 0, 0, 2, 0x82, 0x01}, 1},
        {"group length on five bytes", {0, 1, 0x85, 0, 0, 0, 0, 1, 0}, 0},
        {"field longer than its group", {0, 1, 2, 3, 'a', 'b', 'c'}, 1},
        {"field length bytes past the buffer", {0, 1, 2, 0x82, 0x01}, 1},
        {"field length bytes past the group", {0, 1, 1, 0x81, 0, 2, 1, 0}, 1},
        {"group of 128 bytes, then one whose length on two bytes runs past the zone", [] {
             Octets o = {0, 1, 0x80};
             o.resize(3 + 128, 0);
             o.insert(o.end(), {0, 2, 0x81, 0x05, 0});
             return o;
         }(), 1},
        {"group ending one byte past the zone", {0, 1, 1, 0, 0, 2, 2, 1}, 1},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.nom);
        uint16_t cr = 0;
        std::vector<std::vector<uint64_t>> etats;
        auto lu = relire(k.octets, cr, nullptr, false, &etats);
        EXPECT_EQ(cr, KPX_CR_ZONE_MALFORMEE);
        EXPECT_EQ(lu.size(), k.groupesLus);
        // The walk's one-group step: the same code, fields and cursor at every step.
        uint16_t crPas = 0;
        std::vector<std::vector<uint64_t>> etatsPas;
        EXPECT_EQ(relire(k.octets, crPas, nullptr, true, &etatsPas), lu);
        EXPECT_EQ(crPas, cr);
        EXPECT_EQ(etatsPas, etats);
    }

    // Walking the fields while leaving a group finds its bad field; skipping does not.
    const Octets champFaux = {0, 1, 2, 5, 'a', 0, 2, 0};
    ZoneKPX saut(champFaux.data(), static_cast<uint32_t>(champFaux.size()));
    EXPECT_EQ(saut.lireGroupeSuivant(identifiant, 2, false), KPX_OK);
    EXPECT_EQ(identifiant, 2);
    ZoneKPX parcours(champFaux.data(), static_cast<uint32_t>(champFaux.size()));
    EXPECT_EQ(parcours.lireGroupeSuivant(identifiant, 2, true), KPX_CR_ZONE_MALFORMEE);
    EXPECT_EQ(parcours.numeroGroupe, 1);

    // A cursor left on a refused group hands out nothing beyond the data.
    const Octets tronque = {0, 1, 0x81, 0xF0, 3, 'a', 'b', 'c'};
    ZoneKPX refuse(tronque.data(), static_cast<uint32_t>(tronque.size()));
    EXPECT_EQ(refuse.lireGroupeSuivant(identifiant, 1, false), KPX_CR_ZONE_MALFORMEE);
    EXPECT_EQ(lire(refuse, c), KPX_CR_ZONE_MALFORMEE);
    EXPECT_EQ(refuse.lireGroupeSuivant(identifiant, 1, false), KPX_CR_ZONE_FIN);
}

// A glance at the groups after the current one finds a group as the walk would reach it, and
// stops where the walk stops: at a group named as an end, at the end of the data, at a fault.
TEST(ZoneKPX, GlanceAtTheNextGroupsStopsWhereTheWalkWould) {
    struct Cas {
        const char* nom;
        Octets octets;
        uint16_t cherche;
        bool annonce;
    };
    const Octets gros = [] {
        Octets o = {0, 1, 0, 0, 2, 0x80};
        o.resize(6 + 128, 'x');
        o.insert(o.end(), {0, 3, 0});
        return o;
    }();
    const Cas cas[] = {
        {"two groups on", {0, 1, 0, 0, 2, 1, 'x', 0, 3, 0}, 3, true},
        {"after a group named as an end", {0, 1, 0, 0, 9, 0, 0, 3, 0}, 3, false},
        {"an end after it", {0, 1, 0, 0, 3, 0, 0, 9, 0}, 3, true},
        {"absent", {0, 1, 0, 0, 2, 0, 0, 4, 0}, 3, false},
        {"the current group is not looked at", {0, 3, 0, 0, 2, 0}, 3, false},
        {"after a length on two bytes", {0, 1, 0, 0, 2, 0x81, 2, 'a', 'b', 0, 3, 0}, 3, true},
        {"after a group of 128 bytes", gros, 3, true},
        {"running past the data", {0, 1, 0, 0, 3, 5, 'a'}, 3, false},
        {"header cut after the identifier", {0, 1, 0, 0, 3}, 3, false},
        {"after a length on five bytes", {0, 1, 0, 0, 2, 0x85, 0, 0, 0, 0, 1, 0, 3, 0}, 3, false},
        {"after a length whose bytes run past the buffer", {0, 1, 0, 0, 2, 0x82, 0}, 3, false},
        {"after a group longer than the data", {0, 1, 0, 0, 2, 9, 0, 3, 0}, 3, false},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.nom);
        ZoneKPX zone(k.octets.data(), static_cast<uint32_t>(k.octets.size()));
        uint16_t identifiant = 0;
        ASSERT_EQ(zone.lireGroupeSuivant(identifiant, 1, true), KPX_OK);
        const auto avant = etat(zone);
        EXPECT_EQ(zone.annonceGroupe(k.cherche, {9, 8}), k.annonce);
        EXPECT_EQ(etat(zone), avant);
        // The walk itself, from the same place.
        bool atteint = false;
        while (!atteint && zone.lireGroupeSuivant(identifiant, 1, false) == KPX_OK && identifiant != 9 &&
               identifiant != 8)
            atteint = identifiant == k.cherche;
        EXPECT_EQ(atteint, k.annonce);
    }
}

TEST(ZoneKPX, TraceCopyIsCutWithDots) {
    const std::string soixante(60, 'x');
    struct Cas {
        std::string donnees;
        uint32_t maximum;
        std::string attendu;
    };
    const Cas cas[] = {
        {"CCAM", 60, "CCAM"},
        {soixante, 60, soixante},
        {soixante + "y", 60, std::string(57, 'x') + "..."},
        {std::string(300, 'w'), 1000, std::string(251, 'w') + "..."},
        {"abcdef", 2, ".."},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(ZoneKPX::texteTrace(c.donnees.data(), static_cast<uint32_t>(c.donnees.size()), c.maximum),
                  c.attendu);
    }
}

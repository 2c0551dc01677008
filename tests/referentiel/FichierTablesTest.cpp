// The file header and the primitives at their edges: exact header bytes, headers
// read back, refused headers, end of file inside a field, and numbers too large.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "KPXW32.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/Referentiel.h"
#include "support/FichierTemporaire.h"

namespace {


void preparer(Referentiel& r) {
    std::memcpy(r.version, "1000", 4);
    std::memcpy(r.versionBaseCCAM, "5800 ", 5);
    std::memcpy(r.variante, "A001      ", 10);
}

}  // namespace

TEST(FichierTables, ModificationHeaderIsSixtyThreeBytesAndReadsBack) {
    Referentiel ecrit;
    preparer(ecrit);
    FichierTemporaire fichier;
    Ecrivain ecrivain(ecrit, fichier.get());
    ASSERT_EQ(ecrivain.ecrireEntete("modrefv2.kpx", Date(2026, 12, 5), "0000", 42, "A001      "), 0);
    const std::string attendu = std::string("0000 modrefv2.kpx 1000 5800  20261205 0000 00042 A001       ") + "\r\n\x1A";
    ASSERT_EQ(attendu.size(), 63u);
    EXPECT_EQ(fichier.octets(), attendu);

    Referentiel lu;
    preparer(lu);
    lu.commentaire = "ancien";
    Lecteur lecteur(lu, fichier.get());
    ASSERT_EQ(lecteur.lireEnteteModif(), 0);
    EXPECT_EQ(lu.numeroRevision, 42);
    EXPECT_EQ(lu.dateDerniereModification, Date(2026, 12, 5));
    EXPECT_EQ(lu.commentaire, "");
    EXPECT_EQ(lecteur.positionCourante(), 63);

    // The modification file of another référentiel version.
    Referentiel autre;
    preparer(autre);
    std::memcpy(autre.version, "1001", 4);
    Lecteur lecteurAutre(autre, fichier.get());
    EXPECT_EQ(lecteurAutre.lireEnteteModif(), KPX_CR_VERSION_MODIFICATIONS);
}

TEST(FichierTables, ReferenceHeaderReadsBackAndRefusesWrongNamesAndVersions) {
    Referentiel ecrit;
    preparer(ecrit);
    ecrit.commentaire = "Echantillon de test";
    FichierTemporaire fichier;
    Ecrivain ecrivain(ecrit, fichier.get());
    ASSERT_EQ(ecrivain.ecrireEntete("table_v2.kpx", Date(2026, 1, 15), "0300", 7, "A001      "), 0);
    const std::string octets = fichier.octets();
    EXPECT_EQ(octets.size(), 63u + std::strlen("Echantillon de test"));

    Referentiel lu;
    Lecteur lecteur(lu, fichier.get());
    ASSERT_EQ(lecteur.lireEnteteRef(), 0);
    EXPECT_EQ(std::string(lu.version, 4), "1000");
    EXPECT_EQ(std::string(lu.versionBaseCCAM, 5), "5800 ");
    EXPECT_EQ(std::string(lu.versionMinimaleLogiciel, 4), "0300");
    EXPECT_EQ(std::string(lu.variante, 10), "A001      ");
    EXPECT_EQ(lu.numeroRevision, 7);
    EXPECT_EQ(lu.commentaire, "Echantillon de test");
    EXPECT_EQ(lecteur.positionCourante(), static_cast<long>(octets.size()));

    struct Cas {
        const char* nom;
        size_t position;
        std::string remplacement;
    };
    const Cas cas[] = {
        {"autre nom", 5, "table_v3.kpx"},
        {"nom colle", 17, "X"},
        {"version hors code", 18, "10-0"},
        {"variante hors code", 49, "a001"},
    };
    for (const Cas& c : cas) {
        std::string modifie = octets;
        modifie.replace(c.position, c.remplacement.size(), c.remplacement);
        FichierTemporaire mauvais(modifie);
        Referentiel r;
        Lecteur l(r, mauvais.get());
        EXPECT_EQ(l.lireEnteteRef(), KPX_CR_LECTURE) << c.nom;
    }
    FichierTemporaire tronque(octets.substr(0, 40));
    Referentiel r;
    Lecteur l(r, tronque.get());
    EXPECT_EQ(l.lireEnteteRef(), KPX_CR_LECTURE);
}

TEST(FichierTables, PrimitivesAtTheEndOfTheFile) {
    Referentiel r;
    struct Cas {
        const char* nom;
        std::string octets;
        uint16_t (*lire)(Lecteur&);
        uint16_t attendu;
    };
    const Cas cas[] = {
        {"chaine sans NUL", "abc", [](Lecteur& l) { std::string s; return l.lireChaine(s); }, KPX_CR_LECTURE},
        {"chaine vide", std::string(1, '\0'), [](Lecteur& l) { std::string s = "x"; uint16_t cr = l.lireChaine(s); return s == "x" ? cr : uint16_t(1); }, 0},
        {"caracteres sans octet", "", [](Lecteur& l) { char b[3]; return l.lireCaracteres(b, 3); }, Lecteur::kFinFichier},
        {"caracteres partiels", "ab", [](Lecteur& l) { char b[3]; return l.lireCaracteres(b, 3); }, KPX_CR_LECTURE},
        {"entier16", "a", [](Lecteur& l) { uint16_t n; return l.lireEntier16(n); }, KPX_CR_LECTURE},
        {"entier32", "abc", [](Lecteur& l) { uint32_t n; return l.lireEntier32(n); }, KPX_CR_LECTURE},
        {"octet", "", [](Lecteur& l) { char c; return l.lireOctet(c); }, KPX_CR_LECTURE},
        {"date", "\x07\xD0\x01", [](Lecteur& l) { Date d; return l.lireDate(d); }, KPX_CR_LECTURE},
        {"nombre", "\x01\x2F\x50", [](Lecteur& l) { double v; return l.lireNombre(v); }, KPX_CR_LECTURE},
        {"entete de table", "02", [](Lecteur& l) { char id[4]; uint32_t n; long p; return l.lireEnteteTable(id, n, p); }, KPX_CR_LECTURE},
        {"entete de table a la fin", "", [](Lecteur& l) { char id[4]; uint32_t n; long p; return l.lireEnteteTable(id, n, p); }, Lecteur::kFinFichier},
        {"entete de table coupee", std::string("022\0\0\0\1\0", 8), [](Lecteur& l) { char id[4]; uint32_t n; long p; return l.lireEnteteTable(id, n, p); }, KPX_CR_LECTURE},
    };
    for (const Cas& c : cas) {
        FichierTemporaire fichier(c.octets);
        Lecteur lecteur(r, fichier.get());
        EXPECT_EQ(c.lire(lecteur), c.attendu) << c.nom;
    }
}

TEST(FichierTables, WriterCountsTheBytesOfATableAndRefusesHugeNumbers) {
    Referentiel r;
    FichierTemporaire fichier;
    Ecrivain ecrivain(r, fichier.get());
    ASSERT_EQ(ecrivain.ecrireEnteteTable("010", 1), 0);
    EXPECT_EQ(ecrivain.octetsTable(), 0u);
    const uint32_t pas[] = {1, 2, 4, 3, 6, 4, 8};
    uint32_t total = 0;
    ASSERT_EQ(ecrivain.ecrireOctet('A'), 0);
    EXPECT_EQ(ecrivain.octetsTable(), total += pas[0]);
    ASSERT_EQ(ecrivain.ecrireEntier16(0x1234), 0);
    EXPECT_EQ(ecrivain.octetsTable(), total += pas[1]);
    ASSERT_EQ(ecrivain.ecrireEntier32(0x01020304), 0);
    EXPECT_EQ(ecrivain.octetsTable(), total += pas[2]);
    ASSERT_EQ(ecrivain.ecrireCaracteres("xyz", 3), 0);
    EXPECT_EQ(ecrivain.octetsTable(), total += pas[3]);
    ASSERT_EQ(ecrivain.ecrireChaine(std::string("texte")), 0);
    EXPECT_EQ(ecrivain.octetsTable(), total += pas[4]);
    ASSERT_EQ(ecrivain.ecrireDate(Date(2000, 1, 2)), 0);
    EXPECT_EQ(ecrivain.octetsTable(), total += pas[5]);
    ASSERT_EQ(ecrivain.ecrireNombre(12.5), 0);
    EXPECT_EQ(ecrivain.octetsTable(), total += pas[6]);
    EXPECT_EQ(ecrivain.ecrireNombre(1e14), KPX_CR_ECRITURE);
    ASSERT_EQ(ecrivain.terminerTable(), 0);

    const std::string octets = fichier.octets();
    std::rewind(fichier.get());
    ASSERT_EQ(octets.size(), 11u + total);
    EXPECT_EQ(octets.substr(0, 11), std::string("010\0\0\0\1\0\0\0\x1C", 11));
    EXPECT_EQ(octets.substr(11, 7), std::string("A\x12\x34\x01\x02\x03\x04", 7));
    EXPECT_EQ(octets.substr(11 + total - 8), std::string("\x01\x2F\x50\0\0\0\0\0", 8));

    Lecteur lecteur(r, fichier.get());
    char id[4];
    uint32_t lignes = 0;
    long position = 0;
    ASSERT_EQ(lecteur.lireEnteteTable(id, lignes, position), 0);
    EXPECT_STREQ(id, "010");
    EXPECT_EQ(lignes, 1u);
    EXPECT_EQ(position, 11);
    ASSERT_EQ(lecteur.sauterTable(), 0);
    EXPECT_EQ(lecteur.lireEnteteTable(id, lignes, position), Lecteur::kFinFichier);
}

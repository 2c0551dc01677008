// The table file format through its writer and reader: header bytes and refused
// headers, table section sizes, every field encoding at its edges, and the CRC.
// Files are temporary and written by Ecrivain; a read always follows a positioning.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "KPXW32.h"
#include "referentiel/Codage.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/Referentiel.h"
#include "support/FichierTemporaire.h"

namespace {


void identifier(Referentiel& r, const char* version) {
    std::memcpy(r.version, version, 4);
    std::memcpy(r.versionBaseCCAM, "0580A", 5);
    std::memcpy(r.variante, "STANDARD  ", 10);
}

std::string entete(Referentiel& r, const char* nom, const Date& date, const char* minimum, uint16_t revision) {
    FichierTemporaire fichier;
    Ecrivain ecrivain(r, fichier.get());
    EXPECT_EQ(ecrivain.ecrireEntete(nom, date, minimum, revision, "STANDARD  "), 0);
    return fichier.octets();
}

}  // namespace

TEST(Ecrivain, ModificationHeaderIsSixtyThreeBytesFieldByField) {
    Referentiel r;
    identifier(r, "0042");
    const std::string octets = entete(r, "modrefv2.kpx", Date(2026, 3, 7), "0000", 42);
    ASSERT_EQ(octets.size(), 63u);
    const struct {
        size_t offset;
        std::string attendu;
    } champs[] = {
        {0, "0000 "},         {5, "modrefv2.kpx "}, {18, "0042 "},       {23, "0580A "},   {29, "20260307 "},
        {38, "0000 "},        {43, "00042 "},       {49, "STANDARD   "}, {60, "\r\n\x1A"},
    };
    for (const auto& c : champs) EXPECT_EQ(octets.substr(c.offset, c.attendu.size()), c.attendu) << c.offset;

    const struct {
        const char* nom;
        uint16_t revision;
        const char* champNom;
        const char* champRevision;
    } cas[] = {{"abc", 0, "abc         ", "00000"}, {"nom_de_fichier_long.kpx", 65535, "nom_de_fichi", "65535"}};
    for (const auto& c : cas) {
        const std::string autre = entete(r, c.nom, Date(2026, 3, 7), "0000", c.revision);
        ASSERT_EQ(autre.size(), 63u) << c.nom;
        EXPECT_EQ(autre.substr(5, 12), c.champNom);
        EXPECT_EQ(autre.substr(43, 5), c.champRevision);
    }
}

TEST(LecteurEcrivain, ModificationHeaderReadsBackAndNamesItsVersion) {
    Referentiel ecrit;
    identifier(ecrit, "0042");
    FichierTemporaire vide(entete(ecrit, "modrefv2.kpx", Date(2026, 3, 7), "0000", 42));
    Referentiel lu;
    identifier(lu, "0042");
    std::memcpy(lu.variante, "AUTRE     ", 10);
    lu.commentaire = "ancien commentaire";
    Lecteur lecteur(lu, vide.get());
    ASSERT_EQ(lecteur.lireEnteteModif(), 0);
    EXPECT_EQ(lu.numeroRevision, 42);
    EXPECT_EQ(lu.dateDerniereModification, Date(2026, 3, 7));
    EXPECT_EQ(std::string(lu.variante, 10), "STANDARD  ");
    EXPECT_EQ(lu.commentaire, "");
    EXPECT_EQ(lecteur.positionCourante(), 63);
    char version[5];
    ASSERT_EQ(lecteur.lireVersionReferentiel(version), 0);
    EXPECT_STREQ(version, "0042");
    EXPECT_EQ(lecteur.positionCourante(), 63);

    // Any byte but CR belongs to the comment, line feeds included.
    ecrit.commentaire = "Tarifs\nlocaux\x1A 2026";
    const std::string avecCommentaire = entete(ecrit, "modrefv2.kpx", Date(2026, 3, 7), "0000", 42);
    EXPECT_EQ(avecCommentaire.size(), 63u + ecrit.commentaire.size());
    FichierTemporaire commente(avecCommentaire);
    Lecteur lecteurCommente(lu, commente.get());
    ASSERT_EQ(lecteurCommente.lireEnteteModif(), 0);
    EXPECT_EQ(lu.commentaire, ecrit.commentaire);

    Referentiel autre;
    identifier(autre, "0043");
    Lecteur lecteurAutre(autre, vide.get());
    EXPECT_EQ(lecteurAutre.lireEnteteModif(), KPX_CR_VERSION_MODIFICATIONS);

    FichierTemporaire reference(entete(ecrit, "table_v2.kpx", Date(2026, 3, 7), "0000", 42));
    Lecteur lecteurReference(lu, reference.get());
    EXPECT_EQ(lecteurReference.lireEnteteModif(), KPX_CR_LECTURE_MODIFICATIONS);
    // Cut before its CR, the header is refused wherever the cut falls.
    for (size_t longueur = 0; longueur + 2 < avecCommentaire.size(); ++longueur) {
        FichierTemporaire coupe(avecCommentaire.substr(0, longueur));
        Lecteur l(lu, coupe.get());
        EXPECT_EQ(l.lireEnteteModif(), KPX_CR_LECTURE_MODIFICATIONS) << longueur;
    }
}

TEST(LecteurEcrivain, ReferenceHeaderFillsTheReferentielOrIsRefused) {
    Referentiel ecrit;
    identifier(ecrit, "1000");
    ecrit.commentaire = "Echantillon";
    const std::string octets = entete(ecrit, "table_v2.kpx", Date(2026, 1, 15), "0300", 123);
    FichierTemporaire fichier(octets);
    Referentiel lu;
    Lecteur lecteur(lu, fichier.get());
    ASSERT_EQ(lecteur.lireEnteteRef(), 0);
    EXPECT_EQ(std::string(lu.version, 4), "1000");
    EXPECT_EQ(std::string(lu.versionBaseCCAM, 5), "0580A");
    EXPECT_EQ(std::string(lu.versionMinimaleLogiciel, 4), "0300");
    EXPECT_EQ(std::string(lu.variante, 10), "STANDARD  ");
    EXPECT_EQ(lu.numeroRevision, 123);
    EXPECT_EQ(lu.commentaire, "Echantillon");
    EXPECT_EQ(lecteur.positionCourante(), static_cast<long>(octets.size()));

    const struct {
        size_t offset;
        const char* remplacement;
        uint16_t attendu;
    } cas[] = {
        {5, "table_v3.kpx", KPX_CR_LECTURE},  // another name
        {5, "modrefv2.kpx", KPX_CR_LECTURE},
        {5, "TABLE_V2.KPX", KPX_CR_LECTURE},
        {18, "10-0", KPX_CR_LECTURE},
        {18, "10a0", KPX_CR_LECTURE},
        {23, "05 0", KPX_CR_LECTURE},
        {29, "2026O115", KPX_CR_LECTURE},  // letter O in the date
        {38, "03-0", KPX_CR_LECTURE},
        {49, "stan", KPX_CR_LECTURE},
        // Separators are not checked, nor what follows the first four characters.
        {4, "#", 0},
        {22, "#", 0},
        {27, "-", 0},
        {53, "-+-", 0},
        {59, "#", 0},
    };
    for (const auto& c : cas) {
        std::string modifie = octets;
        modifie.replace(c.offset, std::strlen(c.remplacement), c.remplacement);
        FichierTemporaire f(modifie);
        Referentiel r;
        Lecteur l(r, f.get());
        EXPECT_EQ(l.lireEnteteRef(), c.attendu) << c.offset << " " << c.remplacement;
    }
    for (size_t longueur = 0; longueur + 2 < octets.size(); ++longueur) {
        FichierTemporaire coupe(octets.substr(0, longueur));
        Referentiel r;
        Lecteur l(r, coupe.get());
        EXPECT_EQ(l.lireEnteteRef(), KPX_CR_LECTURE) << longueur;
    }
    // "table_v2.kpxX" followed by a header that is right in every other field.
    std::string colle = octets;
    FichierTemporaire nomColle(colle.insert(17, "X"));
    Referentiel r;
    Lecteur l(r, nomColle.get());
    EXPECT_EQ(l.lireEnteteRef(), KPX_CR_LECTURE);
}

TEST(LecteurEcrivain, TableSectionSizeIsTheCountOfRowBytes) {
    Referentiel r;
    FichierTemporaire fichier;
    Ecrivain ecrivain(r, fichier.get());
    ASSERT_EQ(ecrivain.ecrireEnteteTable("035", 0), 0);
    ASSERT_EQ(ecrivain.terminerTable(), 0);
    EXPECT_EQ(fichier.octets(), std::string("035\0\0\0\0\0\0\0\0", 11));

    ASSERT_EQ(ecrivain.ecrireEnteteTable("036", 2), 0);
    ASSERT_EQ(ecrivain.ecrireCaracteres("abc", 3), 0);
    ASSERT_EQ(ecrivain.ecrireEntier32(7), 0);
    ASSERT_EQ(ecrivain.terminerTable(), 0);
    ASSERT_EQ(ecrivain.ecrireEnteteTable("099", 1), 0);
    ASSERT_EQ(ecrivain.ecrireCaracteres(std::string(300, 'z').data(), 300), 0);
    ASSERT_EQ(ecrivain.terminerTable(), 0);
    const std::string octets = fichier.octets();
    ASSERT_EQ(octets.size(), 11u + 18 + 311);
    EXPECT_EQ(octets.substr(11, 11), std::string("036\0\0\0\x02\0\0\0\x07", 11));
    EXPECT_EQ(octets.substr(29, 11), std::string("099\0\0\0\x01\0\0\x01\x2C", 11));

    std::rewind(fichier.get());
    Lecteur lecteur(r, fichier.get());
    const struct {
        const char* identifiant;
        uint32_t lignes;
        long donnees;
        long suivante;
    } tables[] = {{"035", 0, 11, 11}, {"036", 2, 22, 29}, {"099", 1, 40, 340}};
    for (const auto& t : tables) {
        char identifiant[4];
        uint32_t lignes = 99;
        long position = -1;
        ASSERT_EQ(lecteur.lireEnteteTable(identifiant, lignes, position), 0) << t.identifiant;
        EXPECT_STREQ(identifiant, t.identifiant);
        EXPECT_EQ(lignes, t.lignes);
        EXPECT_EQ(position, t.donnees);
        ASSERT_EQ(lecteur.sauterTable(), 0);
        EXPECT_EQ(lecteur.positionCourante(), t.suivante);
    }
    char identifiant[4];
    uint32_t lignes;
    long position;
    EXPECT_EQ(lecteur.lireEnteteTable(identifiant, lignes, position), Lecteur::kFinFichier);

    const struct {
        std::string octets;
        uint16_t attendu;
    } entetes[] = {
        {std::string("03", 2), KPX_CR_LECTURE},
        {std::string("035", 3), KPX_CR_LECTURE},
        {std::string("035\0\0", 5), KPX_CR_LECTURE},
        {std::string("035\0\0\0\0\0\0\0", 10), KPX_CR_LECTURE},
        {std::string("0A1\0\0\0\0\0\0\0\0", 11), KPX_CR_LECTURE},
        {std::string(" 35\0\0\0\0\0\0\0\0", 11), KPX_CR_LECTURE},
        // The announced rows must fit in what is left of the file.
        {std::string("035\0\0\0\0\0\0\0\x02" "x", 12), KPX_CR_LECTURE},
        {std::string("035\0\0\0\0\0\0\0\x02" "xy", 13), 0},
        {std::string("035\0\0\0\0\xFF\xFF\xFF\xFF", 11), KPX_CR_LECTURE},
    };
    for (const auto& e : entetes) {
        FichierTemporaire f(e.octets);
        Lecteur l(r, f.get());
        EXPECT_EQ(l.lireEnteteTable(identifiant, lignes, position), e.attendu) << e.octets.size();
    }
}

TEST(LecteurEcrivain, PrimitivesRoundTripByteForByte) {
    using E = Ecrivain&;
    using L = Lecteur&;
    const struct {
        const char* nom;
        uint16_t (*ecrire)(Ecrivain&);
        std::string octets;
        bool (*relire)(Lecteur&);
    } champs[] = {
        {"octet", [](E e) { return e.ecrireOctet('\xFF'); }, "\xFF",
         [](L l) { char c = 0; return l.lireOctet(c) == 0 && c == '\xFF'; }},
        {"entier16", [](E e) { return e.ecrireEntier16(0xBEEF); }, "\xBE\xEF",
         [](L l) { uint16_t n = 0; return l.lireEntier16(n) == 0 && n == 0xBEEF && l.position() == 1; }},
        {"entier16 signe", [](E e) { return e.ecrireEntier16(static_cast<uint16_t>(-2)); }, "\xFF\xFE",
         [](L l) { int16_t n = 0; return l.lireEntierSigne16(n) == 0 && n == -2; }},
        {"entier32", [](E e) { return e.ecrireEntier32(0xDEADBEEF); }, "\xDE\xAD\xBE\xEF",
         [](L l) { uint32_t n = 0; return l.lireEntier32(n) == 0 && n == 0xDEADBEEF; }},
        {"caracteres", [](E e) { return e.ecrireCaracteres("AB C", 4); }, "AB C",
         [](L l) { char b[4]; return l.lireCaracteres(b, 4) == 0 && std::string(b, 4) == "AB C"; }},
        {"chaine", [](E e) { return e.ecrireChaine(std::string("texte")); }, std::string("texte\0", 6),
         [](L l) { std::string t; return l.lireChaine(t) == 0 && t == "texte"; }},
        // An empty string leaves its target as it was.
        {"chaine vide", [](E e) { return e.ecrireChaine(std::string()); }, std::string(1, '\0'),
         [](L l) { std::string t = "x"; return l.lireChaine(t) == 0 && t == "x"; }},
        {"chaine nulle", [](E e) { return e.ecrireChaine(static_cast<const char*>(nullptr)); }, std::string(1, '\0'),
         [](L l) { std::string t = "x"; return l.lireChaine(t) == 0 && t == "x"; }},
        {"date", [](E e) { return e.ecrireDate(Date(2024, 2, 29)); }, "\x07\xE8\x02\x1D",
         [](L l) { Date d; return l.lireDate(d) == 0 && d == Date(2024, 2, 29); }},
        {"date absente", [](E e) { return e.ecrireDate(Date()); }, std::string(4, '\0'),
         [](L l) { Date d(1, 1, 1); return l.lireDate(d) == 0 && d == Date(); }},
        {"12.5", [](E e) { return e.ecrireNombre(12.5); }, std::string("\x01\x2F\x50\0\0\0\0\0", 8),
         [](L l) { double v = 1; return l.lireNombre(v) == 0 && v == 12.5; }},
        {"-3", [](E e) { return e.ecrireNombre(-3); }, std::string("\x13\xF0\0\0\0\0\0\0", 8),
         [](L l) { double v = 1; return l.lireNombre(v) == 0 && v == -3; }},
        {"0", [](E e) { return e.ecrireNombre(0); }, std::string("\x00\xF0\0\0\0\0\0\0", 8),
         [](L l) { double v = 1; return l.lireNombre(v) == 0 && v == 0; }},
        {"0.5", [](E e) { return e.ecrireNombre(0.5); }, std::string("\x00\xF5\0\0\0\0\0\0", 8),
         [](L l) { double v = 1; return l.lireNombre(v) == 0 && v == 0.5; }},
        {"-0.00005", [](E e) { return e.ecrireNombre(-0.00005); }, std::string("\x10\xF0\0\x05\0\0\0\0", 8),
         [](L l) { double v = 1; return l.lireNombre(v) == 0 && v == -0.00005; }},
        {"14 chiffres", [](E e) { return e.ecrireNombre(12345678901234.0); }, "\x01\x23\x45\x67\x89\x01\x23\x4F",
         [](L l) { double v = 1; return l.lireNombre(v) == 0 && v == 12345678901234.0; }},
    };
    Referentiel r;
    FichierTemporaire fichier;
    Ecrivain ecrivain(r, fichier.get());
    std::string attendu;
    for (const auto& c : champs) {
        const uint32_t avant = ecrivain.octetsTable();
        ASSERT_EQ(c.ecrire(ecrivain), 0) << c.nom;
        EXPECT_EQ(ecrivain.octetsTable() - avant, c.octets.size()) << c.nom;
        attendu += c.octets;
        EXPECT_EQ(fichier.octets(), attendu) << c.nom;
    }
    const uint32_t compte = ecrivain.octetsTable();
    for (double tropGrand : {1e14, -1e14, 123456789012345.0}) {
        EXPECT_EQ(ecrivain.ecrireNombre(tropGrand), KPX_CR_ECRITURE) << tropGrand;
    }
    EXPECT_EQ(ecrivain.ecrireDateTexte(Date(2026, 1, 5)), 0);  // header only: not counted
    EXPECT_EQ(ecrivain.octetsTable(), compte);
    EXPECT_EQ(fichier.octets(), attendu + "20260105");

    std::rewind(fichier.get());
    Lecteur lecteur(r, fichier.get());
    for (const auto& c : champs) EXPECT_TRUE(c.relire(lecteur)) << c.nom;
    Date texte;
    ASSERT_EQ(lecteur.lireDateTexte(texte), 0);
    EXPECT_EQ(texte, Date(2026, 1, 5));
    EXPECT_EQ(lecteur.positionCourante(), static_cast<long>(attendu.size()) + 8);
    int16_t apres = 7;
    EXPECT_EQ(lecteur.lireEntierSigne16(apres), KPX_CR_LECTURE);  // nothing left
    EXPECT_EQ(apres, 7);

    // A stream that refuses every write: 0xD700 everywhere, and nothing counted.
    std::unique_ptr<FILE, int (*)(FILE*)> lectureSeule(std::fopen("/dev/null", "r"), &std::fclose);
    ASSERT_NE(lectureSeule, nullptr);
    Ecrivain refuse(r, lectureSeule.get());
    for (const auto& c : champs) EXPECT_EQ(c.ecrire(refuse), KPX_CR_ECRITURE) << c.nom;
    EXPECT_EQ(refuse.octetsTable(), 0u);
    EXPECT_EQ(refuse.ecrireEntete("modrefv2.kpx", Date(2026, 1, 5), "0000", 1, "STANDARD  "), KPX_CR_ECRITURE);
    EXPECT_EQ(refuse.ecrireEnteteTable("035", 0), KPX_CR_ECRITURE);
    EXPECT_EQ(refuse.terminerTable(), KPX_CR_ECRITURE);
    EXPECT_EQ(refuse.ecrireCRC(0x1234), KPX_CR_ECRITURE);
    EXPECT_EQ(refuse.ecrireDateTexte(Date(2026, 1, 5)), KPX_CR_ECRITURE);
}

TEST(LecteurEcrivain, CrcCoversEverythingAfterTheFirstFourBytes) {
    const struct {
        std::string corps;
        uint16_t crc;
        const char* texte;
    } cas[] = {{"", 0x0000, "0000"}, {"abc", 0xED11, "ED11"}, {"123456789", 0x7F50, "7F50"}};
    Referentiel r;
    for (const auto& c : cas) {
        FichierTemporaire fichier;
        Ecrivain ecrivain(r, fichier.get());
        ASSERT_EQ(ecrivain.ecrireCaracteres("0000", 4), 0);
        ASSERT_EQ(ecrivain.ecrireCaracteres(c.corps.data(), c.corps.size()), 0);
        uint16_t crc = 1;
        ASSERT_TRUE(Referentiel::calculerCRC16(fichier.get(), crc));
        EXPECT_EQ(crc, c.crc) << c.corps.size();
        ASSERT_EQ(ecrivain.ecrireCRC(crc), 0);
        const std::string octets = fichier.octets();
        EXPECT_EQ(octets.substr(0, 4), c.texte);
        EXPECT_EQ(octets.substr(4), c.corps);
        Lecteur lecteur(r, fichier.get());
        uint16_t lu = 0;
        ASSERT_EQ(lecteur.lireCRC(lu), 0);
        EXPECT_EQ(lu, c.crc);
    }
    FichierTemporaire minuscules("ed11abc");
    Lecteur lecteur(r, minuscules.get());
    uint16_t lu = 0;
    ASSERT_EQ(lecteur.lireCRC(lu), 0);
    EXPECT_EQ(lu, 0xED11);
    // A letter beyond F is no digit of it.
    FichierTemporaire pasHexadecimal("ED1Gabc");
    Lecteur refuse(r, pasHexadecimal.get());
    EXPECT_EQ(refuse.lireCRC(lu), KPX_CR_LECTURE);
}

// Byte forms of the table files: CRC values, packed decimals, code tests.
#include "referentiel/Codage.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <string>

#include <cstring>
#include <string>
#include <vector>

namespace {

uint16_t crcDe(const std::string& texte) {
    Codage::Crc16 crc;
    crc.ajouter(reinterpret_cast<const uint8_t*>(texte.data()), texte.size());
    return crc.valeur();
}

// The register described bit by bit, to check the table-driven form against.
uint16_t crcBitABit(const std::vector<uint8_t>& octets) {
    uint32_t r = 0;
    for (uint8_t b : octets) {
        r |= static_cast<uint32_t>(b) << 16;
        for (int i = 0; i < 8; ++i) r = (r & 1) ? (r >> 1) ^ 0x8408 : r >> 1;
    }
    return static_cast<uint16_t>(((r >> 8) & 0xFF) | ((r & 0xFF) << 8));
}

}  // namespace

TEST(Codage, CrcOfWorkedBodies) {
    EXPECT_EQ(crcDe(""), 0x0000);
    EXPECT_EQ(crcDe("abc"), 0xED11);
    EXPECT_EQ(crcDe("123456789"), 0x7F50);

    std::vector<uint8_t> octets;
    for (int i = 0; i < 3000; ++i) octets.push_back(static_cast<uint8_t>(i * 37 + (i >> 3)));
    Codage::Crc16 parBlocs;
    parBlocs.ajouter(octets.data(), 1000);
    parBlocs.ajouter(octets.data() + 1000, 2000);
    EXPECT_EQ(parBlocs.valeur(), crcBitABit(octets));
}

TEST(Codage, PackedDecimalsBothWays) {
    struct Cas {
        double valeur;
        std::vector<uint8_t> octets;
    };
    const std::vector<Cas> cas = {
        {12.5, {0x01, 0x2F, 0x50, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {-3.0, {0x13, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {0.0, {0x00, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {12345678901234.0, {0x01, 0x23, 0x45, 0x67, 0x89, 0x01, 0x23, 0x4F}},
    };
    for (const auto& c : cas) {
        uint8_t ecrit[8];
        ASSERT_TRUE(Codage::coderNombre(c.valeur, ecrit)) << c.valeur;
        EXPECT_EQ(std::vector<uint8_t>(ecrit, ecrit + 8), c.octets) << c.valeur;
        double lu = -1;
        ASSERT_TRUE(Codage::decoderNombre(c.octets.data(), lu));
        EXPECT_DOUBLE_EQ(lu, c.valeur);
    }
    uint8_t ecrit[8];
    EXPECT_FALSE(Codage::coderNombre(1e14, ecrit));
    EXPECT_FALSE(Codage::coderNombre(-2e15, ecrit));

    const uint8_t symboleInconnu[8] = {0x01, 0xAF, 0, 0, 0, 0, 0, 0};
    const uint8_t deuxPoints[8] = {0x01, 0xFF, 0, 0, 0, 0, 0, 0};
    double lu = 0;
    EXPECT_FALSE(Codage::decoderNombre(symboleInconnu, lu));
    EXPECT_FALSE(Codage::decoderNombre(deuxPoints, lu));
}

// Decoding builds the value from its digits; it must give the very double that
// reading the same decimal text gives, for every place of the point.
TEST(Codage, PackedDecimalsDecodeToTheNearestDouble) {
    uint64_t etat = 12345;
    auto hasard = [&etat] {
        etat = etat * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(etat >> 33);
    };
    for (int essai = 0; essai < 20000; ++essai) {
        uint8_t octets[8] = {};
        std::string texte;
        const int point = 1 + static_cast<int>(hasard() % 16);  // 16: no point
        if (hasard() % 2) {
            octets[0] = 0x10;
            texte = "-";
        }
        for (int i = 1; i < 16; ++i) {
            const uint8_t s = i == point ? 0x0F : static_cast<uint8_t>(hasard() % 10);
            texte += s == 0x0F ? '.' : static_cast<char>('0' + s);
            octets[i / 2] |= (i % 2) ? s : static_cast<uint8_t>(s << 4);
        }
        if (texte.back() == '.') texte.pop_back();
        double attendu = 0, lu = 0;
        std::from_chars(texte.data() + (texte[0] == '-'), texte.data() + texte.size(), attendu);
        if (texte[0] == '-') attendu = -attendu;
        ASSERT_TRUE(Codage::decoderNombre(octets, lu)) << texte;
        ASSERT_EQ(std::memcmp(&lu, &attendu, sizeof lu), 0) << texte;
    }
}

TEST(Codage, CodeTests) {
    EXPECT_TRUE(Codage::estCodeValide("AB1  ", 5));
    EXPECT_TRUE(Codage::estCodeValide("     ", 5));
    EXPECT_FALSE(Codage::estCodeValide("A B  ", 5));
    EXPECT_FALSE(Codage::estCodeValide("ab   ", 5));
    EXPECT_FALSE(Codage::estNonBlanc("   ", 3));
    EXPECT_TRUE(Codage::estNonBlanc("  x", 3));
    EXPECT_TRUE(Codage::estCodeVersion("0302"));
    EXPECT_FALSE(Codage::estCodeVersion("03 2"));
}

// Byte forms of the table files: CRC values, packed decimals, code tests.
#include "referentiel/Codage.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

namespace {

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

// The worked values and the byte forms of numbers are checked through the file writer and
// reader; here, what those do not reach.
TEST(Codage, CrcInPiecesIsTheBitByBitRegister) {
    std::vector<uint8_t> octets;
    for (int i = 0; i < 3000; ++i) octets.push_back(static_cast<uint8_t>(i * 37 + (i >> 3)));
    Codage::Crc16 parBlocs;
    parBlocs.ajouter(octets.data(), 1000);
    parBlocs.ajouter(octets.data() + 1000, 2000);
    EXPECT_EQ(parBlocs.valeur(), crcBitABit(octets));
}

TEST(Codage, PackedDecimalsWithAnUnknownSymbolOrTwoPointsAreRefused) {
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

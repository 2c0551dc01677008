// The message formatter over formats as the référentiel may hold them, sound or damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "facture/MessageRegle.h"
#include "zone/Code.h"
#include "zone/Texte.h"

TEST(MessageRegle, FormatsAreWalkedNeverTrusted) {
    const Code acte("HBGD035");
    const ValeurMessage k = ValeurMessage::caractere('K');
    const std::string longue(300, 'x');
    struct Cas {
        const char* format;
        std::vector<ValeurMessage> valeurs;
        std::string attendu;
    };
    const Cas cas[] = {
        {"Prestations %d et %d : acte %s, %c", {12, 7, acte, k}, "Prestations 12 et 7 : acte HBGD035, K"},
        {"%ld/%hu/%i %% fait", {12, 7, acte}, "12/7/ % fait"},  // %i meets a code: empty
        {"%c et %s", {12, 7}, " et "},                          // both of the wrong kind
        {"[%5d][%-4d][%03d][%+d][% d]", {12, 7, 5, 5, 5}, "[   12][7   ][005][+5][ 5]"},
        {"[%05d|%.3d|%u|%d]", {-12, 7, -1, -5}, "[-0012|007|4294967295|-5]"},
        {"[%8s][%-8s|%.3s][%3c]", {acte, acte, acte, k}, "[ HBGD035][HBGD035 |HBG][  K]"},
        {"%d %s %c %s", {12}, "12   "},                         // conversions without values
        {"%n%p%x%f|%d", {1, 2, 3, 4, 5}, "|5"},                 // unknown ones still take their value
        {"%*d|%.*s", {12, acte}, "|"},
        {"fin %", {12}, "fin "},
        {"%99999999999999999999d", {12}, std::string(248, ' ') + "12"},
        {"sans valeur", {}, "sans valeur"},
        // The length is capped whatever the format.
        {longue.c_str(), {}, std::string(250, 'x')},
        {"%s%s", {longue.c_str(), "y"}, std::string(250, 'x')},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(formaterMessage(c.format, c.valeurs, 250), c.attendu) << c.format;
        MessageErreur message;
        message.formater(c.format, c.valeurs.data(), c.valeurs.size());
        EXPECT_EQ(std::string(message.chaine(), message.longueur()), c.attendu) << c.format;
        EXPECT_EQ(message.chaine()[message.longueur()], '\0') << c.format;
    }
    EXPECT_EQ(formaterMessage("ab%300s", {"c"}, 10), "ab        ");
}

// A violation's message reads as the text of the formatted message would: up to its first
// NUL, within 250 bytes, and a copy holds the same.
TEST(MessageRegle, ViolationMessageReadsAsItsText) {
    const std::string longue(300, 'x');
    struct Cas {
        const char* format;
        std::vector<ValeurMessage> valeurs;
    };
    const Cas cas[] = {
        {"avant %c apres", {ValeurMessage::caractere('\0')}},
        {"%c", {ValeurMessage::caractere('\0')}},
        {"%s%s", {longue.c_str(), "y"}},
        {"%249s%c", {"a", ValeurMessage::caractere('\0')}},
        {"", {}},
    };
    for (const Cas& c : cas) {
        MessageErreur message;
        message.formater(c.format, c.valeurs.data(), c.valeurs.size());
        const Texte attendu(formaterMessage(c.format, c.valeurs, 250).c_str());
        EXPECT_STREQ(message.chaine(), attendu.chaine()) << c.format;
        EXPECT_EQ(message.longueur(), attendu.longueur()) << c.format;
        MessageErreur copie;
        copie = message;
        EXPECT_STREQ(MessageErreur(copie).chaine(), attendu.chaine()) << c.format;
    }
    MessageErreur message;
    message = longue.c_str();
    EXPECT_EQ(std::string(message.chaine()), std::string(250, 'x'));
    message.vider();
    EXPECT_EQ(message.longueur(), 0u);
    EXPECT_STREQ(message.chaine(), "");
}

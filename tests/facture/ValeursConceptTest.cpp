// A concept's values answer whether a code is among them as their list does, by words
// or, past seven bytes, from the list; a code read where its column lies answers as the
// code made from that column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "facture/ValeursConcept.h"

TEST(ValeursConcept, MembershipIsTheListsOneWhateverTheLengths) {
    struct Cas {
        std::vector<std::string> valeurs;
        std::vector<std::pair<std::string, bool>> questions;
    };
    const Cas cas[] = {
        {{"2", "ATM", "4"},
         {{"2", true}, {"ATM", true}, {"4", true}, {"AT", false}, {"ATMX", false}, {"", false}, {"4 ", false},
          {"ATM0000", false}, {"ATM00000", false}}},
        {{"ABCDEFG", "1"}, {{"ABCDEFG", true}, {"ABCDEF", false}, {"ABCDEFGH", false}, {"1", true}}},
        // A value past seven bytes: answered from the list, longer codes included.
        {{"ABCDEFGH", "2"}, {{"ABCDEFGH", true}, {"ABCDEFG", false}, {"2", true}, {"3", false}, {"", false}}},
        {{}, {{"", false}, {"2", false}, {"ABCDEFGH", false}}},
        {{"", "0"}, {{"", true}, {"0", true}, {"00", false}}},
        // One-byte values past the seven-bit ones, and a neighbour of each.
        {{"\xE9", "?", "\xFF"},
         {{"\xE9", true}, {"\xE8", false}, {"\x69", false}, {"?", true}, {"\x7F", false}, {"\xFF", true}}},
        {{"A", "AB", "ABC"}, {{"A", true}, {"AB", true}, {"ABC", true}, {"B", false}, {"BA", false}, {"ABCD", false}}},
        // As many words as are held in place, then more, then more with a long value last.
        {{"01", "02", "03", "04", "05", "06", "07", "08"}, {{"01", true}, {"08", true}, {"09", false}}},
        {{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"},
         {{"01", true}, {"09", true}, {"10", true}, {"11", false}, {"1", false}}},
        {{"01", "02", "03", "04", "05", "06", "07", "08", "09", "ABCDEFGHI"},
         {{"09", true}, {"ABCDEFGHI", true}, {"ABCDEFGH", false}, {"11", false}}},
    };
    for (const Cas& c : cas) {
        ListeCodes liste;
        for (const std::string& v : c.valeurs) ASSERT_EQ(liste.ajouter(Code(v.data(), v.size())), 0);
        const ValeursConcept valeurs(liste);
        ASSERT_EQ(valeurs.liste().nombre(), liste.nombre());
        for (const auto& q : c.questions) {
            const Code code(q.first.data(), q.first.size());
            EXPECT_EQ(valeurs.contient(code), q.second) << c.valeurs.size() << " values, code " << q.first;
            EXPECT_EQ(valeurs.contient(code), liste.contient(code)) << q.first;
            // Read where a column of two more blanks holds it, the code answers as the code
            // that column makes.
            const std::string colonne = q.first + "  ";
            const VueCode vue(colonne.data(), colonne.size(), Code::largeurFixe);
            EXPECT_EQ(valeurs.contient(vue), valeurs.contient(Code(colonne.data(), colonne.size(), Code::largeurFixe)))
                << q.first;
        }
    }
}

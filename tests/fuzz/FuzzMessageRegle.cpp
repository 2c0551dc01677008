// Rule message formats as a damaged référentiel may hold them: whatever the format
// and the values a rule passes, the message is built within its length and no
// conversion reads a value of another kind.
#include <cstdint>
#include <string>
#include <vector>

#include "VerifierFuzz.h"
#include "facture/MessageRegle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte chooses the values (two bits each: text, integer, character,
    // none), the second the length limit; the rest is the format.
    std::vector<ValeurMessage> valeurs;
    for (int i = 0; i < 4; ++i) {
        switch ((data[0] >> (2 * i)) & 3) {
            case 0: valeurs.emplace_back("HBGD035"); break;
            case 1: valeurs.emplace_back(static_cast<int32_t>(-7 * (i + 1))); break;
            case 2: valeurs.push_back(ValeurMessage::caractere(static_cast<char>(data[1]))); break;
            default: break;
        }
    }
    const size_t longueurMax = data[1];
    const std::string format(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string message = formaterMessage(format, valeurs, longueurMax);
    verifier(message.size() <= longueurMax, "message longer than its limit");
    // Without any conversion the format comes out as it stands, cut at the limit.
    if (format.find('%') == std::string::npos)
        verifier(message == format.substr(0, longueurMax), "plain text changed");
    // A violation's message holds the host's longest message, up to its first NUL.
    MessageErreur erreur;
    erreur.formater(format, valeurs.data(), valeurs.size());
    const std::string entier = formaterMessage(format, valeurs, MessageErreur::kLongueurMax);
    verifier(std::string(erreur.chaine(), erreur.longueur()) == entier.substr(0, entier.find('\0')),
             "violation message differs from the formatted text");
    verifier(erreur.chaine()[erreur.longueur()] == '\0', "violation message not ended");
    return 0;
}

// Field check and conversion. Every error line explains the code returned; the
// bytes of an input field are never terminated, so they are printed with a length.
#include "zone/Champ.h"

#include <cstring>
#include <string>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/EnLigne.h"
#include "zone/ValeurChamp.h"
#include "zone/ControleurZone.h"
#include "zone/ZoneKPX.h"

namespace {

constexpr uint32_t kMaximumTrace = 60;

// Classes of the bytes the formats accept: one load and one test a byte.
enum : uint8_t { kChiffre = 1, kMajuscule = 2, kBlanc = 4 };

struct ClassesOctets {
    uint8_t classe[256] = {};
    constexpr ClassesOctets() {
        for (int c = '0'; c <= '9'; ++c) classe[c] = kChiffre;
        for (int c = 'A'; c <= 'Z'; ++c) classe[c] = kMajuscule;
        classe[static_cast<uint8_t>(' ')] = kBlanc;
    }
};
constexpr ClassesOctets kClasses;

bool estChiffre(uint8_t c) { return (kClasses.classe[c] & kChiffre) != 0; }
bool estAlphanumerique(uint8_t c) { return (kClasses.classe[c] & (kChiffre | kMajuscule | kBlanc)) != 0; }
bool estCaractereCode(uint8_t c) { return (kClasses.classe[c] & (kChiffre | kMajuscule)) != 0; }

// The first byte refused by the test, or null when all pass.
template <class Test>
const uint8_t* premierRefuse(const uint8_t* octets, uint32_t n, Test accepte) {
    for (uint32_t i = 0; i < n; ++i)
        if (!accepte(octets[i])) return octets + i;
    return nullptr;
}

bool estCode(const uint8_t* octets, uint32_t n) { return premierRefuse(octets, n, estCaractereCode) == nullptr; }

// Whether every byte is of one of the classes: one load and one test a byte.
bool tousDans(const uint8_t* octets, uint32_t n, uint8_t classes) {
    for (uint32_t i = 0; i < n; ++i)
        if ((kClasses.classe[octets[i]] & classes) == 0) return false;
    return true;
}

// What a format's reduction takes off the bytes sent.
enum Reduction : uint8_t { kSansReduction, kBlancsFinaux, kZerosInitiaux };

Reduction reductionDe(uint32_t format) {
    if (format == FORMAT_ALPHANUMERIQUE || format == FORMAT_VALEURS) return kBlancsFinaux;
    return format == FORMAT_NUMERIQUE ? kZerosInitiaux : kSansReduction;
}

EN_LIGNE void reduireSelon(uint8_t reduction, const uint8_t*& octets, uint32_t& n) {
    if (reduction == kBlancsFinaux) {
        while (n > 0 && octets[n - 1] == ' ') --n;
    } else if (reduction == kZerosInitiaux) {
        while (n > 1 && octets[0] == '0') {
            ++octets;
            --n;
        }
    }
}

}  // namespace

Champ::Champ(uint32_t format_, uint32_t type_, uint16_t minimum, uint16_t maximum, const ListeCodes& valeurs)
    : format(format_), type(type_), tailleMinimale(minimum), tailleMaximale(maximum), valeursAutorisees(valeurs) {
    regler();
}

void Champ::regler() {
    reglage_ = Reglage();
    reglage_.videAccepte = accepteVide();
    const bool formatSimple = format == FORMAT_ALPHANUMERIQUE || format == FORMAT_NUMERIQUE ||
                              format == FORMAT_VALEURS || format == FORMAT_LIBRE;
    reglage_.simple = formatSimple && valeursAutorisees.nombre() == 0 && type < TYPE_AUCUN && type != TYPE_BOOLEEN;
    if (!reglage_.simple) return;
    reglage_.minimum = tailleMinimale;
    reglage_.maximum = tailleMaximale > 0 ? tailleMaximale : UINT32_MAX;
    if (format == FORMAT_NUMERIQUE) reglage_.classesEnvoye = kChiffre;
    // The format's reduction found once here rather than at every field.
    reglage_.reduction = reductionDe(format);
    // A code keeps to digits and capitals once reduced: digits already are; an alphanumeric
    // field's reduced bytes are checked once, its trailing blanks being all it may hold besides.
    if (type == TYPE_CODE && format != FORMAT_NUMERIQUE) reglage_.classesReduit = kChiffre | kMajuscule;
    else if (format == FORMAT_ALPHANUMERIQUE) reglage_.classesReduit = kChiffre | kMajuscule | kBlanc;
}

// Every field passes here once: inline in the conversion.
EN_LIGNE void Champ::reduireOctets(const uint8_t*& octets, uint32_t& n, bool detail) const {
    if (detail) ::tracer(CAT_CONTROLE, NIV_DETAIL, "Champ::reduire >> IN : longueur = %u", n);
    reduireSelon(reductionDe(format), octets, n);
    if (detail) ::tracer(CAT_CONTROLE, NIV_DETAIL, "Champ::reduire << OUT : longueur = %u", n);
}

// Every field passes here: inline in both the check alone and the conversion.
EN_LIGNE uint16_t Champ::verifier(const uint8_t* octets, uint32_t n, bool detail, bool muet) const {
    uint16_t cr = 0;
    if (detail) ::tracer(CAT_CONTROLE, NIV_DETAIL, "Champ::controler >> IN");
    if (tailleMinimale > 0 && n < tailleMinimale) {
        if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: taille des donnees (%u) inferieure au minimum (%u).", n,
                 static_cast<unsigned>(tailleMinimale));
        cr = KPX_CR_CHAMP_BASE;
    }
    if (cr == 0 && tailleMaximale > 0 && n > tailleMaximale) {
        if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR,
                 "Champ::controler: ERREUR: taille des donnees (%u) superieure au maximum (%u).", n,
                 static_cast<unsigned>(tailleMaximale));
        cr = KPX_CR_CHAMP_BASE;
    }
    if (cr == 0) {
        const uint8_t* refuse = nullptr;
        switch (format) {
            case FORMAT_ALPHANUMERIQUE:
                refuse = premierRefuse(octets, n, estAlphanumerique);
                if (refuse != nullptr) {
                    if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: caractere (%c) interdit dans le format alphanumerique.",
                             *refuse);
                    cr = KPX_CR_CHAMP_BASE;
                }
                break;
            case FORMAT_NUMERIQUE:
                refuse = premierRefuse(octets, n, estChiffre);
                if (refuse != nullptr) {
                    if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: caractere (%c) interdit dans le format numerique.",
                             *refuse);
                    cr = KPX_CR_CHAMP_BASE;
                }
                break;
            case FORMAT_DATE:
                if (!Date::estDateValide(octets, n)) {
                    if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: date (%.*s) invalide.", static_cast<int>(n),
                             reinterpret_cast<const char*>(octets));
                    cr = KPX_CR_CHAMP_BASE;
                }
                break;
            case FORMAT_VALEURS:
            case FORMAT_LIBRE:
                break;
            default:
                if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: format inconnu (%d).", static_cast<int>(format));
                cr = KPX_CR_NON_PREVU;
        }
    }
    if (cr == 0 && valeursAutorisees.nombre() > 0) {
        bool trouve = false;
        for (uint16_t i = 0; i < valeursAutorisees.nombre() && !trouve; ++i) {
            const Code& valeur = valeursAutorisees.element(i);
            trouve = valeur.longueur() == n && std::memcmp(valeur.chaine(), octets, n) == 0;
        }
        if (!trouve) {
            if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: le champ [%s] ne fait pas partie des valeurs autorisées.",
                     ZoneKPX::texteTrace(octets, n, kMaximumTrace));
            cr = KPX_CR_CHAMP_BASE;
        }
    }
    if (detail) ::tracer(CAT_CONTROLE, NIV_DETAIL, "Champ::controler << OUT cr = 0x%04X", cr);
    return cr;
}

uint16_t Champ::controler(const uint8_t* octets, uint32_t n) const {
    return verifier(octets, n, NiveauTrace::ecrit(NIV_DETAIL), false);
}

void Champ::reduire(const uint8_t*& octets, uint32_t& n) const { reduireOctets(octets, n, NiveauTrace::ecrit(NIV_DETAIL)); }

EN_LIGNE uint16_t Champ::verifierType(const uint8_t*& octets, uint32_t& n, bool detail, bool muet) const {
    uint16_t cr = 0;
    reduireOctets(octets, n, detail);
    switch (type) {
        case TYPE_CODE:
            if (!estCode(octets, n)) {
                if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: le champ [%s] n'est pas un code valide.",
                         ZoneKPX::texteTrace(octets, n, kMaximumTrace));
                cr = KPX_CR_CHAMP_BASE;
            }
            break;
        case TYPE_BOOLEEN:
            if (n != 1 || (octets[0] != 'O' && octets[0] != 'N')) {
                if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: le champ [%s] n'est pas un booléen valide.",
                         ZoneKPX::texteTrace(octets, n, kMaximumTrace));
                cr = KPX_CR_CHAMP_BASE;
            }
            break;
        case TYPE_TEXTE:
        case TYPE_DATE:
        case TYPE_NOMBRE:
        case TYPE_MONTANT:
        case TYPE_COEFFICIENT:
        case TYPE_COEFFICIENT_TAUX: break;
        default:
            if (!muet) ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Type simple (%d) inconnu", static_cast<int>(type));
            cr = KPX_CR_NON_PREVU;
    }
    return cr;
}

EN_LIGNE uint16_t Champ::noterValeur(const uint8_t* octets, uint32_t n, ValeurChamp& valeur, bool detail) const {
    const uint16_t cr = verifierType(octets, n, detail, false);
    // The reduced bytes lie in the zone: the value is built from them when asked for.
    if (cr == 0)
        valeur.noter(static_cast<uint8_t>(type), octets, n);
    else
        valeur.vider();
    return cr;
}

EN_LIGNE uint16_t Champ::convertir(const uint8_t* octets, uint32_t n, ValeurChamp& valeur, bool detail) const {
    uint16_t cr = verifier(octets, n, detail, false);
    if (cr == 0) cr = noterValeur(octets, n, valeur, detail);
    return cr;
}

uint16_t Champ::transformer(const uint8_t* octets, uint32_t n, ValeurChamp& valeur) const {
    // Without the detail lines, the steps run with their line tests taken out.
    if (!NiveauTrace::ecrit(NIV_DETAIL)) {
        if (n != 0 || !accepteVide()) return convertir(octets, n, valeur, false);
        valeur.noter(static_cast<uint8_t>(type), octets, 0);
        return 0;
    }
    uint16_t cr = 0;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "Champ::transformer", cr);
    cr = convertir(octets, n, valeur, true);
    return cr;
}

uint16_t Champ::preparer(const uint8_t*& octets, uint32_t& n) const {
    uint16_t cr = verifier(octets, n, false, false);
    if (cr == 0) cr = verifierType(octets, n, false, false);
    return cr;
}

EN_LIGNE bool Champ::accepte(const uint8_t*& octets, uint32_t& n) const {
    const Reglage& r = reglage_;
    if (n == 0 && r.videAccepte) return true;
    if (!r.simple) return verifier(octets, n, false, true) == 0 && verifierType(octets, n, false, true) == 0;
    if (n < r.minimum || n > r.maximum) return false;
    if (r.classesEnvoye != 0 && !tousDans(octets, n, r.classesEnvoye)) return false;
    reduireSelon(r.reduction, octets, n);
    return r.classesReduit == 0 || tousDans(octets, n, r.classesReduit);
}

uint16_t Champ::constructionImpossible(uint8_t type) {
    ::tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: Construction type simple (%d) impossible", static_cast<int>(type));
    return KPX_CR_CONSTRUCTION;
}

char Champ::lettreFormat(uint32_t format) {
    switch (format) {
        case FORMAT_ALPHANUMERIQUE: return 'A';
        case FORMAT_NUMERIQUE: return 'N';
        case FORMAT_DATE: return 'D';
        case FORMAT_VALEURS: return 'E';
        default: return '*';
    }
}

bool Champ::formatDeLettre(char lettre, uint32_t& format) {
    switch (lettre) {
        case 'A': format = FORMAT_ALPHANUMERIQUE; return true;
        case 'N': format = FORMAT_NUMERIQUE; return true;
        case 'D': format = FORMAT_DATE; return true;
        case 'E': format = FORMAT_VALEURS; return true;
        case 'I': format = FORMAT_LIBRE; return true;
        default: return false;
    }
}

bool Champ::typeDeLettre(char lettre, uint32_t& type) {
    static const char kLettres[] = "CTBDNMFXA";  // in type code order
    const char* trouve = lettre != '\0' ? std::strchr(kLettres, lettre) : nullptr;
    if (trouve == nullptr) return false;
    type = static_cast<uint32_t>(trouve - kLettres);
    return true;
}

void Champ::tracer() const {
    std::string valeurs;
    if (valeursAutorisees.nombre() > 0) {
        valeurs = "[ ";
        for (uint16_t i = 0; i < valeursAutorisees.nombre(); ++i) {
            valeurs += valeursAutorisees.element(i).chaine();
            valeurs += ' ';
        }
        valeurs += "] ";
    }
    const char* nom = type <= TYPE_AUCUN ? TypeSimple::nomType(static_cast<uint8_t>(type)) : TypeSimple::nomType(0xFF);
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "  %c %u - %u %s--> %s", lettreFormat(format),
             static_cast<unsigned>(tailleMinimale), static_cast<unsigned>(tailleMaximale), valeurs.c_str(), nom);
}

// The group check of the zone controller lies here, so that every field's checks are inline in its loop.
void ControleurZone::preparerGroupe() {
    suivrePrets();
    pret_ = nombrePrets_ = suivis_ = 0;
    const uint64_t fin = zone_.finGroupe();
    if (fin > zone_.tailleDonnees || fin > zone_.tailleBuffer) return;
    // The last field of the data goes field by field: its read checks the end of the zone.
    const bool finDonnees = fin == zone_.tailleDonnees;
    // Locals, so that the fields written below make nothing be loaded again.
    const uint8_t* const buffer = zone_.buffer;
    const uint16_t nombre = groupeCourant_->nombreChamps();
    if (nombre == 0) return;
    const Champ* const champs = &groupeCourant_->champ(0);
    const uint16_t limite = nombre < kPrets ? nombre : kPrets;
    ChampLu* const prets = prets_;
    uint64_t position = zone_.debutChampSuivant();
    uint16_t i = 0;
    for (; i < limite && position < fin; ++i) {
        const uint8_t envoyee = buffer[position];
        const uint64_t suivante = position + 1 + envoyee;
        if (envoyee > 0x80 || suivante > fin) break;
        // The last described field must close its group, or its read finds a field too many.
        if (i + 1 == nombre && (suivante != fin || finDonnees)) break;
        const uint8_t* octets = buffer + position + 1;
        uint32_t longueur = envoyee;
        const Champ& description = champs[i];
        if (!description.accepte(octets, longueur)) break;
        prets[i] = {octets, longueur, static_cast<uint8_t>(description.type)};
        position = suivante;
    }
    nombrePrets_ = i;
}

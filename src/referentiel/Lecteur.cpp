// Every primitive records the position before reading, so a failing row can be
// located in the file; reads go through the unlocked stdio calls of one thread.
#include "referentiel/Lecteur.h"

#include <cctype>
#include <cstring>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/Codage.h"
#include "referentiel/Referentiel.h"

#if defined(_WIN32) && (defined(_UCRT) || __MSVCRT_VERSION__ >= 0x800)
#define KPX_GETC _getc_nolock
#define KPX_FREAD _fread_nolock
#elif defined(_WIN32)
// The system msvcrt.dll has no unlocked block read; its single reads are macros.
#define KPX_GETC _getc_nolock
#define KPX_FREAD fread
#else
#define KPX_GETC getc_unlocked
#define KPX_FREAD fread_unlocked
#endif

namespace {

constexpr const char* kNomFichierTables = "table_v2.kpx";
constexpr const char* kNomFichierModifications = "modrefv2.kpx";
constexpr size_t kTailleMotMax = 255;

void detail(const char* format, const char* valeur) { tracerDetail(CAT_CYCLE, NIV_DETAIL, format, valeur); }
void erreur(const char* message) { tracerDetail(CAT_CYCLE, NIV_ERREUR, "%s", message); }

// Fixed-width header value as a terminated text for the trace.
struct Champ {
    char texte[16];
    Champ(const char* octets, size_t n) {
        std::memcpy(texte, octets, n);
        texte[n] = '\0';
    }
};

bool estChiffres(const char* octets, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (octets[i] < '0' || octets[i] > '9') return false;
    return true;
}

uint16_t valeurDecimale(const char* octets, size_t n) {
    uint32_t valeur = 0;
    for (size_t i = 0; i < n && octets[i] >= '0' && octets[i] <= '9'; ++i) valeur = valeur * 10 + (octets[i] - '0');
    return static_cast<uint16_t>(valeur);
}

}  // namespace

Lecteur::Lecteur(Referentiel& referentiel, FILE* fichier) : referentiel_(referentiel), fichier_(fichier) {
    position_ = fichier_ ? std::ftell(fichier_) : -1;
    positionDerniereLecture_ = position_;
}

uint16_t Lecteur::prendrePosition() {
    if (position_ < 0) return KPX_CR_LECTURE;
    positionDerniereLecture_ = position_;
    return 0;
}

bool Lecteur::positionner(long offset, int origine) {
    if (fichier_ == nullptr || std::fseek(fichier_, offset, origine) != 0) return false;
    position_ = std::ftell(fichier_);
    return position_ >= 0;
}

uint16_t Lecteur::lireCaracteres(char* buffer, size_t n) {
    if (prendrePosition() != 0) return KPX_CR_LECTURE;
    const size_t lus = KPX_FREAD(buffer, 1, n, fichier_);
    position_ += static_cast<long>(lus);
    if (lus == n) return 0;
    return (lus == 0 && std::feof(fichier_)) ? kFinFichier : KPX_CR_LECTURE;
}

uint16_t Lecteur::lireOctet(char& c) {
    if (prendrePosition() != 0) return KPX_CR_LECTURE;
    const int lu = KPX_GETC(fichier_);
    if (lu == EOF) return KPX_CR_LECTURE;
    ++position_;
    c = static_cast<char>(lu);
    return 0;
}

uint16_t Lecteur::lireEntier16(uint16_t& n) {
    uint8_t octets[2];
    uint16_t cr = lireCaracteres(reinterpret_cast<char*>(octets), sizeof octets);
    if (cr != 0) return KPX_CR_LECTURE;
    n = Codage::lireEntier16(octets);
    return 0;
}

uint16_t Lecteur::lireEntierSigne16(int16_t& n) {
    uint16_t valeur = 0;
    uint16_t cr = lireEntier16(valeur);
    if (cr == 0) n = static_cast<int16_t>(valeur);
    return cr;
}

uint16_t Lecteur::lireEntier32(uint32_t& n) {
    uint8_t octets[4];
    uint16_t cr = lireCaracteres(reinterpret_cast<char*>(octets), sizeof octets);
    if (cr != 0) return KPX_CR_LECTURE;
    n = Codage::lireEntier32(octets);
    return 0;
}

uint16_t Lecteur::lireChaine(std::string& texte, char delimiteur) {
    if (prendrePosition() != 0) return KPX_CR_LECTURE;
    std::string lu;
    for (;;) {
        const int c = KPX_GETC(fichier_);
        if (c == EOF) return KPX_CR_LECTURE;
        ++position_;
        if (static_cast<char>(c) == delimiteur) break;
        try {
            lu.push_back(static_cast<char>(c));
        } catch (const std::bad_alloc&) {
            return KPX_CR_CONSTRUCTION;
        }
    }
    if (!lu.empty()) texte.swap(lu);
    return 0;
}

uint16_t Lecteur::lireDate(Date& date) {
    uint8_t octets[4];
    uint16_t cr = lireCaracteres(reinterpret_cast<char*>(octets), sizeof octets);
    if (cr != 0) return KPX_CR_LECTURE;
    date = Date(Codage::lireEntier16(octets), octets[2], octets[3]);
    return 0;
}

uint16_t Lecteur::lireDateTexte(Date& date) {
    char texte[8];
    uint16_t cr = lireCaracteres(texte, sizeof texte);
    if (cr != 0 || !estChiffres(texte, sizeof texte)) return KPX_CR_LECTURE;
    date = Date(valeurDecimale(texte, 4), static_cast<uint8_t>(valeurDecimale(texte + 4, 2)),
                static_cast<uint8_t>(valeurDecimale(texte + 6, 2)));
    return 0;
}

uint16_t Lecteur::lireNombre(double& valeur) {
    uint8_t octets[Codage::kTailleNombre];
    uint16_t cr = lireCaracteres(reinterpret_cast<char*>(octets), sizeof octets);
    if (cr != 0 || !Codage::decoderNombre(octets, valeur)) return KPX_CR_LECTURE;
    return 0;
}

uint16_t Lecteur::lireCRC(uint16_t& crc) {
    if (!positionner(0, SEEK_SET)) return KPX_CR_LECTURE;
    char texte[4];
    if (lireCaracteres(texte, sizeof texte) != 0) return KPX_CR_LECTURE;
    uint16_t valeur = 0;
    for (char c : texte) {
        int chiffre;
        if (c >= '0' && c <= '9') chiffre = c - '0';
        else if (c >= 'A' && c <= 'F') chiffre = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') chiffre = c - 'a' + 10;
        else return KPX_CR_LECTURE;
        valeur = static_cast<uint16_t>((valeur << 4) | chiffre);
    }
    crc = valeur;
    return 0;
}

// A whitespace-delimited word; the delimiter stays in the file.
uint16_t Lecteur::lireMot(std::string& mot) {
    if (prendrePosition() != 0) return KPX_CR_LECTURE;
    mot.clear();
    int c = KPX_GETC(fichier_);
    while (c != EOF && std::isspace(c)) {
        ++position_;
        c = KPX_GETC(fichier_);
    }
    while (c != EOF && !std::isspace(c) && mot.size() < kTailleMotMax) {
        ++position_;
        mot.push_back(static_cast<char>(c));
        c = KPX_GETC(fichier_);
    }
    if (c != EOF) std::ungetc(c, fichier_);
    return mot.empty() ? KPX_CR_LECTURE : 0;
}

uint16_t Lecteur::lireEnteteRef() {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Lecteur::lireEnteteRef : Lecture de l'entete du fichier du Referentiel");
    Referentiel& r = referentiel_;
    char separateur;
    auto echec = [](const char* message) {
        erreur(message);
        return KPX_CR_LECTURE;
    };
    auto lireSeparateur = [&]() { return lireOctet(separateur) == 0; };

    if (!positionner(0, SEEK_SET)) return echec("ERREUR de positionnement en debut de fichier");
    char crc[4];
    if (lireCaracteres(crc, sizeof crc) != 0) return echec("ERREUR: probleme lors de la lecture du CRC du fichier");
    detail("CRC = %s", Champ(crc, sizeof crc).texte);

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    std::string nom;
    if (lireMot(nom) != 0) return echec("ERREUR: probleme lors de la lecture du nom du fichier");
    detail("Nom du fichier : %s", nom.c_str());
    if (nom != kNomFichierTables) return echec("ERREUR: nom de fichier incorrect");

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    if (lireCaracteres(r.version, sizeof r.version) != 0)
        return echec("ERREUR: probleme lors de la lecture du numero de version du referentiel");
    if (!Codage::estCodeVersion(r.version))
        return echec("ERREUR: numero de version du referentiel n est pas un code valide");
    detail("Numero de version du referentiel : %s", Champ(r.version, sizeof r.version).texte);

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    if (lireCaracteres(r.versionBaseCCAM, sizeof r.versionBaseCCAM) != 0)
        return echec("ERREUR: probleme lors de la lecture du numéro de version de la base CCAM");
    if (!Codage::estCodeVersion(r.versionBaseCCAM))
        return echec("ERREUR: numero de version de la base CCAM n est pas un code valide");
    detail("Numero de version de la base CCAM : %s", Champ(r.versionBaseCCAM, sizeof r.versionBaseCCAM).texte);

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    Date date;
    if (lireDateTexte(date) != 0) return echec("ERREUR: probleme lors de la lecture de la date");
    detail("Date : %s", date.chaine());

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    if (lireCaracteres(r.versionMinimaleLogiciel, sizeof r.versionMinimaleLogiciel) != 0)
        return echec("ERREUR: probleme lors de la lecture de la version minimale de la partie logicielle");
    if (!Codage::estCodeVersion(r.versionMinimaleLogiciel))
        return echec("ERREUR: numero de version minimum logicielle n est pas un code valide");
    detail("Numero de version minimum : %s", Champ(r.versionMinimaleLogiciel, sizeof r.versionMinimaleLogiciel).texte);

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    char revision[5];
    if (lireCaracteres(revision, sizeof revision) != 0)
        return echec("ERREUR: probleme lors de la lecture du numero de revision");
    r.numeroRevision = valeurDecimale(revision, sizeof revision);
    detail("Numero de revision : %s", Champ(revision, sizeof revision).texte);

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    if (lireCaracteres(r.variante, sizeof r.variante) != 0)
        return echec("ERREUR: probleme lors de la lecture de la variante");
    if (!Codage::estCodeVersion(r.variante)) return echec("ERREUR: numero de la variante n est pas un code valide");
    detail("Variante du referentiel : %s", Champ(r.variante, sizeof r.variante).texte);

    if (!lireSeparateur()) return echec("ERREUR: probleme lors de la lecture du separateur");
    if (lireChaine(r.commentaire, '\r') != 0) return echec("ERREUR: probleme lors de la lecture du commentaire");
    detail("Commentaire : %s", r.commentaire.c_str());

    if (!positionner(2, SEEK_CUR)) return echec("ERREUR de positionnement en fin d'entete");
    return 0;
}

uint16_t Lecteur::lireEnteteModif() {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Lecteur::lireEnteteModif : Lecture de l'entete du fichier");
    Referentiel& r = referentiel_;
    char separateur;
    auto echec = [](const char* message) {
        erreur(message);
        return KPX_CR_LECTURE_MODIFICATIONS;
    };
    auto lireSeparateur = [&]() { return lireOctet(separateur) == 0; };
    const char* messageSeparateur = "ERREUR : probleme lors de la lecture du separateur";

    if (!positionner(0, SEEK_SET)) return echec("ERREUR de positionnement en debut de fichier");
    char crc[4];
    if (lireCaracteres(crc, sizeof crc) != 0) return echec("ERREUR: probleme lors de la lecture du CRC du fichier");
    detail("CRC = %s", Champ(crc, sizeof crc).texte);

    if (!lireSeparateur()) return echec(messageSeparateur);
    std::string nom;
    if (lireMot(nom) != 0) return echec("ERREUR : probleme de lecture du nom de fichier");
    detail("Nom du fichier : %s", nom.c_str());
    if (nom != kNomFichierModifications) return echec("ERREUR : nom de fichier incorrect");

    if (!lireSeparateur()) return echec(messageSeparateur);
    char version[4];
    if (lireCaracteres(version, sizeof version) != 0)
        return echec("ERREUR : probleme lors de la lecture du numero de version du referentiel");
    if (std::memcmp(version, r.version, sizeof version) != 0) {
        erreur("ERREUR : numero de version du referentiel, lu dans le fichier de modifications, different de celui du "
               "referentiel");
        detail("Numero de version lu dans le fichier de modifications : %s", Champ(version, sizeof version).texte);
        detail("Numero de version du Referentiel : %s", Champ(r.version, sizeof r.version).texte);
        return KPX_CR_VERSION_MODIFICATIONS;
    }
    detail("Numero de version du referentiel : %s", Champ(version, sizeof version).texte);

    if (!lireSeparateur()) return echec(messageSeparateur);
    char base[5];
    if (lireCaracteres(base, sizeof base) != 0)
        return echec("ERREUR : probleme lors de la lecture du numéro de version de la base CCAM");
    detail("Numero de version de la base CCAM : %s", Champ(base, sizeof base).texte);

    if (!lireSeparateur()) return echec(messageSeparateur);
    if (lireDateTexte(r.dateDerniereModification) != 0)
        return echec("ERREUR : probleme lors de la lecture de la date de derniere modification");
    detail("Date de derniere modification: %s", r.dateDerniereModification.chaine());

    if (!lireSeparateur()) return echec(messageSeparateur);
    char minimum[4];
    if (lireCaracteres(minimum, sizeof minimum) != 0)
        return echec("ERREUR : probleme lors de la lecture de la version minimale de la partie logicielle");
    detail("Numero de version minimum : %s", Champ(minimum, sizeof minimum).texte);

    if (!lireSeparateur()) return echec(messageSeparateur);
    char revision[5];
    if (lireCaracteres(revision, sizeof revision) != 0)
        return echec("ERREUR : probleme lors de la lecture du numero de revision");
    r.numeroRevision = valeurDecimale(revision, sizeof revision);
    detail("Numero de revision : %s", Champ(revision, sizeof revision).texte);

    if (!lireSeparateur()) return echec(messageSeparateur);
    if (lireCaracteres(r.variante, sizeof r.variante) != 0)
        return echec("ERREUR: probleme lors de la lecture de la variante");
    detail("Variante du referentiel : %s", Champ(r.variante, sizeof r.variante).texte);

    if (!lireSeparateur()) return echec(messageSeparateur);
    r.commentaire.clear();
    if (lireChaine(r.commentaire, '\r') != 0) return echec("ERREUR : probleme lors de la lecture du commentaire");
    detail("Commentaire : %s", r.commentaire.c_str());

    if (!positionner(2, SEEK_CUR)) return echec("ERREUR : probleme de positionnement en fin de fichier");
    return 0;
}

uint16_t Lecteur::lireVersionReferentiel(char version[5]) {
    const long retour = position_;
    if (!positionner(18, SEEK_SET)) return KPX_CR_LECTURE;
    uint16_t cr = lireCaracteres(version, 4) == 0 ? 0 : KPX_CR_LECTURE;
    version[4] = '\0';
    if (!positionner(retour, SEEK_SET)) cr = KPX_CR_LECTURE;
    return cr;
}

uint16_t Lecteur::lireEnteteTable(char identifiant[4], uint32_t& nombreLignes, long& position) {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Lecteur::lireEnteteTable : Lecture de l'entete de la table");
    const uint16_t lu = lireCaracteres(identifiant, 3);
    identifiant[3] = '\0';
    if (lu == kFinFichier) {
        tracerDetail(CAT_CYCLE, NIV_DETAIL, "Fin de fichier");
        tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour Lecteur::lireEnteteTable : EOF");
        return kFinFichier;
    }
    if (lu != 0) {
        erreur("ERREUR: probleme de lecture de l'identifiant");
        return KPX_CR_LECTURE;
    }
    if (!estChiffres(identifiant, 3)) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR: Identifiant de table non numerique, identifiant = %s", identifiant);
        return KPX_CR_LECTURE;
    }
    detail("Identifiant = %s", identifiant);
    if (lireEntier32(nombreLignes) != 0) {
        erreur("ERREUR: probleme de lecture du nombre de lignes");
        return KPX_CR_LECTURE;
    }
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Nombre de lignes = %lu", static_cast<unsigned long>(nombreLignes));
    if (lireEntier32(tailleTable_) != 0) {
        erreur("ERREUR: probleme de lecture de la taille de la table");
        return KPX_CR_LECTURE;
    }
    position = position_;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Taille de la table = %lu, offset des données = %ld",
                 static_cast<unsigned long>(tailleTable_), position);
    const long reste = restant();
    if (reste < 0 || static_cast<uint64_t>(tailleTable_) > static_cast<uint64_t>(reste)) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR: taille de la table superieure au reste du fichier (%ld octets)",
                     reste);
        return KPX_CR_LECTURE;
    }
    return 0;
}

long Lecteur::restant() {
    if (tailleFichier_ < 0) {
        if (fichier_ == nullptr || position_ < 0 || std::fseek(fichier_, 0, SEEK_END) != 0) return -1;
        tailleFichier_ = std::ftell(fichier_);
        if (std::fseek(fichier_, position_, SEEK_SET) != 0) tailleFichier_ = -1;
        if (tailleFichier_ < 0) return -1;
    }
    return tailleFichier_ >= position_ ? tailleFichier_ - position_ : 0;
}

uint16_t Lecteur::sauterTable() {
    return positionner(static_cast<long>(tailleTable_), SEEK_CUR) ? 0 : KPX_CR_LECTURE;
}

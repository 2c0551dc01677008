// Field readers of the act levels. Read failures keep the reader's code (0xD640,
// 0xDFFC); content faults are traced at the position of the field that holds them.
#include "referentiel/LectureNiveau.h"

#include "frame/Trace.h"
#include "referentiel/Codage.h"
#include "referentiel/Lecteur.h"

void LectureNiveau::verifier(bool condition, const char* message) {
    if (cr_ != 0 || condition) return;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR position 0x%08lX : %s", static_cast<unsigned long>(lecteur_.position()),
                 message);
    cr_ = KPX_CR_LECTURE;
}

void LectureNiveau::octet(char& valeur) {
    if (cr_ == 0) cr_ = lecteur_.lireOctet(valeur);
}

void LectureNiveau::caracteres(std::string& valeur, size_t n) {
    if (cr_ != 0) return;
    char tampon[256];
    if (n > sizeof tampon) {
        cr_ = KPX_CR_LECTURE;
        return;
    }
    uint16_t cr = lecteur_.lireCaracteres(tampon, n);
    // The end of the file inside a record is a truncated record, not the end of a table list.
    if (cr == Lecteur::kFinFichier) cr = KPX_CR_LECTURE;
    cr_ = cr;
    if (cr_ == 0) valeur.assign(tampon, n);
}

void LectureNiveau::entier16(uint16_t& valeur) {
    if (cr_ == 0) cr_ = lecteur_.lireEntier16(valeur);
}

void LectureNiveau::entier32(uint32_t& valeur) {
    if (cr_ == 0) cr_ = lecteur_.lireEntier32(valeur);
}

void LectureNiveau::chaine(std::string& valeur) {
    if (cr_ != 0) return;
    valeur.clear();
    cr_ = lecteur_.lireChaine(valeur);
}

void LectureNiveau::date(Date& valeur) {
    if (cr_ == 0) cr_ = lecteur_.lireDate(valeur);
}

void LectureNiveau::nombre(double& valeur) {
    if (cr_ == 0) cr_ = lecteur_.lireNombre(valeur);
}

void LectureNiveau::code(char& valeur, bool nonBlanc, const char* message) {
    octet(valeur);
    verifier(estCodeValide(&valeur, 1) && (!nonBlanc || estNonBlanc(&valeur, 1)), message);
}

void LectureNiveau::code(std::string& valeur, size_t n, bool nonBlanc, const char* message) {
    caracteres(valeur, n);
    if (cr_ != 0) return;
    verifier(estCodeValide(valeur.data(), n) && (!nonBlanc || estNonBlanc(valeur.data(), n)), message);
}

void LectureNiveau::chaineRenseignee(std::string& valeur, const char* message) {
    chaine(valeur);
    verifier(!valeur.empty(), message);
}

void LectureNiveau::dateDebut(Date& valeur, const char* message) {
    date(valeur);
    verifier(estDateValide(valeur), message);
}

void LectureNiveau::dateFin(Date& valeur, const char* message) {
    date(valeur);
    verifier(!valeur.estRenseigne() || estDateValide(valeur), message);
}

uint16_t LectureNiveau::compte(const char* messageVide) {
    uint16_t n = 0;
    entier16(n);
    if (messageVide != nullptr) verifier(n != 0, messageVide);
    return cr_ == 0 ? n : 0;
}

void LectureNiveau::listeCodes(std::vector<char>& valeurs, const char* messageVide, const char* message) {
    uint16_t n = compte(messageVide);
    reserver(valeurs, n);
    for (uint16_t i = 0; i < n && cr_ == 0; ++i) {
        char valeur = ' ';
        code(valeur, true, message);
        if (cr_ == 0) valeurs.push_back(valeur);
    }
}

void LectureNiveau::listeCodes(std::vector<std::string>& valeurs, size_t n, const char* messageVide,
                               const char* message) {
    uint16_t nombre = compte(messageVide);
    reserver(valeurs, nombre);
    for (uint16_t i = 0; i < nombre && cr_ == 0; ++i) {
        std::string valeur;
        code(valeur, n, true, message);
        if (cr_ == 0) valeurs.push_back(std::move(valeur));
    }
}

bool LectureNiveau::estCodeValide(const char* octets, size_t n) { return Codage::estCodeValide(octets, n); }

bool LectureNiveau::estNonBlanc(const char* octets, size_t n) { return Codage::estNonBlanc(octets, n); }

bool LectureNiveau::estDateValide(const Date& date) {
    return date.mois() >= 1 && date.mois() <= 12 && date.jour() >= 1 &&
           date.jour() <= Date::joursDuMois(date.mois(), date.annee());
}

// Field visitors of the row classes. Read faults trace the field's message and
// the class's code line, then give 0xD640; write faults give 0xD700.
#include "referentiel/LigneTable.h"

#include <string>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/Codage.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/LectureNiveau.h"
#include "referentiel/Table.h"

uint16_t LigneTable::lireLigne(Lecteur&) { return 0; }
uint16_t LigneTable::ecrireLigne(Ecrivain&) const { return 0; }
void LigneTable::afficher(uint16_t) const {}
uint16_t LigneTable::controlerLigne(const SourceTables&) const { return 0; }

void LigneTable::plagesVers(uint16_t, std::vector<ReferencePlage>&) {}

// ---- reading

void LectureLigne::refuser(const char* message, const char* suffixe) {
    cr_ = KPX_CR_LECTURE;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "%s%s, Code retour %s::lireLigne : 0x%04X", message,
                 suffixe != nullptr ? suffixe : "", classe_, cr_);
}

// The code of a primitive: a truncated row is unreadable whatever the primitive said.
bool LectureLigne::lu(uint16_t cr, const char* libelle) {
    if (cr == 0) return true;
    std::string message = std::string("ERREUR de lecture ") + libelle;
    refuser(message.c_str());
    if (cr == KPX_CR_CONSTRUCTION) cr_ = cr;
    return false;
}

void LectureLigne::code(char& valeur, const char* libelle, bool nonBlanc) {
    if (cr_ != 0 || !lu(lecteur_.lireOctet(valeur), libelle)) return;
    if (!Codage::estCodeValide(&valeur, 1) || (nonBlanc && !Codage::estNonBlanc(&valeur, 1)))
        refuser((std::string("ERREUR : ") + libelle).c_str(), " incorrect");
}

void LectureLigne::code(std::string& valeur, size_t n, const char* libelle, bool nonBlanc) {
    caracteres(valeur, n, libelle);
    if (cr_ != 0) return;
    if (!Codage::estCodeValide(valeur.data(), n) || (nonBlanc && !Codage::estNonBlanc(valeur.data(), n)))
        refuser((std::string("ERREUR : ") + libelle).c_str(), " incorrect");
}

void LectureLigne::caracteres(char& valeur, const char* libelle) {
    if (cr_ == 0) lu(lecteur_.lireOctet(valeur), libelle);
}

void LectureLigne::caracteres(std::string& valeur, size_t n, const char* libelle) {
    if (cr_ != 0) return;
    char tampon[256];
    if (n > sizeof tampon || !lu(lecteur_.lireCaracteres(tampon, n), libelle)) {
        if (cr_ == 0) lu(KPX_CR_LECTURE, libelle);
        return;
    }
    valeur.assign(tampon, n);
}

void LectureLigne::top(char& valeur, const char* libelle) {
    caracteres(valeur, libelle);
    if (cr_ == 0 && valeur != 'O' && valeur != 'N') refuser((std::string("ERREUR : ") + libelle).c_str(), " incorrect");
}

void LectureLigne::entier16(uint16_t& valeur, const char* libelle) {
    if (cr_ == 0) lu(lecteur_.lireEntier16(valeur), libelle);
}

void LectureLigne::entier32(uint32_t& valeur, const char* libelle, const char* messageNul) {
    if (cr_ != 0 || !lu(lecteur_.lireEntier32(valeur), libelle)) return;
    if (messageNul != nullptr && valeur == 0) refuser(messageNul);
}

void LectureLigne::chaine(std::string& valeur, const char* libelle, bool renseignee) {
    if (cr_ != 0) return;
    valeur.clear();
    if (!lu(lecteur_.lireChaine(valeur), libelle)) return;
    if (renseignee && valeur.empty()) refuser((std::string("ERREUR : ") + libelle).c_str(), " non renseigne");
}

void LectureLigne::dateDebut(Date& valeur, const char* libelle) {
    if (cr_ != 0 || !lu(lecteur_.lireDate(valeur), libelle)) return;
    if (!LectureNiveau::estDateValide(valeur)) refuser((std::string("ERREUR : ") + libelle).c_str(), " invalide");
}

void LectureLigne::dateFin(Date& valeur, const char* libelle) {
    if (cr_ != 0 || !lu(lecteur_.lireDate(valeur), libelle)) return;
    if (valeur.estRenseigne() && !LectureNiveau::estDateValide(valeur))
        refuser((std::string("ERREUR : ") + libelle).c_str(), " invalide");
}

void LectureLigne::nombre(double& valeur, const char* libelle) {
    if (cr_ == 0) lu(lecteur_.lireNombre(valeur), libelle);
}

void LectureLigne::nombre(double& valeur, const char* libelle, double minimum, const char* message) {
    nombre(valeur, libelle);
    if (cr_ == 0 && !(valeur >= minimum)) refuser(message);
}

namespace {

std::string libellePosition(const EnfantsPlage& enfants) {
    return enfants.libellePosition != nullptr ? enfants.libellePosition : std::string("Position des ") + enfants.nom;
}

std::string libelleNombre(const EnfantsPlage& enfants) {
    return enfants.libelleNombre != nullptr ? enfants.libelleNombre : std::string("Nombre de ") + enfants.nom;
}

}  // namespace

void LectureLigne::plage(Plage& valeur, const EnfantsPlage& enfants) {
    if (cr_ == 0) lu(lecteur_.lireEntier16(valeur.position), libellePosition(enfants).c_str());
    if (cr_ == 0) lu(lecteur_.lireEntier16(valeur.nombre), libelleNombre(enfants).c_str());
}

void LectureLigne::plage(PlageLongue& valeur, const EnfantsPlage& enfants) {
    if (cr_ == 0) lu(lecteur_.lireEntier32(valeur.position), libellePosition(enfants).c_str());
    if (cr_ == 0) lu(lecteur_.lireEntier16(valeur.nombre), libelleNombre(enfants).c_str());
}

// ---- writing

void EcritureLigne::ecrit(uint16_t cr) {
    if (cr == 0) return;
    cr_ = KPX_CR_ECRITURE;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR d'ecriture, Code retour %s::ecrireLigne : 0x%04X", classe_, cr_);
}

void EcritureLigne::octet(char valeur) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireOctet(valeur));
}

void EcritureLigne::caracteres(const std::string& valeur, size_t n) {
    if (cr_ != 0) return;
    std::string fixe(valeur, 0, n < valeur.size() ? n : valeur.size());
    fixe.resize(n, ' ');
    ecrit(ecrivain_.ecrireCaracteres(fixe.data(), n));
}

void EcritureLigne::date(const Date& valeur) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireDate(valeur));
}

void EcritureLigne::entier16(const uint16_t& valeur, const char*) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireEntier16(valeur));
}

void EcritureLigne::entier32(const uint32_t& valeur, const char*, const char*) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireEntier32(valeur));
}

void EcritureLigne::chaine(const std::string& valeur, const char*, bool) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireChaine(valeur));
}

void EcritureLigne::nombre(const double& valeur, const char*) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireNombre(valeur));
}

void EcritureLigne::plage(const Plage& valeur, const EnfantsPlage&) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireEntier16(valeur.position));
    if (cr_ == 0) ecrit(ecrivain_.ecrireEntier16(valeur.nombre));
}

void EcritureLigne::plage(const PlageLongue& valeur, const EnfantsPlage&) {
    if (cr_ == 0) ecrit(ecrivain_.ecrireEntier32(valeur.position));
    if (cr_ == 0) ecrit(ecrivain_.ecrireEntier16(valeur.nombre));
}

// ---- dump

void AffichageLigne::caracteres(const char& valeur, const char* libelle) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %c", libelle, valeur);
}

void AffichageLigne::caracteres(const std::string& valeur, size_t, const char* libelle) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %s", libelle, valeur.c_str());
}

void AffichageLigne::entier16(const uint16_t& valeur, const char* libelle) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %u", libelle, static_cast<unsigned>(valeur));
}

void AffichageLigne::entier32(const uint32_t& valeur, const char* libelle, const char*) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %lu", libelle, static_cast<unsigned long>(valeur));
}

void AffichageLigne::chaine(const std::string& valeur, const char* libelle, bool) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %s", libelle, valeur.c_str());
}

void AffichageLigne::date(const Date& valeur, const char* libelle) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %04u/%02u/%02u", libelle, valeur.annee(), valeur.mois(), valeur.jour());
}

void AffichageLigne::nombre(const double& valeur, const char* libelle, double, const char*) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %f", libelle, valeur);
}

void AffichageLigne::plage(const Plage& valeur, const EnfantsPlage& enfants) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %u", libellePosition(enfants).c_str(), valeur.position);
    tracerDetail(CAT_CYCLE, niveau_, "%s : %u", libelleNombre(enfants).c_str(), valeur.nombre);
}

void AffichageLigne::plage(const PlageLongue& valeur, const EnfantsPlage& enfants) {
    tracerDetail(CAT_CYCLE, niveau_, "%s : %lu", libellePosition(enfants).c_str(),
                 static_cast<unsigned long>(valeur.position));
    tracerDetail(CAT_CYCLE, niveau_, "%s : %u", libelleNombre(enfants).c_str(), valeur.nombre);
}

// ---- range checks

void ControleLigne::cle(const std::string& valeur, const char* libelle) {
    if (cle_) return;
    cle_ = true;
    texteCle_ = libelle;
    if (!texteCle_.empty() && texteCle_[0] >= 'a' && texteCle_[0] <= 'z') texteCle_[0] = static_cast<char>(texteCle_[0] - 'a' + 'A');
    texteCle_ += ' ' + valeur + " :";
}

void ControleLigne::verifier(uint32_t position, uint16_t nombre, const EnfantsPlage& enfants) {
    if (cr_ != 0) return;
    if (nombre == 0) {
        if (!enfants.obligatoire) return;
        if (!texteCle_.empty()) tracerDetail(CAT_CYCLE, NIV_ERREUR, "%s", texteCle_.c_str());
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : Le nombre de %s ne doit pas etre nul", enfants.nom);
        cr_ = KPX_CR_LECTURE;
        return;
    }
    const Table* enfant = tables_.table(enfants.identifiant);
    uint64_t lignes = enfant != nullptr ? enfant->nombreLignes() : 0;
    if (static_cast<uint64_t>(position) + nombre <= lignes) return;
    if (!texteCle_.empty()) tracerDetail(CAT_CYCLE, NIV_ERREUR, "%s", texteCle_.c_str());
    tracerDetail(CAT_CYCLE, NIV_ERREUR,
                 "ERREUR : Position + nombre de %s dépasse le nombre de lignes de la table %s", enfants.nom,
                 enfants.nomTable);
    cr_ = KPX_CR_LECTURE;
}

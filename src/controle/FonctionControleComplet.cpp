#include "controle/FonctionControleComplet.h"

#include <utility>
#include <vector>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "controle/SequencesControle.h"
#include "facture/Facture.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "frame/Trace.h"
#include "reglementation/Reglementation.h"
#include "tarification/Tarification.h"
#include "zone/Coefficient.h"
#include "zone/Montant.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

namespace {

enum : uint16_t {
    kRemplacant = 1150,
    kNatureMin = 1511,  // 1511 "AS", 1512 "MA", 1513 "AT", 1514 "PM", 1515 "SG"
    kNatureMax = 1515,
    kLigneActe = 1610,
    kDeplacement1 = 1620,
    kDeplacement2 = 1630,
    kExoneration = 1820,
    kEntente = 1840,
    kExecutant = 1870,
    kLieu = 1880,
    kBaseTheorique = 2020,
    kActeCCAM = 2100,
    kDents = 2200,
    kContextes = 3470,
    kOutrepassement = 3530,
    kForcage = 2000,
    kErreur = 3520,
};

const char* const kNatures[] = {"AS", "MA", "AT", "PM", "SG"};

bool estNature(uint16_t groupe) { return groupe >= kNatureMin && groupe <= kNatureMax; }
bool estLigne(uint16_t groupe) { return groupe == kLigneActe || groupe == kDeplacement1 || groupe == kDeplacement2; }

// Longest fields of the answer: rule code, overridable flag, label, message, count, line number, indicator.
constexpr uint32_t kCodeRegle = 9, kOutrePassable = 1, kTexte = 250, kNombre = 5, kNumeroLigne = 4, kIndicateur = 1;

// The error list's first room: an invoice of a few lines raises a few dozen violations.
constexpr uint16_t kErreursPrevues = 32;

// Fields of an error group before its prestation numbers.
constexpr uint32_t kChampsErreur = 5;

// A text's byte form without the virtual step: its characters where they lie.
void formeTexte(const Texte& texte, FormeOctets& forme) {
    forme.donnees = reinterpret_cast<const uint8_t*>(texte.chaine());
    forme.longueur = static_cast<uint32_t>(texte.longueur());
}

// A code the line leaves out takes its default, a literal of digits: built at its known length.
template <size_t N>
void ouDefaut(Optionnel<Code>& valeur, const char (&defaut)[N]) {
    if (!valeur) valeur.emplace(reinterpret_cast<const uint8_t*>(defaut), N - 1, Code::verifie);
}

}  // namespace

FonctionControleComplet::FonctionControleComplet(ZoneKPX* entree, const SuperGroupe* superGroupe,
                                                 LectureDonnees& lectureDonnees, Controle controleFacture)
    : Fonctions(entree, superGroupe), lecture(lectureDonnees), controle(std::move(controleFacture)) {}

FonctionControleComplet::~FonctionControleComplet() = default;

uint16_t FonctionControleComplet::controler(LectureDonnees& lecture, const SuperGroupe* racine, ZoneKPX* entree,
                                            ZoneSortie& sortie, uint16_t& niveau) {
    Reglementation reglementation(lecture);
    Tarification tarification(lecture);
    SequencesControle sequences(reglementation, tarification);
    FonctionControleComplet fonction(entree, racine, lecture, [&](Facture& facture, TypeListe<Erreur>& erreurs) {
        return facture.controler(sequences, erreurs);
    });
    return fonction.executer(sortie, niveau);
}

uint32_t FonctionControleComplet::tailleSortie(uint32_t lignes, uint32_t erreurs) {
    const uint32_t erreur =
        ZoneKPX::tailleGroupeContenu(ZoneKPX::tailleChamp(kCodeRegle) + ZoneKPX::tailleChamp(kOutrePassable) +
                                     2 * ZoneKPX::tailleChamp(kTexte) + ZoneKPX::tailleChamp(kNombre) +
                                     lignes * ZoneKPX::tailleChamp(kNombre));
    return erreurs * erreur + lignes * ZoneKPX::tailleGroupe({kNumeroLigne, kIndicateur});
}

uint16_t FonctionControleComplet::executer(ZoneSortie& sortie, uint16_t& niveau) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionControleComplet", "executer", cr);
    niveau = 0;
    Facture facture;
    lireEntete(cr, facture);
    lireNatureAssurance(cr, facture);
    lireLignes(cr, facture);
    lireChamp(cr, facture.caissePS);
    verifierFinZone(cr);

    // Room for what an invoice of a few lines raises, made at its first violation.
    TypeListe<Erreur> erreurs(kErreursPrevues);
    if (cr == 0) cr = controle(facture, erreurs);
    repondre(cr, facture, erreurs, sortie, niveau);
    return cr;
}

void FonctionControleComplet::lireEntete(uint16_t& cr, Facture& facture) {
    facture.numeroPS = lireConcatenation(cr);
    ignorerChamps(cr, 2);
    lireChamp(cr, facture.conventionPS);
    lireChamp(cr, facture.specialitePS);
    ignorerChamps(cr, 2);
    lireChamp(cr, facture.agrementRadio);
    ignorerChamps(cr, 3);
    facture.dateNaissance = lireDateNaissance(cr);
    // A replacing practitioner takes the invoice over.
    if (groupeSuivant(cr) == kRemplacant) {
        Optionnel<Code> remplacant = lireConcatenation(cr);
        if (remplacant) facture.numeroPS = std::move(remplacant);
    }
}

void FonctionControleComplet::lireNatureAssurance(uint16_t& cr, Facture& facture) {
    const uint16_t groupe = groupeSuivant(cr);
    if (cr != 0) return;
    if (!estNature(groupe)) {
        tracer(CAT_REGLE, NIV_ERREUR, "ERREUR: aucun groupe de nature d'assurance (151x)");
        cr = KPX_CR_NATURE_ASSURANCE;
        return;
    }
    facture.natureAssurance = Code(kNatures[groupe - kNatureMin]);
    ignorerChamps(cr, 1);
    const uint16_t suivant = groupeSuivant(cr);
    if (cr == 0 && estNature(suivant)) {
        tracer(CAT_REGLE, NIV_ERREUR, "ERREUR: plusieurs groupes de nature d'assurance (151x)");
        cr = KPX_CR_NATURE_ASSURANCE;
    }
}

void FonctionControleComplet::lireLignes(uint16_t& cr, Facture& facture) {
    while (cr == 0) {
        const uint16_t groupe = groupeSuivant(cr);
        if (cr != 0 || groupe == 0) return;
        // Full, and whatever follows: even the tail is one group too many.
        if (facture.nombreLignes() >= kLignesMax) {
            tracer(CAT_REGLE, NIV_ERREUR, "ERREUR: Nombre de groupes 1610, 1620 ou 1630 trop grand");
            cr = KPX_CR_TROP_DE_LIGNES;
            return;
        }
        if (!estLigne(groupe)) return;
        if (groupe == kLigneActe)
            lireLigneActe(cr, facture);
        else
            lireDeplacement(cr, facture, groupe == kDeplacement1 ? LigneActe::kDeplacement1 : LigneActe::kDeplacement2);
    }
}

bool FonctionControleComplet::sousGroupe(uint16_t& cr, uint16_t groupe, const LigneActe& ligne, uint16_t position) {
    if (cr != 0) return false;
    const uint16_t suivant = groupeSuivant(cr);
    if (cr != 0 || suivant != groupe) return false;
    verifierNumeroPrestation(cr, position, ligne.valeurNumero());
    return cr == 0;
}

void FonctionControleComplet::lirePrestation(uint16_t& cr, const Facture& facture, LigneActe& ligne, uint16_t groupe) {
    const auto position = static_cast<uint16_t>(facture.nombreLignes() + 1);
    if (groupe == kLigneActe) {
        lireChamp(cr, ligne.numero);
        lireChamp(cr, ligne.date);
        lireChamp(cr, ligne.lieuExecution);
        lireChamp(cr, ligne.prestation);
        ignorerChamps(cr, 2);
        lireChamp(cr, ligne.qualificatifDepense);
        ignorerChamps(cr, 3);
        lireChamp(cr, ligne.prixUnitaire);
        lireChamp(cr, ligne.baseRemboursement);
        lireChamp(cr, ligne.tauxRemboursement);
    } else {
        lireChamp(cr, ligne.numero);
        lireChamp(cr, ligne.date);
        lireChamp(cr, ligne.prestation);
        ignorerChamps(cr, 4);
        lireChamp(cr, ligne.tauxRemboursement);
        ignorerChamps(cr, 2);
        lireChamp(cr, ligne.qualificatifDepense);
    }
    if (sousGroupe(cr, kExoneration, ligne, position)) lireChamp(cr, ligne.exonerationTM);
    ouDefaut(ligne.exonerationTM, "0");
}

void FonctionControleComplet::lireLigneActe(uint16_t& cr, Facture& facture) {
    // A line whose CCAM act follows is made in that form at once rather than moved into it;
    // a wrong guess (a zone the walk refuses, or an act group out of its place) is put right below.
    std::unique_ptr<LigneActe> ligne;
    if (zoneEntree->annonceGroupe(kActeCCAM, {kLigneActe, kDeplacement1, kDeplacement2}))
        ligne = std::make_unique<LigneCCAM>();
    else
        ligne = std::make_unique<LigneActe>();
    lirePrestation(cr, facture, *ligne, kLigneActe);
    lireSousGroupesActe(cr, facture, ligne);
    if (cr == 0) cr = facture.ajouterLigne(std::move(ligne));
}

void FonctionControleComplet::lireSousGroupesActe(uint16_t& cr, const Facture& facture,
                                                  std::unique_ptr<LigneActe>& ligne) {
    const auto position = static_cast<uint16_t>(facture.nombreLignes() + 1);
    if (sousGroupe(cr, kEntente, *ligne, position)) lireChamp(cr, ligne->ententePrealable);
    ouDefaut(ligne->ententePrealable, "9");
    if (sousGroupe(cr, kExecutant, *ligne, position)) {
        ligne->numeroPS = lireConcatenation(cr);
        lireChamp(cr, ligne->specialitePS);
    } else {
        ligne->numeroPS = facture.numeroPS;
        ligne->specialitePS = facture.specialitePS;
    }
    if (sousGroupe(cr, kLieu, *ligne, position)) lireChamp(cr, ligne->identifiantLieu);
    ouDefaut(ligne->identifiantLieu, "");
    if (sousGroupe(cr, kBaseTheorique, *ligne, position)) lireChamp(cr, ligne->baseTheoriqueAMO);
    // A CCAM line only once its act group is read, whatever form it was made in.
    LigneCCAM* ccam = nullptr;
    if (sousGroupe(cr, kActeCCAM, *ligne, position)) {
        if (!ligne->baseTheoriqueAMO) cr = KPX_CR_BASE_THEORIQUE_ABSENTE;
        ccam = lireActeCCAM(cr, ligne);
    }
    if (sousGroupe(cr, kDents, *ligne, position)) {
        // A line that is no CCAM act has nothing to hold teeth: they are read and dropped.
        TypeListe<Code> aucune(LigneCCAM::kDentsMax);
        lireNumerosDents(cr, ccam != nullptr ? ccam->dents : aucune);
    }
    bool contextesLus = false;
    // Its first field is not the line's number: it is read and not compared.
    if (cr == 0 && groupeSuivant(cr) == kContextes) lireContextes(cr, *ligne, ccam, contextesLus);
    lireOutrepassements(cr, *ligne, position);
    if (cr == 0 && ccam != nullptr && !contextesLus)
        cr = static_cast<uint16_t>(KPX_CR_NUMERO_GROUPE_BASE + kContextes);
    if (ccam == nullptr && ligne->commeLigneCCAM() != nullptr) {
        ligne = std::make_unique<LigneActe>(std::move(*ligne));
        ligne->typeLigne = LigneActe::kActe;
    }
}

LigneCCAM* FonctionControleComplet::lireActeCCAM(uint16_t& cr, std::unique_ptr<LigneActe>& ligne) {
    if (cr != 0) return nullptr;
    LigneCCAM* ccam = ligne->commeLigneCCAM();
    if (ccam == nullptr) {
        auto lue = std::make_unique<LigneCCAM>(std::move(*ligne));
        ccam = lue.get();
        ligne = std::move(lue);
    }
    lireChamp(cr, ccam->acte);
    ignorerChamps(cr, 1);
    lireChamp(cr, ccam->activite);
    ccam->phase = lireCodeOuZero(cr);
    lireModificateurs(cr, ccam->modificateurs);
    lireChamp(cr, ccam->codeAssociation);
    lireChamp(cr, ccam->codeRemboursement);
    lireChamp(cr, ccam->supplementCharges);
    lireListeCaracteres(cr, ccam->donneesComplementaires);
    return cr == 0 ? ccam : nullptr;
}

void FonctionControleComplet::lireContextes(uint16_t& cr, const LigneActe& ligne, LigneCCAM* ccam,
                                            bool& contextesLus) {
    ignorerChamps(cr, 1);
    Nombre contextePS, contexteBS;
    lireChamp(cr, contextePS);
    lireChamp(cr, contexteBS);
    contextesLus = cr == 0;
    if (cr != 0 || ccam == nullptr) return;
    Nombre grille;
    cr = lecture.rechercherUneGrilleTarifaire(contextePS, contexteBS, ouVide(ligne.date), grille);
    if (cr == 0) ccam->grilleTarifaire = grille;
}

void FonctionControleComplet::lireOutrepassements(uint16_t& cr, const LigneActe& ligne, uint16_t position) {
    while (sousGroupe(cr, kOutrepassement, ligne, position)) {
        Code regle;
        lireChamp(cr, regle);
        if (cr != 0) return;
        const Nombre numero(ligne.valeurNumero());
        cr = reglesOutrepassees.ajouter(regle);
        if (cr == 0) cr = prestationsOutrepassees.ajouter(numero);
        if (cr == 0)
            tracerRegle("Règle %s outrepassée à la prestation n° %d", regle.chaine(),
                        static_cast<int>(numero.valeur()));
    }
}

void FonctionControleComplet::lireDeplacement(uint16_t& cr, Facture& facture, uint32_t typeLigne) {
    auto ligne = std::make_unique<LigneActe>();
    ligne->typeLigne = typeLigne;
    const auto position = static_cast<uint16_t>(facture.nombreLignes() + 1);
    lirePrestation(cr, facture, *ligne, typeLigne == LigneActe::kDeplacement1 ? kDeplacement1 : kDeplacement2);
    lireOutrepassements(cr, *ligne, position);
    if (cr == 0) cr = facture.ajouterLigne(std::move(ligne));
    if (cr == 0) cr = facture.setActeRattachement(static_cast<uint16_t>(position - 1));
}

bool FonctionControleComplet::estOutrepassee(const Erreur& erreur) const {
    // Most invoices override nothing: their violations are all answered.
    if (reglesOutrepassees.nombre() == 0) return false;
    if (!(erreur.outrePassable() == "O") || erreur.prestations.nombre() == 0) return false;
    for (uint16_t i = 0; i < erreur.prestations.nombre(); ++i) {
        bool trouvee = false;
        for (uint16_t j = 0; !trouvee && j < reglesOutrepassees.nombre(); ++j)
            trouvee = reglesOutrepassees.element(j) == erreur.codeRegle() &&
                      prestationsOutrepassees.element(j) == erreur.prestations.element(i);
        if (!trouvee) return false;
    }
    return true;
}

void FonctionControleComplet::repondre(uint16_t& cr, const Facture& facture, const TypeListe<Erreur>& erreurs,
                                       ZoneSortie& sortie, uint16_t& niveau) const {
    if (cr != 0) return;
    sortie.allouer(cr, tailleSortie(facture.nombreLignes(), erreurs.nombre()), CAT_REGLE);
    if (cr != 0) return;
    // Each group is written whole from the byte forms of its fields, kept side by side.
    std::vector<FormeOctets> formes(kChampsErreur);
    for (const auto& ligne : facture.lignes) {
        if (cr != 0 || !ligne->forcage || !ligne->forcage->estRenseigne()) continue;
        ouVide(ligne->numero).Nombre::formeOctets(formes[0]);
        formeTexte(*ligne->forcage, formes[1]);
        cr = sortie.ajouterGroupe(kForcage, formes.data(), 2);
    }
    for (uint16_t i = 0; cr == 0 && i < erreurs.nombre(); ++i) {
        const Erreur& erreur = erreurs.element(i);
        erreur.dump();
        if (estOutrepassee(erreur)) {
            tracerRegle("Erreur %d non restituée", static_cast<int>(i));
            continue;
        }
        const uint16_t prestations = erreur.prestations.nombre();
        const uint32_t champs = kChampsErreur + prestations;
        if (formes.size() < champs) formes.resize(champs);
        formeTexte(erreur.codeRegle(), formes[0]);
        formeTexte(erreur.outrePassable(), formes[1]);
        formeTexte(erreur.libelle(), formes[2]);
        formes[3].donnees = reinterpret_cast<const uint8_t*>(erreur.message.chaine());
        formes[3].longueur = static_cast<uint32_t>(erreur.message.longueur());
        Nombre(prestations).Nombre::formeOctets(formes[4]);
        for (uint16_t p = 0; p < prestations; ++p)
            erreur.prestations.element(p).Nombre::formeOctets(formes[kChampsErreur + p]);
        cr = sortie.ajouterGroupe(kErreur, formes.data(), champs);
        if (erreur.outrePassable() == "N")
            niveau = 2;
        else if (erreur.outrePassable() == "O" && niveau == 0)
            niveau = 1;
    }
    if (cr != 0) sortie.liberer();
}

#include "controle/FonctionsAppliquer.h"

#include <cstdio>
#include <string>

#include "KPXW32.h"
#include "consultation/Aiguillage.h"
#include "consultation/LectureDonnees.h"
#include "facture/Facture.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "frame/Trace.h"
#include "reglementation/Reglementation.h"
#include "tarification/Tarification.h"
#include "zone/Booleen.h"
#include "zone/Coefficient.h"
#include "zone/Montant.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

namespace {

using AiguillageAppliquer = Aiguillage<FonctionsAppliquer, ZoneSortie&>;

// Sorted by number for the binary search.
const AiguillageAppliquer::Entree kTable[] = {
    {67, &FonctionsAppliquer::C_Association},   {68, &FonctionsAppliquer::C_Base},
    {70, &FonctionsAppliquer::C_Compatibilite}, {71, &FonctionsAppliquer::C_Dent},
    {72, &FonctionsAppliquer::C_ExoActe},       {73, &FonctionsAppliquer::C_ExoFacture},
    {77, &FonctionsAppliquer::C_ExoPrevention}, {78, &FonctionsAppliquer::C_Pu},
};

enum Groupes : uint16_t {
    kResultatsDents = 3301,
    kCompatibilite = 3311,
    kAssociation = 3321,
    kPrixUnitaire = 3411,
    kBases = 3421,
    kExoneration = 3431,
    kFactureExoneree = 3441,
    kActeExoFacture = 3450,
    kLigneExoFacture = 3460,
    kDeplacementExoFacture = 3462,
    kOutrepassement = 3530,
    kResultatRetenu = 3531,
};

// Longest field of each kind in the answers.
constexpr uint32_t kNumero = 4, kMontant = 7, kCaractere = 1, kMessage = 250, kActe = 13;

const uint32_t kTailleDents =
    ZoneKPX::tailleGroupe({kNumero, kCaractere, kCaractere, kCaractere, kCaractere, kCaractere, kCaractere,
                           kCaractere, kCaractere, kCaractere, kCaractere, kCaractere, kCaractere, kCaractere,
                           kCaractere, kCaractere, kCaractere});
const uint32_t kTailleCompatibilite = ZoneKPX::tailleGroupe({kNumero, kCaractere, kCaractere, kMessage, kActe, kActe});
const uint32_t kTailleAssociation = ZoneKPX::tailleGroupe({kNumero, kNumero, kCaractere});
const uint32_t kTaillePrix = ZoneKPX::tailleGroupe({kNumero, kMontant});
const uint32_t kTailleBases = ZoneKPX::tailleGroupe({kNumero, kMontant, kMontant, kMontant});
const uint32_t kTailleExoneration = ZoneKPX::tailleGroupe({kNumero, kMontant, kCaractere});
const uint32_t kTailleFactureExoneree = ZoneKPX::tailleGroupe({kNumero, kCaractere});
const uint32_t kTailleRetenu = ZoneKPX::tailleGroupe({kNumero});

const char* const kDiagnosticCompatible = "1";

// The program's texts are written in UTF-8; the host reads the zone's texts as ISO 8859-1.
std::string enLatin1(const char* utf8) {
    std::string texte;
    for (const auto* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0; ++p) {
        if ((p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
            texte += static_cast<char>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
            ++p;
        } else {
            texte += static_cast<char>(*p);
        }
    }
    return texte;
}

// Two acts of one date and neither withheld are compared; what the pair found.
struct Diagnostic {
    Code code{kDiagnosticCompatible};
    Code paire;
    Code autreActe;
    Code procedure;

    void retenir(const Code& compatibilite, const Code& autre, const Code& procedureCommune) {
        code = compatibilite;
        autreActe = autre;
        procedure = procedureCommune;
    }
};

// The message of an act's diagnostic; false for a diagnostic no message knows.
bool messageDiagnostic(const Code& acte, const Diagnostic& d, std::string& message) {
    char texte[512];
    if (d.code == "1") {
        std::snprintf(texte, sizeof texte, enLatin1("L'acte %s est compatible avec les autres actes.").c_str(),
                      acte.chaine());
    } else if (d.code == "2") {
        std::snprintf(texte, sizeof texte,
                      enLatin1("L'acte %s appartient à la même procédure %s que l'acte %s ; ces deux actes peuvent "
                               "cependant être associés en renseignant le code \"association non prévue\".")
                          .c_str(),
                      acte.chaine(), d.procedure.chaine(), d.autreActe.chaine());
    } else if (d.code == "3") {
        std::snprintf(texte, sizeof texte,
                      enLatin1("L'acte %s appartient à la même procédure %s que l'acte %s ; ces deux actes ne "
                               "peuvent pas être associés.")
                          .c_str(),
                      acte.chaine(), d.procedure.chaine(), d.autreActe.chaine());
    } else if (d.code == "4") {
        std::snprintf(texte, sizeof texte,
                      enLatin1("L'acte %s est incompatible médicalement avec l'acte %s ; ces deux actes ne peuvent "
                               "pas être associés.")
                          .c_str(),
                      acte.chaine(), d.autreActe.chaine());
    } else {
        message.clear();
        return false;
    }
    message = texte;
    return true;
}

// Lines of an exonerated session whose rate and code the answer gives: its CCAM lines
// and the lines attached to them.
const LigneCCAM* acteDeSeance(const LigneActe& ligne, const Seance& seance) {
    const LigneCCAM* ccam = ligne.commeLigneCCAM();
    if (ccam == nullptr && ligne.rattachement != nullptr) ccam = ligne.rattachement->commeLigneCCAM();
    return ccam != nullptr && ccam->seance == &seance ? ccam : nullptr;
}

template <class T>
T& valeurOuNouvelle(Optionnel<T>& valeur) {
    return valeur ? *valeur : valeur.emplace();
}

}  // namespace

FonctionsAppliquer::FonctionsAppliquer(ZoneKPX* entree, const SuperGroupe* superGroupe, Reglementation& regles,
                                       Tarification& tarifs, LectureDonnees& lectureDonnees)
    : Fonctions(entree, superGroupe), reglementation(regles), tarification(tarifs), lecture(lectureDonnees) {}

FonctionsAppliquer::~FonctionsAppliquer() = default;

uint16_t FonctionsAppliquer::executer(uint16_t numero, ZoneSortie& sortie) {
    static const AiguillageAppliquer aiguillage(kTable, CAT_REGLE, "de règle");
    const uint16_t cr = aiguillage.executer(*this, numero, sortie);
    // Only a success or a rule warning keeps the zone it began.
    if (cr != 0 && cr != KPX_CR_REGLE_AVERTISSEMENT_1 && cr != KPX_CR_REGLE_AVERTISSEMENT_2) sortie.liberer();
    return cr;
}

uint16_t FonctionsAppliquer::appliquer(LectureDonnees& lecture, const SuperGroupe* racine, uint16_t numero,
                                       ZoneKPX* entree, ZoneSortie& sortie) {
    Reglementation reglementation(lecture);
    Tarification tarification(lecture);
    FonctionsAppliquer fonctions(entree, racine, reglementation, tarification, lecture);
    return fonctions.executer(numero, sortie);
}

// --- Reading ---

void FonctionsAppliquer::remplirDebrayage(uint16_t& cr, const char* service, TypeListe<Code>& regles) {
    if (cr == 0) cr = lecture.rechercherReglesEntrainantDebrayage(Texte(service), regles);
}

std::unique_ptr<Code> FonctionsAppliquer::lireOutrepassement(uint16_t& cr, uint16_t position, const LigneActe& ligne) {
    verifierNumeroPrestation(cr, position, ligne.valeurNumero());
    std::unique_ptr<Code> regle = lireChamp<Code>(cr);
    if (cr != 0) return nullptr;
    if (!regle) regle = std::make_unique<Code>();
    tracerRegle("Règle %s outrepassée à la prestation n° %d", regle->chaine(), static_cast<int>(ligne.valeurNumero()));
    return regle;
}

bool FonctionsAppliquer::extraireGroupes3530(uint16_t& cr, uint16_t position, const LigneActe& ligne) {
    tracerRegle("FonctionsAppliquer::extraireGroupes3530 >> IN : ligne n° %d", static_cast<int>(position));
    const std::unique_ptr<Code> regle = lireOutrepassement(cr, position, ligne);
    const bool debrayage = regle && reglesDebrayage.contient(*regle);
    tracerRegle("FonctionsAppliquer::extraireGroupes3530 << OUT : top débrayage = %s", vraiFaux(debrayage));
    return debrayage;
}

void FonctionsAppliquer::lireOutrepassements(uint16_t& cr, uint16_t position, LigneActe& ligne) {
    bool debrayage = false;
    while (cr == 0 && groupeSuivant(cr) == kOutrepassement)
        debrayage = extraireGroupes3530(cr, position, ligne) || debrayage;
    if (debrayage) ligne.debrayer();
}

template <class Lecture>
void FonctionsAppliquer::lireActes(uint16_t& cr, Facture& facture, const char* tropDActes, Lecture lireActe) {
    while (cr == 0 && groupeSuivant(cr) != 0) {
        if (facture.nombreLignes() >= kActesMax) {
            tracer(CAT_REGLE, NIV_ERREUR, "%s", tropDActes);
            cr = KPX_CR_TROP_DE_LIGNES;
            break;
        }
        const auto position = static_cast<uint16_t>(facture.nombreLignes() + 1);
        auto ligne = std::make_unique<LigneCCAM>(LigneActe());
        lireChamp(cr, ligne->numero);
        lireChamp(cr, ligne->date);
        lireActe(cr, *ligne, position);
        lireOutrepassements(cr, position, *ligne);
        if (cr == 0) cr = facture.ajouterLigne(std::move(ligne));
    }
}

void FonctionsAppliquer::lireGrilleTarifaire(uint16_t& cr, LigneCCAM& ligne) {
    ignorerChamps(cr, 1);
    const auto contextePS = lireChamp<Nombre>(cr);
    const auto contexteBeneficiaire = lireChamp<Nombre>(cr);
    if (cr != 0) return;
    Nombre grille;
    cr = lecture.rechercherUneGrilleTarifaire(ouVide(contextePS), ouVide(contexteBeneficiaire), ouVide(ligne.date),
                                              grille);
    if (cr == 0) ligne.grilleTarifaire = Nombre(grille);
}

void FonctionsAppliquer::lireNumeroPS(uint16_t& cr, LigneActe& ligne) {
    Optionnel<Code> numeroPS = lireConcatenation(cr);
    if (numeroPS) ligne.numeroPS = std::move(numeroPS);
}

void FonctionsAppliquer::lireActesAssocies(uint16_t& cr, Facture& facture) {
    lireActes(cr, facture, "ERREUR: Nombre de groupes 3310 trop grand", [&](uint16_t& c, LigneCCAM& ligne, uint16_t) {
        lireChamp(c, ligne.acte);
        lireChamp(c, ligne.activite);
        lireNumeroPS(c, ligne);
    });
}

template <class Regle>
void FonctionsAppliquer::parAssociation(uint16_t& cr, Facture& facture, Regle appliquerA) {
    if (cr != 0) return;
    facture.construireAssociations();
    facture.dump();
    for (AssociationCCAM* a = facture.associations.get(); cr == 0 && a != nullptr; a = a->suivante.get())
        if (!a->topDebrayage) cr = appliquerA(*a);
}

uint32_t FonctionsAppliquer::tailleParAssociation(const Facture& facture, uint32_t tailleGroupe) {
    uint32_t taille = 0;
    for (const auto& ligne : facture.lignes)
        taille += ligne->commeLigneCCAM()->association->topDebrayage ? kTailleRetenu : tailleGroupe;
    return taille;
}

// --- Handlers ---

uint16_t FonctionsAppliquer::C_Dent(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsAppliquer", "C_Dent", cr);
    const auto numero = lireChamp<Nombre>(cr);
    const auto date = lireChamp<Date>(cr);
    const auto acte = lireChamp<Code>(cr);
    const auto activite = lireChamp<Code>(cr);
    const auto phase = lireCodeOuZero(cr);
    verifierNumeroPrestation(cr, 1, ouVide(numero).valeur());
    TypeListe<Code> dents(kMaxDents);
    lireNumerosDents(cr, dents);
    verifierFinZone(cr);
    TypeListe<Booleen> resultats(kMaxDents);
    if (cr == 0)
        cr = reglementation.appliquerCDent(ouVide(acte), ouVide(activite), ouVide(phase), dents, ouVide(date),
                                           resultats);
    allouerZoneSortie(cr, sortie, kTailleDents, CAT_REGLE);
    ajouterGroupe(cr, sortie, kResultatsDents);
    ajouterChamp(cr, sortie, ouVide(numero));
    for (uint16_t i = 0; i < kMaxDents; ++i) {
        if (i < resultats.nombre())
            ajouterChamp(cr, sortie, resultats.element(i));
        else
            ajouterChampVide(cr, sortie);
    }
    return cr;
}

uint16_t FonctionsAppliquer::C_Compatibilite(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsAppliquer", "C_Compatibilite", cr);
    remplirDebrayage(cr, "C-Compatibilite", reglesDebrayage);
    Facture facture;
    lireActesAssocies(cr, facture);
    std::vector<Diagnostic> diagnostics(facture.nombreLignes());
    for (uint16_t i = 0; cr == 0 && i < facture.nombreLignes(); ++i) {
        const LigneCCAM& a = *facture.lignes[i]->commeLigneCCAM();
        for (uint16_t j = i + 1; cr == 0 && j < facture.nombreLignes(); ++j) {
            const LigneCCAM& b = *facture.lignes[j]->commeLigneCCAM();
            if (!memeValeur(a.date, b.date) || a.topDebrayageLigne || b.topDebrayageLigne) continue;
            Code compatibilite, procedure;
            cr = reglementation.appliquerCCompatibilite(ouVide(a.acte), ouVide(a.activite), ouVide(a.numeroPS),
                                                        ouVide(b.acte), ouVide(b.activite), ouVide(b.numeroPS),
                                                        ouVide(a.date), compatibilite, procedure);
            if (cr != 0) break;
            diagnostics[i].paire = diagnostics[j].paire = compatibilite;
            const bool incompatibles = compatibilite == "3" || compatibilite == "4";
            if (incompatibles || (compatibilite == "2" && diagnostics[i].code == kDiagnosticCompatible))
                diagnostics[i].retenir(compatibilite, ouVide(b.acte), procedure);
            if (incompatibles || (compatibilite == "2" && diagnostics[j].code == kDiagnosticCompatible))
                diagnostics[j].retenir(compatibilite, ouVide(a.acte), procedure);
        }
    }
    std::vector<std::string> messages(facture.nombreLignes());
    uint32_t taille = 0;
    for (uint16_t i = 0; cr == 0 && i < facture.nombreLignes(); ++i) {
        const LigneActe& ligne = *facture.lignes[i];
        taille += ligne.topDebrayageLigne ? kTailleRetenu : kTailleCompatibilite;
        if (ligne.topDebrayageLigne) continue;
        if (!messageDiagnostic(ouVide(ligne.commeLigneCCAM()->acte), diagnostics[i], messages[i])) {
            tracer(CAT_REGLE, NIV_ERREUR, "Code diagnostic (%s) inconnu", diagnostics[i].code.chaine());
            cr = KPX_CR_NON_PREVU;
        }
    }
    allouerZoneSortie(cr, sortie, taille, CAT_REGLE);
    for (uint16_t i = 0; cr == 0 && i < facture.nombreLignes(); ++i) {
        const LigneActe& ligne = *facture.lignes[i];
        ajouterGroupe(cr, sortie, ligne.topDebrayageLigne ? kResultatRetenu : kCompatibilite);
        ajouterChamp(cr, sortie, ouVide(ligne.numero));
        if (ligne.topDebrayageLigne) continue;
        const Diagnostic& d = diagnostics[i];
        ajouterChamp(cr, sortie, d.code);
        ajouterChamp(cr, sortie, d.paire);
        ajouterChamp(cr, sortie, Texte(messages[i].c_str()));
        ajouterChamp(cr, sortie, d.autreActe);
        ajouterChamp(cr, sortie, d.procedure);
    }
    return cr;
}

uint16_t FonctionsAppliquer::C_Association(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsAppliquer", "C_Association", cr);
    remplirDebrayage(cr, "C-Association", reglesDebrayage);
    Facture facture;
    lireActesAssocies(cr, facture);
    parAssociation(cr, facture, [&](AssociationCCAM& a) { return reglementation.appliquerCAssociation(a); });
    // The associations may not exist: nothing is answered after a failure.
    if (cr != 0) return cr;
    allouerZoneSortie(cr, sortie, tailleParAssociation(facture, kTailleAssociation), CAT_REGLE);
    for (const auto& ligne : facture.lignes) {
        const AssociationCCAM& association = *ligne->commeLigneCCAM()->association;
        ajouterGroupe(cr, sortie, association.topDebrayage ? kResultatRetenu : kAssociation);
        ajouterChamp(cr, sortie, ouVide(ligne->numero));
        if (association.topDebrayage) continue;
        ajouterChamp(cr, sortie, association.numero);
        ajouterChamp(cr, sortie, ouVide(association.codeCalcule));
    }
    return cr;
}

uint16_t FonctionsAppliquer::C_Pu(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsAppliquer", "C_Pu", cr);
    remplirDebrayage(cr, "C-Pu", reglesDebrayage);
    ignorerChamps(cr, 1);
    const auto caissePS = lireChamp<Code>(cr);
    Facture facture;
    lireActes(cr, facture, "ERREUR: Nombre de groupes 3410 trop grand", [&](uint16_t& c, LigneCCAM& ligne, uint16_t) {
        lireChamp(c, ligne.acte);
        lireChamp(c, ligne.activite);
        ligne.phase = lireCodeOuZero(c);
        lireGrilleTarifaire(c, ligne);
        ligne.prixUnitaire = Montant(0.0);
    });
    for (size_t i = 0; cr == 0 && i < facture.lignes.size(); ++i) {
        LigneCCAM& ligne = *facture.lignes[i]->commeLigneCCAM();
        if (ligne.topDebrayageLigne) continue;
        cr = tarification.appliquerProd840(ouVide(ligne.acte), ouVide(ligne.activite), ouVide(ligne.phase),
                                           ouVide(ligne.grilleTarifaire), ouVide(ligne.date), caissePS.get(),
                                           *ligne.prixUnitaire);
    }
    uint32_t taille = 0;
    for (const auto& ligne : facture.lignes) taille += ligne->topDebrayageLigne ? kTailleRetenu : kTaillePrix;
    allouerZoneSortie(cr, sortie, taille, CAT_REGLE);
    for (const auto& ligne : facture.lignes) {
        ajouterGroupe(cr, sortie, ligne->topDebrayageLigne ? kResultatRetenu : kPrixUnitaire);
        ajouterChamp(cr, sortie, ouVide(ligne->numero));
        if (!ligne->topDebrayageLigne) ajouterChamp(cr, sortie, *ligne->prixUnitaire);
    }
    return cr;
}

uint16_t FonctionsAppliquer::C_Base(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsAppliquer", "C_Base", cr);
    remplirDebrayage(cr, "C-Base", reglesDebrayage);
    const auto conventionPS = lireChamp<Code>(cr);
    ignorerChamps(cr, 1);
    Facture facture;
    lireActes(cr, facture, "ERREUR: Nombre de groupes 3420 trop grand",
              [&](uint16_t& c, LigneCCAM& ligne, uint16_t position) {
                  lireChamp(c, ligne.lieuExecution);
                  lireChamp(c, ligne.identifiantLieu);
                  lireChamp(c, ligne.acte);
                  lireChamp(c, ligne.activite);
                  ligne.phase = lireCodeOuZero(c);
                  lireModificateurs(c, ligne.modificateurs);
                  lireChamp(c, ligne.codeAssociation);
                  lireChamp(c, ligne.codeRemboursement);
                  lireChamp(c, ligne.supplementCharges);
                  lireNumeroPS(c, ligne);
                  lireGrilleTarifaire(c, ligne);
                  verifierNumeroPrestation(c, position, ligne.valeurNumero());
                  lireChamp(c, ligne.prixUnitaire);
                  ligne.baseRemboursement = Montant(0.0);
                  ligne.baseHorsForfait = Montant(0.0);
                  ligne.baseTheoriqueAMO = Montant(0.0);
              });
    parAssociation(cr, facture, [&](AssociationCCAM& a) { return tarification.appliquerCBase(conventionPS.get(), a); });
    // The associations may not exist: nothing is answered after a failure.
    if (cr != 0) return cr;
    allouerZoneSortie(cr, sortie, tailleParAssociation(facture, kTailleBases), CAT_REGLE);
    for (const auto& ligne : facture.lignes) {
        const bool retenu = ligne->commeLigneCCAM()->association->topDebrayage;
        ajouterGroupe(cr, sortie, retenu ? kResultatRetenu : kBases);
        ajouterChamp(cr, sortie, ouVide(ligne->numero));
        if (retenu) continue;
        ajouterChamp(cr, sortie, *ligne->baseRemboursement);
        ajouterChamp(cr, sortie, *ligne->commeLigneCCAM()->baseHorsForfait);
        ajouterChamp(cr, sortie, *ligne->baseTheoriqueAMO);
    }
    return cr;
}

uint16_t FonctionsAppliquer::C_ExoActe(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsAppliquer", "C_ExoActe", cr);
    ignorerChamps(cr, 1);
    const auto caissePS = lireChamp<Code>(cr);
    const auto numero = lireChamp<Nombre>(cr);
    const auto date = lireChamp<Date>(cr);
    const auto acte = lireChamp<Code>(cr);
    const auto motif = lireChamp<Code>(cr);
    verifierNumeroPrestation(cr, 1, ouVide(numero).valeur());
    ignorerChamps(cr, 1);
    const auto baseHorsForfait = lireChamp<Montant>(cr);
    ignorerChamps(cr, 1);
    verifierFinZone(cr);
    Coefficient taux;
    Code exonerationTM;
    Booleen factureExoneree(false);
    if (cr == 0)
        cr = tarification.appliquerCExoActe(caissePS.get(), ouVide(acte), ouVide(date), ouVide(baseHorsForfait),
                                            ouVide(motif), taux, exonerationTM, factureExoneree);
    allouerZoneSortie(cr, sortie, kTailleExoneration + kTailleFactureExoneree, CAT_REGLE);
    ajouterGroupe(cr, sortie, kExoneration);
    ajouterChamp(cr, sortie, ouVide(numero));
    ajouterExoneration(cr, sortie, taux, &exonerationTM);
    ajouterGroupe(cr, sortie, kFactureExoneree);
    ajouterChamp(cr, sortie, ouVide(numero));
    ajouterChamp(cr, sortie, factureExoneree);
    return cr;
}

uint16_t FonctionsAppliquer::C_ExoPrevention(ZoneSortie& sortie) {
    uint16_t cr = 0;
    tracerRegle("FonctionsAppliquer::C_ExoPrevention >> in");
    ALaSortie sortieTrace([&] { tracerRegle("FonctionsAppliquer::C_ExoPrevention << OUT : cr = 0x%04X", cr); });
    const auto numero = lireChamp<Nombre>(cr);
    const auto date = lireChamp<Date>(cr);
    const auto acte = lireChamp<Code>(cr);
    const auto prevention = lireChamp<Booleen>(cr);
    verifierFinZone(cr);
    Coefficient taux;
    Code exonerationTM;
    if (cr == 0)
        cr = tarification.appliquerCExoPrevention(ouVide(acte), ouVide(prevention), ouVide(date), taux, exonerationTM);
    // The prevention flag and the act's codes disagree: the rate found is still answered.
    const uint16_t avertissement =
        cr == KPX_CR_REGLE_AVERTISSEMENT_1 || cr == KPX_CR_REGLE_AVERTISSEMENT_2 ? cr : uint16_t{0};
    if (avertissement != 0) cr = 0;
    allouerZoneSortie(cr, sortie, kTailleExoneration, CAT_REGLE);
    ajouterGroupe(cr, sortie, kExoneration);
    ajouterChamp(cr, sortie, ouVide(numero));
    ajouterExoneration(cr, sortie, taux, &exonerationTM);
    if (cr == 0) cr = avertissement;
    return cr;
}

uint16_t FonctionsAppliquer::C_ExoFacture(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsAppliquer", "C_ExoFacture", cr);
    TypeListe<Code> prod790C;
    remplirDebrayage(cr, "C-ExoFacture", reglesDebrayage);
    remplirDebrayage(cr, "C-ExoFacture-2", prod790C);
    ignorerChamps(cr, 1);
    Facture facture;
    lireChamp(cr, facture.caissePS);
    std::vector<bool> sans790C;
    for (uint16_t groupe = groupeSuivant(cr); cr == 0 && groupe != 0; groupe = groupeSuivant(cr)) {
        if (facture.nombreLignes() >= kActesMax) {
            tracer(CAT_REGLE, NIV_ERREUR, "Nombre de groupes 3450, 3460 et 3462 trop grand");
            cr = KPX_CR_TROP_DE_LIGNES;
        } else if (groupe == kActeExoFacture) {
            lireActeExoFacture(cr, facture, reglesDebrayage, prod790C, sans790C);
        } else if (groupe == kLigneExoFacture) {
            lireLigneExoFacture(cr, facture);
        } else if (groupe == kDeplacementExoFacture) {
            lireDeplacementExoFacture(cr, facture);
        } else {
            tracer(CAT_REGLE, NIV_ERREUR, "Groupe %d non attendu dans zone d'entrée", static_cast<int>(groupe));
            cr = KPX_CR_NON_PREVU;
        }
        sans790C.resize(facture.nombreLignes(), false);
    }
    if (cr != 0) return cr;
    facture.construireSeances();
    // A line disengaged while read had no session yet to disengage with it.
    for (auto& ligne : facture.lignes)
        if (ligne->topDebrayageLigne) ligne->debrayer();
    facture.dump();
    cr = exonererSeances(facture, sans790C);
    std::vector<const LigneActe*> ecrites;
    for (const Seance* seance = facture.seances.get(); seance != nullptr; seance = seance->suivante.get()) {
        if (seance->seanceExoneree != Seance::kExoneree) continue;
        for (const auto& ligne : facture.lignes)
            if (acteDeSeance(*ligne, *seance) != nullptr) ecrites.push_back(ligne.get());
    }
    allouerZoneSortie(cr, sortie, static_cast<uint32_t>(ecrites.size()) * kTailleExoneration, CAT_REGLE);
    for (const LigneActe* ligne : ecrites) {
        ajouterGroupe(cr, sortie, ligne->topDebrayageLigne ? kResultatRetenu : kExoneration);
        ajouterChamp(cr, sortie, ouVide(ligne->numero));
        if (!ligne->topDebrayageLigne)
            ajouterExoneration(cr, sortie, ouVide(ligne->tauxRemboursement), ligne->exonerationTM.get());
    }
    return cr;
}

void FonctionsAppliquer::lireActeExoFacture(uint16_t& cr, Facture& facture, const TypeListe<Code>& seuil,
                                            const TypeListe<Code>& prod790C, std::vector<bool>& sans790C) {
    const auto position = static_cast<uint16_t>(facture.nombreLignes() + 1);
    auto ligne = std::make_unique<LigneCCAM>(LigneActe());
    lireChamp(cr, ligne->numero);
    lireChamp(cr, ligne->date);
    lireChamp(cr, ligne->acte);
    verifierNumeroPrestation(cr, position, ligne->valeurNumero());
    lireChamp(cr, ligne->baseRemboursement);
    lireChamp(cr, ligne->baseHorsForfait);
    ignorerChamps(cr, 1);
    verifierNumeroPrestation(cr, position, ligne->valeurNumero());
    lireChamp(cr, ligne->tauxRemboursement);
    lireChamp(cr, ligne->exonerationTM);
    if (cr == 0 && groupeSuivant(cr) == kFactureExoneree) {
        verifierNumeroPrestation(cr, position, ligne->valeurNumero());
        const auto exoneree = lireChamp<Code>(cr);
        if (exoneree && exoneree->longueur() > 0) ligne->topFactureExoneree = (*exoneree)[0];
    }
    bool sans790 = false;
    while (cr == 0 && groupeSuivant(cr) == kOutrepassement) {
        const auto regle = lireOutrepassement(cr, position, *ligne);
        if (!regle) break;
        if (seuil.contient(*regle)) {
            tracerRegle("Débrayage de la règle du seuil facture à cause de la règle %s, pour la prestation n° %d",
                        regle->chaine(), static_cast<int>(ligne->valeurNumero()));
            ligne->debrayer();
        }
        if (prod790C.contient(*regle)) {
            tracerRegle("Débrayage de la Prod790C à cause de la règle %s, pour la prestation n° %d", regle->chaine(),
                        static_cast<int>(ligne->valeurNumero()));
            sans790 = true;
        }
    }
    if (cr == 0) cr = facture.ajouterLigne(std::move(ligne));
    if (cr != 0) return;
    sans790C.resize(facture.nombreLignes(), false);
    sans790C.back() = sans790;
}

void FonctionsAppliquer::lireLigneExoFacture(uint16_t& cr, Facture& facture) {
    const auto position = static_cast<uint16_t>(facture.nombreLignes() + 1);
    auto ligne = std::make_unique<LigneActe>();
    lireChamp(cr, ligne->numero);
    lireChamp(cr, ligne->date);
    lireChamp(cr, ligne->prestation);
    verifierNumeroPrestation(cr, position, ligne->valeurNumero());
    lireChamp(cr, ligne->tauxRemboursement);
    lireChamp(cr, ligne->exonerationTM);
    if (cr == 0) cr = facture.ajouterLigne(std::move(ligne));
}

void FonctionsAppliquer::lireDeplacementExoFacture(uint16_t& cr, Facture& facture) {
    auto ligne = std::make_unique<LigneActe>();
    ligne->typeLigne = LigneActe::kDeplacement1;
    lireChamp(cr, ligne->numero);
    lireChamp(cr, ligne->date);
    lireChamp(cr, ligne->prestation);
    lireChamp(cr, ligne->tauxRemboursement);
    if (cr == 0) cr = facture.ajouterLigne(std::move(ligne));
    if (cr == 0) cr = facture.setActeRattachement(static_cast<uint16_t>(facture.nombreLignes() - 1));
}

uint16_t FonctionsAppliquer::exonererSeances(Facture& facture, const std::vector<bool>& sans790C) {
    uint16_t cr = 0;
    bool factureExoneree = false;
    for (const auto& ligne : facture.lignes) factureExoneree = factureExoneree || ligne->topFactureExoneree == 'O';
    for (Seance* seance = facture.seances.get(); cr == 0 && seance != nullptr; seance = seance->suivante.get()) {
        if (!seance->topDebrayage) cr = tarification.appliquerProd790B(facture.caissePS.get(), *seance);
        if (cr == 0 && factureExoneree) seance->seanceExoneree = Code(Seance::kExoneree);
        if (cr != 0 || seance->seanceExoneree != Seance::kExoneree) continue;
        for (size_t i = 0; cr == 0 && i < facture.lignes.size(); ++i) {
            LigneActe& ligne = *facture.lignes[i];
            const LigneCCAM* acte = acteDeSeance(ligne, *seance);
            if (acte == nullptr) continue;
            Coefficient& taux = valeurOuNouvelle(ligne.tauxRemboursement);
            if (LigneCCAM* ccam = ligne.commeLigneCCAM()) {
                if (!sans790C[i])
                    cr = tarification.appliquerProd790C(ouVide(ccam->acte), ouVide(ccam->date),
                                                        valeurOuNouvelle(ccam->exonerationTM), taux);
                continue;
            }
            ligne.topDebrayageLigne = acte->topDebrayageLigne;
            if (ligne.topDebrayageLigne) continue;
            cr = tarification.appliquerProd790C(ouVide(ligne.prestation), ouVide(acte->acte), ouVide(ligne.date), taux);
            ligne.exonerationTM = acte->exonerationTM;
        }
    }
    return cr;
}

void FonctionsAppliquer::ajouterExoneration(uint16_t& cr, ZoneSortie& sortie, const Coefficient& taux,
                                            const Code* exonerationTM) {
    if (taux == 0.0) {
        ajouterChampVide(cr, sortie);
        ajouterChampVide(cr, sortie);
        return;
    }
    ajouterMontant(cr, sortie, taux.valeur());
    ajouterChamp(cr, sortie, ouVide(exonerationTM));
}

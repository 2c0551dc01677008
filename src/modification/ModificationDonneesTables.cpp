// Pattern B: a change of a dated table (thresholds, non-contracted values, modifier
// values, unforeseen-association coefficients) is a copy of its newest row inserted at
// the head from the effective date, the previous row ending the day before. Also the
// grouping codes added locally, the replay of these records at load, and their
// cancellation, which takes the records' rows out and replays the records left.
#include <string>

#include "modification/ModificationDonnees.h"
#include "modification/OutilsModification.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Lignes.h"

namespace {

// The code list of the grouping codes' labels.
constexpr uint32_t kListeCodesRegroupement = 9;

double& seuilALaPosition(Seuil& seuil, int32_t position) {
    switch (position) {
        case 1: return seuil.seuilMetropole;
        case 2: return seuil.seuilAntilles;
        case 3: return seuil.seuilReunion;
        default: return seuil.seuilGuyane;
    }
}

bool positionSeuilValide(int32_t position) {
    if (position >= 1 && position <= 4) return true;
    tracerModification(NIV_ERREUR, "parametre positionSeuil incorrect");
    return false;
}

Code codeDe(char c) { return Code(&c, 1, Code::largeurFixe); }
Code codeDe(const std::string& champ) { return Code(champ.data(), champ.size(), Code::largeurFixe); }

PlageDatee tableEntiere(Table* table, const char* messageVide) {
    PlageDatee plage;
    plage.table = table;
    plage.nombre = table != nullptr ? table->nombreLignes() : 0;
    plage.messageVide = messageVide;
    return plage;
}

void tracerDate(const char* format, const Date& date) {
    tracerModification(NIV_ERREUR, format, date.annee(), date.mois(), date.jour());
}

}  // namespace

// --- The dated rows each kind of record changes --------------------------------------------

uint16_t ModificationDonnees::plageSeuils(PlageDatee& plage) {
    plage = tableEntiere(referentiel->table(Seuil::kIdentifiant), "table Seuils vide");
    return 0;
}

uint16_t ModificationDonnees::plageReductions(PlageDatee& plage) {
    plage = tableEntiere(referentiel->table(ReductionNonConventionne::kIdentifiant),
                         "table Reductions Non Conventionnes vide");
    return 0;
}

uint16_t ModificationDonnees::plageAssociation(const Code& association, const Nombre& grille, PlageDatee& plage) {
    const AssociationNonPrevue* ligne = nullptr;
    uint16_t cr = chercherAssociationNP(association, ligne);
    const Table* grilles = tableReferentiel(AssoGrille::kIdentifiant, cr);
    const AssoGrille* assoGrille = nullptr;
    uint32_t indice = 0;
    if (cr == 0) cr = ligne->rechercherGrille(*grilles, static_cast<uint16_t>(grille.valeur()), assoGrille, indice);
    if (cr != 0) return cr;
    plage.table = referentiel->table(HistoriqueAssociationNonPrevue::kIdentifiant);
    plage.position = assoGrille->historiques.position;
    plage.nombre = assoGrille->historiques.nombre;
    plage.proprietaire = assoGrille;
    plage.messageVide = "historique vide";
    return 0;
}

uint16_t ModificationDonnees::plageModificateur(const Code& modificateur, const Nombre& grille, PlageDatee& plage) {
    const Modificateur* ligne = nullptr;
    uint16_t cr = chercherModificateur(modificateur, ligne);
    const Table* grilles = tableReferentiel(ModificaGrille::kIdentifiant, cr);
    const ModificaGrille* modificaGrille = nullptr;
    uint32_t indice = 0;
    if (cr == 0) cr = ligne->rechercherGrille(*grilles, static_cast<uint16_t>(grille.valeur()), modificaGrille, indice);
    if (cr != 0) return cr;
    plage.table = referentiel->table(HistoriqueValeurModificateur::kIdentifiant);
    plage.position = modificaGrille->historiquesValeur.position;
    plage.nombre = modificaGrille->historiquesValeur.nombre;
    plage.proprietaire = modificaGrille;
    plage.messageVide = "historique vide";
    return 0;
}

uint16_t ModificationDonnees::plageEnregistrement(const LigneTable& enregistrement, PlageDatee& plage) {
    switch (enregistrement.identifiantTable()) {
        case ModificationRegleAssociationNonPrevue::kIdentifiant: {
            const auto& e = static_cast<const ModificationRegleAssociationNonPrevue&>(enregistrement);
            return plageAssociation(codeDe(e.codeAssociation), Nombre(e.grille), plage);
        }
        case ModificationModificateur::kIdentifiant: {
            const auto& e = static_cast<const ModificationModificateur&>(enregistrement);
            return plageModificateur(codeDe(e.codeModificateur), Nombre(e.codeGrille), plage);
        }
        case ModificationSeuil::kIdentifiant: return plageSeuils(plage);
        default: return plageReductions(plage);
    }
}

// --- Pattern B -------------------------------------------------------------------------------

template <class Ligne, class Changer>
uint16_t ModificationDonnees::nouvelleLigneDatee(const PlageDatee& plage, const Date& dateEffet, Changer changer,
                                                 std::unique_ptr<LigneTable> enregistrement) {
    Ligne* recente =
        plage.nombre != 0 && plage.table != nullptr ? plage.table->template ligneDe<Ligne>(plage.position) : nullptr;
    if (recente == nullptr) {
        tracerModification(NIV_ERREUR, "%s", plage.messageVide);
        return KPX_CR_DONNEES_INCOHERENTES;
    }
    if (dateEffet < recente->dateDebut || (recente->dateFin.estRenseigne() && recente->dateFin < dateEffet)) {
        tracerModification(NIV_ERREUR, "Date d'effet non inclue dans l'intervalle de validite du dernier historique");
        tracerDate("Date de debut dernier historique  : %04u/%02u/%02u", recente->dateDebut);
        tracerDate("Date de fin dernier historique    : %04u/%02u/%02u", recente->dateFin);
        return KPX_CR_DATE_EFFET_REFUSEE;
    }
    Table* modifications = nullptr;
    uint16_t cr = preparerEnregistrement(enregistrement.get(), modifications);
    if (cr != 0) return cr;
    std::unique_ptr<Ligne> copie(new Ligne(*recente));
    copie->dateDebut = dateEffet;
    changer(*copie);
    cr = plage.table->insererLigne(plage.position, std::move(copie), referentiel->tablesParentes(plage.table->numero()),
                                   plage.proprietaire);
    if (cr != 0) return cr;
    recente->dateFin = dateEffet.retrancherJours(1);
    if (modifications != nullptr) modifications->ajouterLigne(std::move(enregistrement));
    return 0;
}

uint16_t ModificationDonnees::modifierCoefficientAssociationNonPrevue(const Code& association, const Date& dateEffet,
                                                                      const Nombre& grille, double coefficient,
                                                                      bool enregistrer) {
    uint16_t cr = 0;
    TraceModification trace("modifierCoefficientAssociationNonPrevue", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        const std::string code = initBufferCode(association, 1, c);
        std::unique_ptr<ModificationRegleAssociationNonPrevue> e;
        if (c == 0 && enregistrer) {
            e.reset(new ModificationRegleAssociationNonPrevue);
            e->codeAssociation = code[0];
            e->grille = static_cast<uint16_t>(grille.valeur());
            e->dateEffet = dateEffet;
            e->nouveauCoefficient = coefficient;
        }
        PlageDatee plage;
        if (c == 0) c = plageAssociation(association, grille, plage);
        if (c == 0)
            c = nouvelleLigneDatee<HistoriqueAssociationNonPrevue>(
                plage, dateEffet, [coefficient](HistoriqueAssociationNonPrevue& h) { h.coefficient = coefficient; },
                std::move(e));
        return c;
    });
    return cr;
}

uint16_t ModificationDonnees::modifierSeuil(const Date& dateEffet, int32_t position, double seuil, bool enregistrer) {
    uint16_t cr = 0;
    TraceModification trace("modifierSeuil", cr);
    if (!positionSeuilValide(position)) return cr = KPX_CR_DONNEES_INCOHERENTES;
    cr = sansExceptionMemoire([&]() -> uint16_t {
        std::unique_ptr<ModificationSeuil> e;
        if (enregistrer) {
            e.reset(new ModificationSeuil);
            e->positionSeuil = static_cast<uint16_t>(position);
            e->dateEffet = dateEffet;
            e->nouveauSeuil = seuil;
        }
        PlageDatee plage;
        uint16_t c = plageSeuils(plage);
        if (c == 0)
            c = nouvelleLigneDatee<Seuil>(
                plage, dateEffet, [&](Seuil& ligne) { seuilALaPosition(ligne, position) = seuil; }, std::move(e));
        return c;
    });
    return cr;
}

uint16_t ModificationDonnees::modifierForfaitModificateur(const Code& modificateur, const Date& dateEffet,
                                                          const Nombre& grille, double forfait, bool enregistrer) {
    return modifierValeurModificateur(modificateur, dateEffet, grille, &forfait, nullptr, enregistrer);
}

uint16_t ModificationDonnees::modifierTauxModificateur(const Code& modificateur, const Date& dateEffet,
                                                       const Nombre& grille, double taux, bool enregistrer) {
    return modifierValeurModificateur(modificateur, dateEffet, grille, nullptr, &taux, enregistrer);
}

uint16_t ModificationDonnees::modifierValeurModificateur(const Code& modificateur, const Date& dateEffet,
                                                         const Nombre& grille, const double* forfait,
                                                         const double* taux, bool enregistrer) {
    uint16_t cr = 0;
    TraceModification trace("modifierValeurModificateur", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        const std::string code = initBufferCode(modificateur, 1, c);
        std::unique_ptr<ModificationModificateur> e;
        if (c == 0 && enregistrer) {
            e.reset(new ModificationModificateur);
            e->codeModificateur = code[0];
            e->codeGrille = static_cast<uint16_t>(grille.valeur());
            e->dateEffet = dateEffet;
        }
        PlageDatee plage;
        if (c == 0) c = plageModificateur(modificateur, grille, plage);
        ModificationModificateur* valeurs = e.get();
        if (c == 0)
            c = nouvelleLigneDatee<HistoriqueValeurModificateur>(
                plage, dateEffet,
                [&](HistoriqueValeurModificateur& h) {
                    if (forfait != nullptr) h.forfait = *forfait;
                    if (taux != nullptr) h.coefficient = *taux;
                    if (valeurs != nullptr) {
                        valeurs->nouveauForfait = h.forfait;
                        valeurs->nouveauTaux = h.coefficient;
                    }
                },
                std::move(e));
        return c;
    });
    return cr;
}

uint16_t ModificationDonnees::modifierForfaitNonConventionnes(const Date& dateEffet, double forfait, bool enregistrer) {
    return modifierDonneesNonConventionnes(dateEffet, &forfait, nullptr, enregistrer);
}

uint16_t ModificationDonnees::modifierTauxNonConventionnes(const Date& dateEffet, double taux, bool enregistrer) {
    return modifierDonneesNonConventionnes(dateEffet, nullptr, &taux, enregistrer);
}

uint16_t ModificationDonnees::modifierDonneesNonConventionnes(const Date& dateEffet, const double* forfait,
                                                              const double* taux, bool enregistrer) {
    uint16_t cr = 0;
    TraceModification trace("modifierDonneesNonConventionnes", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        std::unique_ptr<ModificationNonConventionne> e;
        if (enregistrer) {
            e.reset(new ModificationNonConventionne);
            e->dateEffet = dateEffet;
        }
        ModificationNonConventionne* valeurs = e.get();
        PlageDatee plage;
        uint16_t c = plageReductions(plage);
        if (c == 0)
            c = nouvelleLigneDatee<ReductionNonConventionne>(
                plage, dateEffet,
                [&](ReductionNonConventionne& ligne) {
                    if (forfait != nullptr) ligne.forfait = *forfait;
                    if (taux != nullptr) ligne.coefficient = *taux;
                    if (valeurs != nullptr) {
                        valeurs->nouveauForfait = ligne.forfait;
                        valeurs->nouveauTaux = ligne.coefficient;
                    }
                },
                std::move(e));
        return c;
    });
    return cr;
}

// --- Grouping codes added locally ----------------------------------------------------------

uint16_t ModificationDonnees::ajouterCodeRegroupement(const Date& dateEffet, const Code& codeRegroupement,
                                                      const Texte& libelle, bool enregistrer) {
    uint16_t cr = 0;
    TraceModification trace("ajouterCodeRegroupement", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        const std::string cle = initBufferCode(codeRegroupement, kLargeurCodeRegroupement, c);
        Table* codes = referentiel->table(CodeRegroupement::kIdentifiant);
        Table* libelles = referentiel->table(LibelleCode::kIdentifiant);
        const Table* listes = referentiel->table(Codes::kIdentifiant);
        const Codes* liste = listes != nullptr ? listes->ligneDe<Codes>(kListeCodesRegroupement - 1) : nullptr;
        if (c == 0 && (codes == nullptr || libelles == nullptr || liste == nullptr)) {
            tracerModification(NIV_ERREUR, "Parametre numero de code non trouve dans la table Codes");
            c = KPX_CR_ELEMENT_ABSENT;
        }
        if (c != 0) return c;
        std::unique_ptr<ModificationNouveauCodeRegroupement> e;
        if (enregistrer) {
            e.reset(new ModificationNouveauCodeRegroupement);
            e->dateEffet = dateEffet;
            e->nouveauCodeRegroupement = cle;
            e->nouveauLibelle = libelle.chaine();
        }
        // Two tables change: a failure after the first puts both back (the replay's failure fails the load).
        std::unique_ptr<Instantane> instantane;
        if (enregistrer) instantane.reset(new Instantane(*referentiel, {codes->numero(), libelles->numero()}, c));
        Table* modifications = nullptr;
        if (c == 0) c = preparerEnregistrement(e.get(), modifications);
        if (c != 0) return c;
        std::unique_ptr<CodeRegroupement> ligne(new CodeRegroupement);
        ligne->codeRegroupement = cle;
        ligne->dateDebut = dateEffet;
        std::unique_ptr<LibelleCode> texte(new LibelleCode);
        texte->valeur = codeRegroupement.chaine();
        texte->libelle = libelle.chaine();
        // The table stays sorted by code.
        uint32_t position = 0;
        while (position < codes->nombreLignes() && codes->ligneDe<CodeRegroupement>(position)->codeRegroupement <= cle)
            ++position;
        c = codes->insererLigne(position, std::move(ligne), referentiel->tablesParentes(codes->numero()));
        if (c == 0)
            c = libelles->insererLigne(static_cast<uint32_t>(liste->valeurs.position) + liste->valeurs.nombre,
                                       std::move(texte), referentiel->tablesParentes(libelles->numero()), liste);
        if (c != 0) return c;
        if (modifications != nullptr) modifications->ajouterLigne(std::move(e));
        if (instantane) instantane->garder();
        return c;
    });
    return cr;
}

uint16_t ModificationDonnees::chercherCodeRegroupement(const Code& codeRegroupement, Booleen& existe) {
    uint16_t cr = 0;
    TraceModification trace("chercherCodeRegroupement", cr);
    const std::string cle = initBufferCode(codeRegroupement, kLargeurCodeRegroupement, cr);
    const Table* codes = tableReferentiel(CodeRegroupement::kIdentifiant, cr);
    bool trouve = false;
    for (uint32_t i = 0; cr == 0 && !trouve && i < codes->nombreLignes(); ++i)
        trouve = codes->ligneDe<CodeRegroupement>(i)->codeRegroupement == cle;
    existe = Booleen(trouve);
    return cr;
}

uint16_t ModificationDonnees::retirerCodeRegroupement(const LigneTable& enregistrement) {
    const auto& e = static_cast<const ModificationNouveauCodeRegroupement&>(enregistrement);
    Table* codes = referentiel->table(CodeRegroupement::kIdentifiant);
    Table* libelles = referentiel->table(LibelleCode::kIdentifiant);
    const Codes* liste = referentiel->table(Codes::kIdentifiant)->ligneDe<Codes>(kListeCodesRegroupement - 1);
    uint16_t cr = 0;
    for (uint32_t i = 0; cr == 0 && i < codes->nombreLignes(); ++i) {
        const CodeRegroupement* ligne = codes->ligneDe<CodeRegroupement>(i);
        if (ligne->codeRegroupement == e.nouveauCodeRegroupement && ligne->dateDebut == e.dateEffet &&
            !ligne->dateFin.estRenseigne()) {
            cr = codes->supprimerLignes(i, 1, referentiel->tablesParentes(codes->numero()));
            break;
        }
    }
    const std::string valeur = codeDe(e.nouveauCodeRegroupement).chaine();
    // Added at the end of the list's range, so the last of that value is the one to go.
    for (uint32_t k = static_cast<uint32_t>(liste->valeurs.position) + liste->valeurs.nombre;
         cr == 0 && k-- > liste->valeurs.position;) {
        const LibelleCode* texte = libelles->ligneDe<LibelleCode>(k);
        if (texte != nullptr && texte->valeur == valeur) {
            cr = libelles->supprimerLignes(k, 1, referentiel->tablesParentes(libelles->numero()));
            break;
        }
    }
    return cr;
}

uint16_t ModificationDonnees::annulerNouveauxCodesRegroupement() {
    uint16_t cr = 0;
    TraceModification trace("annulerNouveauxCodesRegroupement", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        const Table* table = referentiel->table(ModificationNouveauCodeRegroupement::kIdentifiant);
        std::vector<bool> annules;
        uint16_t c = enregistrementsDeLaCle<ModificationNouveauCodeRegroupement>(
            table, [](const ModificationNouveauCodeRegroupement&) { return true; }, annules);
        if (c != 0) return c;
        Instantane instantane(*referentiel, {CodeRegroupement::kIdentifiant, LibelleCode::kIdentifiant}, c);
        if (c == 0 && (referentiel->table(CodeRegroupement::kIdentifiant) == nullptr ||
                       referentiel->table(LibelleCode::kIdentifiant) == nullptr ||
                       referentiel->table(Codes::kIdentifiant)->ligneDe<Codes>(kListeCodesRegroupement - 1) == nullptr))
            c = KPX_CR_DONNEES_INCOHERENTES;
        for (uint32_t i = 0; c == 0 && i < table->nombreLignes(); ++i) c = retirerCodeRegroupement(*table->ligne(i));
        if (c != 0) return c;
        retirerEnregistrements(ModificationNouveauCodeRegroupement::kIdentifiant, annules);
        instantane.garder();
        return c;
    });
    return cr;
}

// --- Replay at load ------------------------------------------------------------------------

uint16_t ModificationDonnees::rejouerLigneDatee(const LigneTable& enregistrement) {
    switch (enregistrement.identifiantTable()) {
        case ModificationRegleAssociationNonPrevue::kIdentifiant: {
            const auto& e = static_cast<const ModificationRegleAssociationNonPrevue&>(enregistrement);
            return modifierCoefficientAssociationNonPrevue(codeDe(e.codeAssociation), e.dateEffet, Nombre(e.grille),
                                                           e.nouveauCoefficient, false);
        }
        case ModificationModificateur::kIdentifiant: {
            const auto& e = static_cast<const ModificationModificateur&>(enregistrement);
            return modifierValeurModificateur(codeDe(e.codeModificateur), e.dateEffet, Nombre(e.codeGrille),
                                              &e.nouveauForfait, &e.nouveauTaux, false);
        }
        case ModificationSeuil::kIdentifiant: {
            const auto& e = static_cast<const ModificationSeuil&>(enregistrement);
            return modifierSeuil(e.dateEffet, e.positionSeuil, e.nouveauSeuil, false);
        }
        case ModificationNonConventionne::kIdentifiant: {
            const auto& e = static_cast<const ModificationNonConventionne&>(enregistrement);
            return modifierDonneesNonConventionnes(e.dateEffet, &e.nouveauForfait, &e.nouveauTaux, false);
        }
        default: {
            const auto& e = static_cast<const ModificationNouveauCodeRegroupement&>(enregistrement);
            return ajouterCodeRegroupement(e.dateEffet, codeDe(e.nouveauCodeRegroupement),
                                           Texte(e.nouveauLibelle.c_str()), false);
        }
    }
}

uint16_t ModificationDonnees::rejouerTable(uint16_t identifiant) {
    const Table* table = referentiel->table(identifiant);
    uint16_t cr = 0;
    for (uint32_t i = 0; cr == 0 && table != nullptr && i < table->nombreLignes(); ++i)
        cr = rejouerLigneDatee(*table->ligne(i));
    return cr;
}

uint16_t ModificationDonnees::chargerModificationsReglesAssociationsNP() {
    uint16_t cr = 0;
    TraceModification trace("chargerModificationsReglesAssociationsNP", cr);
    return cr = rejouerTable(ModificationRegleAssociationNonPrevue::kIdentifiant);
}

uint16_t ModificationDonnees::appliquerModificationsModificateurs() {
    uint16_t cr = 0;
    TraceModification trace("appliquerModificationsModificateurs", cr);
    return cr = rejouerTable(ModificationModificateur::kIdentifiant);
}

uint16_t ModificationDonnees::appliquerModificationsReductionNC() {
    uint16_t cr = 0;
    TraceModification trace("appliquerModificationsReductionNC", cr);
    return cr = rejouerTable(ModificationNonConventionne::kIdentifiant);
}

uint16_t ModificationDonnees::appliquerModificationsSeuils() {
    uint16_t cr = 0;
    TraceModification trace("appliquerModificationsSeuils", cr);
    return cr = rejouerTable(ModificationSeuil::kIdentifiant);
}

uint16_t ModificationDonnees::appliquerModificationsNouveauCodeRegroupement() {
    uint16_t cr = 0;
    TraceModification trace("appliquerModificationsNouveauCodeRegroupement", cr);
    return cr = rejouerTable(ModificationNouveauCodeRegroupement::kIdentifiant);
}

// --- Cancellation --------------------------------------------------------------------------

template <class Enregistrement, class Ligne, class Cle>
uint16_t ModificationDonnees::annulerLignesDatees(Cle cle) {
    const Table* table = referentiel->table(Enregistrement::kIdentifiant);
    std::vector<bool> annules;
    uint16_t cr = enregistrementsDeLaCle<Enregistrement>(table, cle, annules);
    if (cr != 0) return cr;
    Instantane instantane(*referentiel, {Ligne::kIdentifiant}, cr);
    // The dated rows each record changed, named by the row whose range they are (none: the whole table).
    std::vector<const LigneTable*> cibles(table->nombreLignes());
    for (uint32_t i = 0; cr == 0 && i < table->nombreLignes(); ++i) {
        PlageDatee plage;
        cr = plageEnregistrement(*table->ligne(i), plage);
        cibles[i] = plage.proprietaire;
    }
    std::vector<bool> faites(table->nombreLignes(), false);
    for (uint32_t i = 0; cr == 0 && i < table->nombreLignes(); ++i) {
        if (!annules[i] || faites[i]) continue;
        uint32_t nombre = 0;
        for (uint32_t j = 0; j < table->nombreLignes(); ++j)
            if (cibles[j] == cibles[i]) {
                ++nombre;
                faites[j] = true;
            }
        // Every record put one row at the head: they all go, the row they covered gets its end back.
        PlageDatee plage;
        cr = plageEnregistrement(*table->ligne(i), plage);
        if (cr == 0 && plage.nombre <= nombre) {
            tracerModification(NIV_ERREUR, "%s", plage.messageVide);
            cr = KPX_CR_DONNEES_INCOHERENTES;
        }
        if (cr != 0) break;
        const Date fin = plage.table->template ligneDe<Ligne>(plage.position)->dateFin;
        cr = plage.table->supprimerLignes(plage.position, nombre, referentiel->tablesParentes(Ligne::kIdentifiant));
        if (cr == 0) plage.table->template ligneDe<Ligne>(plage.position)->dateFin = fin;
        for (uint32_t j = 0; cr == 0 && j < table->nombreLignes(); ++j)
            if (!annules[j] && cibles[j] == cibles[i]) cr = rejouerLigneDatee(*table->ligne(j));
    }
    if (cr != 0) return cr;
    retirerEnregistrements(Enregistrement::kIdentifiant, annules);
    instantane.garder();
    return cr;
}

uint16_t ModificationDonnees::annulerModificationsCoefficientAssociationNonPrevue(const Code& association) {
    uint16_t cr = 0;
    TraceModification trace("annulerModificationsCoefficientAssociationNonPrevue", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        const std::string code = initBufferCode(association, 1, c);
        if (c != 0) return c;
        return annulerLignesDatees<ModificationRegleAssociationNonPrevue, HistoriqueAssociationNonPrevue>(
            [&code](const ModificationRegleAssociationNonPrevue& e) { return e.codeAssociation == code[0]; });
    });
    return cr;
}

uint16_t ModificationDonnees::annulerModificationsSeuilExoTM(int32_t position) {
    uint16_t cr = 0;
    TraceModification trace("annulerModificationsSeuilExoTM", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        return annulerLignesDatees<ModificationSeuil, Seuil>(
            [position](const ModificationSeuil& e) { return e.positionSeuil == position; });
    });
    return cr;
}

uint16_t ModificationDonnees::annulerModificationsValeurModificateur(const Code& modificateur) {
    uint16_t cr = 0;
    TraceModification trace("annulerModificationsValeurModificateur", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        const std::string code = initBufferCode(modificateur, 1, c);
        if (c != 0) return c;
        return annulerLignesDatees<ModificationModificateur, HistoriqueValeurModificateur>(
            [&code](const ModificationModificateur& e) { return e.codeModificateur == code[0]; });
    });
    return cr;
}

uint16_t ModificationDonnees::annulerModificationsValeurNonConventionnes() {
    uint16_t cr = 0;
    TraceModification trace("annulerModificationsValeurNonConventionnes", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        return annulerLignesDatees<ModificationNonConventionne, ReductionNonConventionne>(
            [](const ModificationNonConventionne&) { return true; });
    });
    return cr;
}

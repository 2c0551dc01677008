// The single writer of the référentiel: makes, replays and cancels the local
// modifications. A change lives twice, as a record appended to one of the nine
// modification tables (35 to 43) and as its effect on the data: a new act history
// (pattern A) or a new head row of a dated table (pattern B). The effect of a
// table's records is always their replay in record order, which cancellation relies on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "consultation/LectureDonnees.h"

class LigneTable;
class NiveauActe;
class NiveauActivite;
class NiveauPhase;
class Table;
struct PlageDatee;

class ModificationDonnees : public LectureDonnees {
public:
    // Opened, it holds the single writer place; the replay uses one without opening it.
    explicit ModificationDonnees(Referentiel* referentiel);

    // --- Pattern A: a new version of the phase's (or activity's) history from the effective
    // date. niveau: the level found beforehand (the replay's); null to look it up, reading
    // the act if needed. enregistrer: the change is recorded in its modification table.
    uint16_t modifierPrixUnitaire(const Code& acte, const Code& activite, const Code& phase, const Date& dateEffet,
                                  const Nombre& grille, double prix, bool enregistrer, NiveauPhase* niveau = nullptr);
    uint16_t modifierSupplementCharges(const Code& acte, const Code& activite, const Code& phase, const Date& dateEffet,
                                       double supplement, bool enregistrer, NiveauPhase* niveau = nullptr);
    // position 1 to 4.
    uint16_t modifierMajorationDOM(const Code& acte, const Code& activite, const Code& phase, const Date& dateEffet,
                                   int32_t position, double coefficient, bool enregistrer,
                                   NiveauPhase* niveau = nullptr);
    uint16_t modifierCodeRegroupement(const Code& acte, const Code& activite, const Date& dateEffet,
                                      const Code& codeRegroupement, bool enregistrer, NiveauActivite* niveau = nullptr);

    // --- Pattern B: a new head row of a dated table, the previous one ending the day before.
    uint16_t modifierCoefficientAssociationNonPrevue(const Code& association, const Date& dateEffet,
                                                     const Nombre& grille, double coefficient, bool enregistrer);
    // position 1 to 4.
    uint16_t modifierSeuil(const Date& dateEffet, int32_t position, double seuil, bool enregistrer);
    uint16_t modifierForfaitModificateur(const Code& modificateur, const Date& dateEffet, const Nombre& grille,
                                         double forfait, bool enregistrer);
    uint16_t modifierTauxModificateur(const Code& modificateur, const Date& dateEffet, const Nombre& grille,
                                      double taux, bool enregistrer);
    // Null values are kept from the previous row; the record holds the new row's two values.
    uint16_t modifierValeurModificateur(const Code& modificateur, const Date& dateEffet, const Nombre& grille,
                                        const double* forfait, const double* taux, bool enregistrer);
    uint16_t modifierForfaitNonConventionnes(const Date& dateEffet, double forfait, bool enregistrer);
    uint16_t modifierTauxNonConventionnes(const Date& dateEffet, double taux, bool enregistrer);
    uint16_t modifierDonneesNonConventionnes(const Date& dateEffet, const double* forfait, const double* taux,
                                             bool enregistrer);
    // The code joins the grouping-code table from the effective date, its label the list of labels.
    uint16_t ajouterCodeRegroupement(const Date& dateEffet, const Code& codeRegroupement, const Texte& libelle,
                                     bool enregistrer);

    // Whether the grouping-code table holds the code, at any date.
    uint16_t chercherCodeRegroupement(const Code& codeRegroupement, Booleen& existe);

    // --- Pattern C: every change of one value cancelled; 0xD005 when there is none.
    uint16_t annulerModificationsPrixUnitaire(const Code& acte, const Code& activite, const Code& phase);
    uint16_t annulerModificationsSupplementCharges(const Code& acte, const Code& activite, const Code& phase);
    uint16_t annulerModificationsMajorationDOM(const Code& acte, const Code& activite, const Code& phase,
                                               int32_t position);
    uint16_t annulerModificationsCodeRegroupement(const Code& acte, const Code& activite);
    uint16_t annulerModificationsCoefficientAssociationNonPrevue(const Code& association);
    uint16_t annulerModificationsSeuilExoTM(int32_t position);
    // Lump sum and rate together.
    uint16_t annulerModificationsValeurModificateur(const Code& modificateur);
    uint16_t annulerModificationsValeurNonConventionnes();
    uint16_t annulerNouveauxCodesRegroupement();

    // --- Header of the référentiel, as the save sets it.
    void modifierCommentaireReferentiel(const Texte& commentaire);
    void modifierCommentaireReferentiel(const Nombre& numeroRevision);
    // The save once the writer place is held: the comment when one is given, the revision
    // number plus one, then the file procedure of the référentiel.
    uint16_t sauvegarderReferentiel(const char* commentaire);

    // --- Replay at load, in this order, each table in its record order.
    uint16_t chargerModificationsReglesAssociationsNP();
    uint16_t appliquerModificationsModificateurs();
    uint16_t appliquerModificationsReductionNC();
    uint16_t appliquerModificationsSeuils();
    uint16_t appliquerModificationsNouveauCodeRegroupement();
    // --- Replay on an act just read, not yet attached to its index row.
    uint16_t chargerModificationsCodesRegroupement(const char* codeActe, NiveauActe& acte);
    // Records of tables 35 to 37 ordered by activity, phase and effective date.
    uint16_t appliquerModificationsHistoriquePhase(const char* codeActe, NiveauActe& acte);

private:
    template <class Enregistrement, class Remplir, class Changer>
    uint16_t modifierPhase(const Code& acte, const Code& activite, const Code& phase, const Date& dateEffet,
                           bool enregistrer, NiveauPhase* niveau, Remplir remplir, Changer changer);
    template <class Historique, class Changer>
    uint16_t nouvelHistorique(std::unique_ptr<Historique>& tete, const Date& dateEffet, Changer changer,
                              std::unique_ptr<LigneTable> enregistrement);
    // Room for one more record, so that appending it after the change cannot fail.
    uint16_t preparerEnregistrement(const LigneTable* enregistrement, Table*& table);
    uint16_t rejouerPhase(const LigneTable& enregistrement, NiveauPhase& phase);

    template <class Ligne, class Changer>
    uint16_t nouvelleLigneDatee(const PlageDatee& plage, const Date& dateEffet, Changer changer,
                                std::unique_ptr<LigneTable> enregistrement);
    uint16_t plageSeuils(PlageDatee& plage);
    uint16_t plageReductions(PlageDatee& plage);
    uint16_t plageAssociation(const Code& association, const Nombre& grille, PlageDatee& plage);
    uint16_t plageModificateur(const Code& modificateur, const Nombre& grille, PlageDatee& plage);
    // The dated rows a record of tables 38 to 41 changes, and its replay.
    uint16_t plageEnregistrement(const LigneTable& enregistrement, PlageDatee& plage);
    uint16_t rejouerLigneDatee(const LigneTable& enregistrement);
    uint16_t rejouerTable(uint16_t identifiant);

    template <class Enregistrement, class Cle>
    uint16_t annulerModificationsActe(const char* nom, const Code& acte, const Code& activite, const Code* phase,
                                      Cle memeValeur);
    template <class Enregistrement, class Ligne, class Cle>
    uint16_t annulerLignesDatees(Cle cle);
    void retirerEnregistrements(uint16_t identifiant, const std::vector<bool>& annules);
    uint16_t retirerCodeRegroupement(const LigneTable& enregistrement);
};

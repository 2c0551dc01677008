// The read-only query layer over the in-memory référentiel: every function that
// reads reference data asks through one LectureDonnees, opened as a reader first.
// Each query returns a 16-bit code; list outputs are emptied first, then filled in table order.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "frame/Trace.h"
#include "referentiel/CodeActe.h"
#include "zone/Booleen.h"
#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/Date.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"
#include "zone/Periode.h"
#include "zone/Texte.h"
#include "zone/TypeListe.h"

class Referentiel;
class Table;
class Index;
class NiveauActe;
class NiveauActivite;
class NiveauPhase;
class HistoriqueNiveauActe;
class HistoriqueNiveauActivite;
class HistoriqueNiveauPhase;
class AssociationNonPrevue;
class InfosGril;
class JourFerieCaisse;
class ClasseSpecialite;
class ReferenceCdC;
class ExceptionPrioriteIndicateur;
class PrioriteIndicateurForcage;
class Arborescence;
class Modificateur;
class MotCle;
class ObligationCodage;
class ReductionNonConventionne;
class ReferenceRegleEnErreur;
class RegleTarifaire;
class ServiceDebrayable;
class Specialite;
class InformationRegle;
class DescriptifSuperGroupe;
class DescriptifGroupe;
class DescriptifChamp;
class FilsSuperGroupe;
class ValeurAutorisee;
class HistoriqueValeurModificateur;
class ModificationCodeRegroupement;
class ModificationPrixUnitaire;
class ModificationSupplementCharge;
class ModificationMajorationDOM;
class ModificationModificateur;
class ModificationRegleAssociationNonPrevue;
class ModificationSeuil;
class ModificationNonConventionne;

// A list of codes read where their fixed-width columns lie, each as VueCode reads it: what a
// caller that only compares them needs. It lasts while the reader holds the référentiel.
class VueCodes {
public:
    VueCodes() = default;
    explicit VueCodes(const std::vector<std::string>& colonnes) : colonnes_(&colonnes) {}

    size_t nombre() const { return colonnes_ != nullptr ? colonnes_->size() : 0; }
    VueCode element(size_t i) const {
        const std::string& colonne = (*colonnes_)[i];
        return VueCode(colonne.data(), colonne.size(), Code::largeurFixe);
    }

private:
    const std::vector<std::string>* colonnes_ = nullptr;
};

class LectureDonnees {
public:
    // Widths of the fixed-width keys, padded on the right with spaces.
    static constexpr size_t kLargeurCodeActe = CodeActe::kLargeur;
    static constexpr size_t kLargeurIdentifiantRegle = 10;
    static constexpr size_t kLargeurIdentifiantInformationRegle = 9;
    static constexpr size_t kLargeurCodeRegroupement = 3;
    static constexpr size_t kLargeurNaturePrestation = 3;
    static constexpr size_t kLargeurCaisse = 3;
    static constexpr size_t kLargeurSpecialite = 2;
    static constexpr size_t kLargeurIndicateur = 1;
    // The caisse row whose holidays are the national ones.
    static constexpr const char* kCaisseNationale = "000";

    // A query object reads; the modification layer's holds the single writer place.
    enum class Place { lecteur, ecrivain };

    explicit LectureDonnees(Referentiel* referentiel, Place place = Place::lecteur);
    LectureDonnees(const LectureDonnees&) = delete;
    LectureDonnees& operator=(const LectureDonnees&) = delete;
    // Gives the place back if still held.
    virtual ~LectureDonnees();

    // Takes its place on the référentiel: 0xDF00 without one, 0xDF01 when the place
    // is refused (a writer holds it; for the writer, anyone holds it).
    uint16_t ouvrir();
    void fermer();

    // Counting of the values found that carry a local modification (rules layer).
    void definirComptageModifications(bool compter);
    uint32_t lireNombreModifications() const { return nombreModificationsLues; }
    // Moves each time the place is given back: what was read before may be gone.
    uint32_t generation() const { return generationDatees_; }

    // Copies a key into a buffer of that width (16 at most) padded with spaces; 0xDFFE when longer.
    static std::string initBufferCode(const Texte& code, size_t largeur, uint16_t& cr);

    // --- Acts: lookup, descent, histories ---
    uint16_t chercherActeDansIndex(const Code& codeActe, Index*& ligne);
    // Reads the act on first use and keeps it attached to its index row.
    uint16_t chercherActe(const Code& codeActe, NiveauActe*& acte);
    uint16_t chercherActivite(const Code& codeActe, const Code& codeActivite, NiveauActivite*& activite);
    uint16_t chercherPhase(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                           NiveauPhase*& phase);
    uint16_t chercherHistoActe(const Code& codeActe, const Date& dateReference,
                               const HistoriqueNiveauActe*& historique);
    uint16_t chercherHistoActivite(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                   const HistoriqueNiveauActivite*& historique);
    uint16_t chercherHistoPhase(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                const Date& dateReference, const HistoriqueNiveauPhase*& historique);

    uint16_t rechercherExistenceActe(const Code& codeActe, Booleen& existe);
    uint16_t rechercherChargementActe(const Code& codeActe, Booleen& charge);
    uint16_t rechercherPositionActe(const Code& codeActe, Nombre& position);

    // Fixed data of the act.
    uint16_t rechercherCodeStructure(const Code& codeActe, Code& code);
    uint16_t rechercherLibelleCourt(const Code& codeActe, Texte& libelle);
    uint16_t rechercherLibelleLong(const Code& codeActe, Texte& libelle);
    uint16_t rechercherTypeActe(const Code& codeActe, Code& type);
    uint16_t rechercherConditionsGenerales(const Code& codeActe, Texte& conditions);
    uint16_t rechercherNotesActe(const Code& codeActe, Texte& notes);
    uint16_t rechercherSexeCompatible(const Code& codeActe, Code& sexe);
    uint16_t rechercherCodeMenu(const Code& codeActe, Nombre& codeMenu);
    uint16_t rechercherDateCreation(const Code& codeActe, Date& date);
    uint16_t rechercherDateFin(const Code& codeActe, Date& date);
    uint16_t rechercherFraisDeplacement(const Code& codeActe, Code& code);
    uint16_t rechercherNaturesAssurance(const Code& codeActe, TypeListe<Code>& natures);
    uint16_t rechercherActivites(const Code& codeActe, TypeListe<Code>& activites);
    // Whether the list the query of that name would fill holds the code, without filling it:
    // the same answer as its contient(), the same code and the same trace lines.
    uint16_t contientNatureAssurance(const Code& codeActe, const Code& nature, Booleen& present);
    uint16_t contientActivite(const Code& codeActe, const Code& codeActivite, Booleen& present);

    // Act data at a date.
    uint16_t rechercherAdmissionRemboursement(const Code& codeActe, const Date& dateReference, Code& code);
    uint16_t rechercherEntentePrealable(const Code& codeActe, const Date& dateReference, Booleen& entente);
    uint16_t rechercherCodesExonerationTM(const Code& codeActe, const Date& dateReference, TypeListe<Code>& codes);
    // The same codes where the act's version holds them, valid while this reader holds the
    // référentiel (until generation() moves); the same code and the same trace lines.
    uint16_t rechercherCodesExonerationTM(const Code& codeActe, const Date& dateReference, VueCodesOctet& codes);
    uint16_t rechercherProcedures(const Code& codeActe, const Date& dateReference, TypeListe<Code>& procedures);
    // The same procedures where the act's version holds them; the same code and the same trace lines.
    uint16_t rechercherProcedures(const Code& codeActe, const Date& dateReference, VueCodes& procedures);
    uint16_t rechercherActesIncompatibles(const Code& codeActe, const Date& dateReference, TypeListe<Code>& actes);
    // The same acts where the act's version holds them; the same code and the same trace lines.
    uint16_t rechercherActesIncompatibles(const Code& codeActe, const Date& dateReference, VueCodes& actes);
    // The lump sums of the version in force that are themselves valid at the date.
    uint16_t rechercherActesForfaitCMU(const Code& codeActe, const Date& dateReference, TypeListe<Code>& forfaits);

    // Activity data.
    uint16_t rechercherPhasesDeTraitement(const Code& codeActe, const Code& codeActivite, TypeListe<Code>& phases);
    uint16_t contientPhase(const Code& codeActe, const Code& codeActivite, const Code& codePhase, Booleen& present);
    uint16_t rechercherRMO(const Code& codeActe, const Code& codeActivite, TypeListe<Code>& rmo);
    uint16_t rechercherAgrementsRadio(const Code& codeActe, const Code& codeActivite, TypeListe<Code>& agrements);
    uint16_t rechercherCodesExtensionDocumentaire(const Code& codeActe, const Code& codeActivite,
                                                  TypeListe<Code>& codes);
    uint16_t rechercherActesCompatibles(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                        TypeListe<Code>& actes);
    uint16_t rechercherRegleAssociation(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                        const Code& acteAssocie, Code& regle);
    uint16_t rechercherClassesSpecialitesExecutant(const Code& codeActe, const Code& codeActivite,
                                                   const Date& dateReference, TypeListe<Code>& classes);
    uint16_t rechercherModificateursApplicables(const Code& codeActe, const Code& codeActivite,
                                                const Date& dateReference, TypeListe<Code>& modificateurs);
    // The membership forms of the two above: the same code and trace lines as the list
    // query and its contient(), for one class or for every modifier given.
    uint16_t contientClasseSpecialiteExecutant(const Code& codeActe, const Code& codeActivite,
                                               const Date& dateReference, const Code& classe, Booleen& present);
    uint16_t contientModificateursApplicables(const Code& codeActe, const Code& codeActivite,
                                              const Date& dateReference, const TypeListe<Code>& modificateurs,
                                              Booleen& tous);
    uint16_t rechercherCategorieMedicale(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                         Code& categorie);
    uint16_t rechercherCodeRegroupement(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                        Code& code);
    // The forms of four queries above for callers that only compare the answer: the code
    // where its column lies, valid while this reader holds the référentiel; the same code
    // and the same trace lines.
    uint16_t rechercherTypeActe(const Code& codeActe, VueCode& type);
    uint16_t rechercherAdmissionRemboursement(const Code& codeActe, const Date& dateReference, VueCode& code);
    uint16_t rechercherCategorieMedicale(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                         VueCode& categorie);
    uint16_t rechercherCodeRegroupement(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                        VueCode& code);

    // Phase data. The phase ages are whole years.
    uint16_t rechercherAgeMinimal(const Code& codeActe, const Code& codeActivite, const Code& codePhase, Periode& age);
    uint16_t rechercherAgeMaximal(const Code& codeActe, const Code& codeActivite, const Code& codePhase, Periode& age);
    uint16_t rechercherNombreDents(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                   Code& nombre);
    uint16_t rechercherDentsIncompatibles(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                          TypeListe<Code>& dents);
    uint16_t rechercherPrixUnitaire(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                    const Nombre& grille, const Date& dateReference, Montant& prix);
    uint16_t rechercherSupplementCharge(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                        const Date& dateReference, Montant& supplement);
    // positionDOM 1 to 4.
    uint16_t rechercherMajorationDOM(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                     const Nombre& positionDOM, const Date& dateReference, Coefficient& majoration);

    // --- Tables by key ---
    uint16_t chercherAssociationNP(const Code& codeAssociation, const AssociationNonPrevue*& ligne);
    uint16_t chercherCaisseJoursFeries(const Code& codeCaisse, const JourFerieCaisse*& ligne);
    uint16_t chercherClasseSpecialite(const Code& classe, const ClasseSpecialite*& ligne);
    uint16_t chercherIdentifiantRegle(const Code& identifiantRegle, const ReferenceCdC*& ligne);
    uint16_t chercherIndicateur(const Code& indicateur, const ExceptionPrioriteIndicateur*& ligne);
    uint16_t chercherIndicateurForcage(const Code& indicateur, const PrioriteIndicateurForcage*& ligne);
    uint16_t chercherMenuArborescence(const Nombre& codeMenu, const Arborescence*& ligne);
    uint16_t chercherModificateur(const Code& codeModificateur, const Modificateur*& ligne);
    uint16_t chercherMotCle(const Texte& motCleCanonique, const MotCle*& ligne);
    uint16_t chercherObligationCodage(const Code& naturePrestation, const ObligationCodage*& ligne);
    uint16_t chercherReductionNonConventionnes(const Date& dateReference, const ReductionNonConventionne*& ligne);
    uint16_t chercherRegleEnErreur(const Code& identifiantRegle, const ReferenceRegleEnErreur*& ligne);
    uint16_t chercherRegleTarifaire(const Code& codeRegle, const RegleTarifaire*& ligne);
    uint16_t chercherServiceDebrayable(const Texte& identifiant, const ServiceDebrayable*& ligne);
    uint16_t chercherSpecialite(const Code& specialite, const Specialite*& ligne);

    uint16_t rechercherExistenceAssociationNP(const Code& codeAssociation, const Date& dateReference,
                                              const Nombre& grille, Booleen& existe);
    uint16_t rechercherExistenceCodeRegroupement(const Code& codeRegroupement, const Date& dateReference,
                                                 Booleen& existe);
    // True when one of the modifier's grids has a value at the date.
    uint16_t rechercherExistenceModificateur(const Code& codeModificateur, const Date& dateReference, Booleen& existe);
    uint16_t rechercherExistenceNaturePrestation(const Code& naturePrestation, Booleen& existe);
    // Whether the prestation is one of the CMU lump sums, the codes checked against a parent act.
    uint16_t rechercherExistenceForfaitCMU(const Code& prestation, Booleen& existe);

    // Specialities.
    uint16_t rechercherSpecialitesDansClasse(const Code& classe, const Date& dateReference,
                                             TypeListe<Code>& specialites);
    uint16_t rechercherRegroupementSpecialites(const Code& specialite, const Date& dateReference, Code& classe);
    uint16_t rechercherDateObligationCodage(const Code& naturePrestation, const Code& specialite, Date& date);

    // Modifiers.
    uint16_t rechercherModificateursCompatibles(const Code& codeModificateur, const Date& dateReference,
                                                TypeListe<Code>& modificateurs);
    uint16_t rechercherModificateurs(const Date& dateReference, const Nombre& grille, TypeListe<Code>& modificateurs);
    uint16_t rechercherModificateurOC(const Code& codeModificateur, const Date& dateReference, Code& codeOC);
    // Unit 'A' gives years, 'J' days; an age of 0 is no limit whatever its unit.
    uint16_t rechercherAgeMinimumModificateur(const Code& codeModificateur, const Date& dateReference, Periode& age);
    uint16_t rechercherAgeMaximumModificateur(const Code& codeModificateur, const Date& dateReference, Periode& age);
    uint16_t rechercherTopControleCoherence(const Code& codeModificateur, const Date& dateReference, Booleen& top);
    uint16_t rechercherTopPresenceMultiple(const Code& codeModificateur, const Date& dateReference, Booleen& top);
    uint16_t rechercherForfaitModificateur(const Code& codeModificateur, const Date& dateReference,
                                           const Nombre& grille, Montant& forfait);
    uint16_t rechercherTauxModificateur(const Code& codeModificateur, const Date& dateReference, const Nombre& grille,
                                        Coefficient& taux);

    // Dated parameters.
    uint16_t rechercherCodesRegroupement(const Date& dateReference, TypeListe<Code>& codes);
    uint16_t rechercherCodesAssociationsNonPrevues(const Date& dateReference, const Nombre& grille,
                                                   TypeListe<Code>& codes);
    uint16_t rechercherCoefficientAssociationNonPrevue(const Code& codeAssociation, const Date& dateReference,
                                                       const Nombre& grille, Coefficient& coefficient);
    uint16_t rechercherCoefficientRegle(const Code& codeRegle, const Date& dateReference, const Nombre& grille,
                                        Coefficient& coefficient);
    uint16_t rechercherForfaitNonConventionnes(const Date& dateReference, Montant& forfait);
    uint16_t rechercherTauxNonConventionnes(const Date& dateReference, Coefficient& taux);
    // positionSeuil 1 metropole, 2 Antilles, 3 Reunion, 4 Guyane.
    uint16_t rechercherSeuilExoTM(const Date& dateReference, const Nombre& positionSeuil, Montant& seuil);
    uint16_t rechercherNombreActeAssociation(const Date& dateReference, Nombre& nombre);
    uint16_t rechercherNombreModificateursTarifants(const Date& dateReference, Nombre& nombre);
    uint16_t rechercherNombreModificateursTransmissibles(const Date& dateReference, Nombre& nombre);
    uint16_t rechercherValeursConcept(const Nombre& numeroConcept, const Date& dateReference,
                                      TypeListe<Code>& valeurs);
    uint16_t rechercherLibelleCode(const Nombre& numeroListe, const Code& code, Texte& libelle);
    // Holidays in force at the date; a year 0 is a holiday of every year.
    uint16_t rechercherJoursFeriesCaisse(const Code& codeCaisse, const Date& dateReference, TypeListe<Date>& jours);
    uint16_t rechercherJoursFeriesNationaux(const Date& dateReference, TypeListe<Date>& jours);

    // Tariff grids.
    uint16_t rechercherGrillesTarifaires(TypeListe<Nombre>& grilles, TypeListe<Texte>& libelles,
                                         TypeListe<Texte>& definitions);
    uint16_t rechercherUneGrilleTarifaire(const Nombre& contextePS, const Nombre& contexteBS,
                                          const Date& dateReference, Nombre& grille, Texte& libelle,
                                          Texte& definition);
    // The same without the texts, for the callers that want the grid alone.
    uint16_t rechercherUneGrilleTarifaire(const Nombre& contextePS, const Nombre& contexteBS,
                                          const Date& dateReference, Nombre& grille);

    // Rules and forcing indicators.
    uint16_t rechercherInformationsRegles(const Code& identifiantRegle, const InformationRegle*& ligne);
    uint16_t rechercherReferenceCdC(const Code& identifiantRegle, Code& reference);
    // The same for a rule named by its text: untraced, a reader takes the answer the
    // référentiel kept from an earlier call (the rules ask it at every call).
    uint16_t rechercherReferenceRegle(const char* regle, Code& reference);
    uint16_t rechercherReglesEntrainantDebrayage(const Texte& service, TypeListe<Code>& regles);
    uint16_t rechercherReglesNonVerifiables(const Code& identifiantRegle, TypeListe<Code>& regles);
    uint16_t rechercherPrioriteIndicateurForcage(const Code& indicateur, Nombre& priorite);
    uint16_t rechercherValeurCombinaisonIndicateurs(const Code& indicateur, const Code& indicateurPresent,
                                                    Code& resultat);

    // Menus, keywords and searches.
    uint16_t rechercherMenuPere(const Nombre& codeMenu, Nombre& codePere);
    uint16_t rechercherTitreMenu(const Nombre& codeMenu, Texte& titre);
    uint16_t rechercherNotesMenu(const Nombre& codeMenu, Texte& notes);
    uint16_t rechercherMotsCles(TypeListe<Texte>& motsCles);
    uint16_t rechercherSynonymes(const Texte& motCleCanonique, TypeListe<Texte>& synonymes);
    // The acts indexed under the keyword in a frame sharing a bit with cadreRecherche.
    uint16_t rechercherActesIndexes(const Texte& motCleCanonique, uint32_t cadreRecherche, TypeListe<Code>& actes);
    // Every act of the index whose code begins with the filter (13 bytes at most).
    uint16_t rechercherCodesActes(TypeListe<Code>& actes, const Code& filtre);

    // Interface description, by 0-based row position.
    uint16_t rechercherDescriptifSuperGroupe(const Nombre& position, const DescriptifSuperGroupe*& ligne);
    uint16_t rechercherDescriptifGroupe(const Nombre& position, const DescriptifGroupe*& ligne);
    uint16_t rechercherDescriptifChamp(const Nombre& position, const DescriptifChamp*& ligne);
    uint16_t rechercherDescriptifFils(const Nombre& position, const FilsSuperGroupe*& ligne);
    uint16_t rechercherValeurAutorisee(const Nombre& position, const ValeurAutorisee*& ligne);
    uint16_t rechercherNombreGroupes(Nombre& nombre);
    uint16_t rechercherNombreSuperGroupes(Nombre& nombre);

    // --- Local modifications (tables 35 to 43) ---
    // Whether a record of the key has an effective date not after the reference date.
    uint16_t chercheModificationCodeRegroupement(const Code& codeActe, const Code& codeActivite,
                                                 const Date& dateReference, Booleen& modifie);
    uint16_t chercherModificationMajorationDOM(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                               const Nombre& positionDOM, const Date& dateReference,
                                               Booleen& modifie);
    uint16_t chercherModificationModificateur(const Code& codeModificateur, const Nombre& grille,
                                              const Date& dateReference, Booleen& modifie);
    uint16_t chercherModificationPrixUnitaire(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                              const Nombre& grille, const Date& dateReference, Booleen& modifie);
    uint16_t chercherModificationReductionNC(const Date& dateReference, Booleen& modifie);
    uint16_t chercherModificationRegleAssociationNP(const Code& codeAssociation, const Nombre& grille,
                                                    const Date& dateReference, Booleen& modifie);
    uint16_t chercherModificationSeuil(const Nombre& positionSeuil, const Date& dateReference, Booleen& modifie);
    uint16_t chercherModificationSupplementCharge(const Code& codeActe, const Code& codeActivite,
                                                  const Code& codePhase, const Date& dateReference,
                                                  Booleen& modifie);

    // Effective date of the local modification in force; an empty date and 0 when none.
    uint16_t rechercherDateModificationCodeRegroupement(const Code& codeActe, const Code& codeActivite,
                                                        const Date& dateReference, Date& date);
    uint16_t rechercherDateModificationCoefficientAssociationNP(const Code& codeAssociation, const Nombre& grille,
                                                                const Date& dateReference, Date& date);
    uint16_t rechercherDateModificationMajorationDOM(const Code& codeActe, const Code& codeActivite,
                                                     const Code& codePhase, const Nombre& positionDOM,
                                                     const Date& dateReference, Date& date);
    uint16_t rechercherDateModificationModificateur(const Code& codeModificateur, const Nombre& grille,
                                                    const Date& dateReference, Date& date);
    uint16_t rechercherDateModificationNonConventionnes(const Date& dateReference, Date& date);
    // Whatever the grid.
    uint16_t rechercherDateModificationPrixUnitaire(const Code& codeActe, const Code& codeActivite,
                                                    const Code& codePhase, const Date& dateReference, Date& date);
    uint16_t rechercherDateModificationSeuilExoTM(const Nombre& positionSeuil, const Date& dateReference, Date& date);
    uint16_t rechercherDateModificationSupplementCharges(const Code& codeActe, const Code& codeActivite,
                                                         const Code& codePhase, const Date& dateReference,
                                                         Date& date);
    // Creation date of a grouping code added locally; 0xD002 for a code of the reference data.
    uint16_t rechercherDateCreationCodeRegroupement(const Code& codeRegroupement, Date& date);

    // --- Header of the référentiel ---
    uint16_t lireVersionReferentiel(Code& version);
    uint16_t lireVersionMinLogicielle(Code& version);
    uint16_t lireVersionBaseCCAM(Code& version);
    uint16_t lireVariante(Code& variante);
    uint16_t lireNumeroRevisionReferentiel(Nombre& numero);
    uint16_t lireDateModification(Date& date);
    uint16_t lireCommentaireReferentiel(Texte& commentaire);

protected:
    // The table in that slot, its rows read first when it is deferred; null once cr is set.
    const Table* tableReferentiel(uint16_t identifiant, uint16_t& cr);
    // One more value found with a local modification in force, when counting.
    void compter(bool modifie);
    // Whether a value read while counting must be looked up in that modification table: a
    // table without records holds none, and its lookup writes lines only when traced.
    bool modificationsACompter(uint16_t identifiant) const;

    Referentiel* referentiel;
    bool compterModifications = false;
    uint32_t nombreModificationsLues = 0;

private:
    uint16_t chercherActeSansTrace(const Code& codeActe, NiveauActe*& acte);
    // The searches of the descent with their trace lines, once what is kept did not answer.
    uint16_t chercherActeComplet(const Code& codeActe, NiveauActe*& acte);
    uint16_t chercherActiviteComplet(const Code& codeActe, const Code& codeActivite, NiveauActivite*& activite);
    uint16_t chercherPhaseComplet(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                  NiveauPhase*& phase);
    uint16_t chercherHistoActeComplet(const Code& codeActe, const Date& dateReference,
                                      const HistoriqueNiveauActe*& historique);
    uint16_t chercherHistoActiviteComplet(const Code& codeActe, const Code& codeActivite, const Date& dateReference,
                                          const HistoriqueNiveauActivite*& historique);
    uint16_t chercherHistoPhaseComplet(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                       const Date& dateReference, const HistoriqueNiveauPhase*& historique);
    uint16_t chercherValeurModificateur(const Code& codeModificateur, const Date& dateReference,
                                        const Nombre& grille, const HistoriqueValeurModificateur*& historique);
    uint16_t rechercherAgeModificateur(const Code& codeModificateur, const Date& dateReference, bool minimum,
                                       Periode& age);
    // The record in force at the date for a key, one lookup per modification table; null when none.
    const ModificationCodeRegroupement* modificationCodeRegroupement(const Code& codeActe, const Code& codeActivite,
                                                                     const Date& dateReference, uint16_t& cr);
    // Any grid when grille is null.
    const ModificationPrixUnitaire* modificationPrixUnitaire(const Code& codeActe, const Code& codeActivite,
                                                             const Code& codePhase, const Nombre* grille,
                                                             const Date& dateReference, uint16_t& cr);
    const ModificationSupplementCharge* modificationSupplementCharge(const Code& codeActe, const Code& codeActivite,
                                                                     const Code& codePhase, const Date& dateReference,
                                                                     uint16_t& cr);
    const ModificationMajorationDOM* modificationMajorationDOM(const Code& codeActe, const Code& codeActivite,
                                                               const Code& codePhase, const Nombre& positionDOM,
                                                               const Date& dateReference, uint16_t& cr);
    const ModificationModificateur* modificationModificateur(const Code& codeModificateur, const Nombre& grille,
                                                             const Date& dateReference, uint16_t& cr);
    const ModificationRegleAssociationNonPrevue* modificationRegleAssociationNP(const Code& codeAssociation,
                                                                                const Nombre& grille,
                                                                                const Date& dateReference,
                                                                                uint16_t& cr);
    const ModificationSeuil* modificationSeuil(const Nombre& positionSeuil, const Date& dateReference, uint16_t& cr);
    const ModificationNonConventionne* modificationNonConventionne(const Date& dateReference, uint16_t& cr);
    static constexpr size_t kNombreTablesDatees = 69;  // one place per table identifier
    Place place_;
    bool ouvert_ = false;
    // The index rows found by act code: the rules of an invoice ask for the same acts
    // again and again, and the rows neither move nor go while this reader holds the référentiel.
    // The last act, then a slot per recent code; a code that lost its slot is searched again.
    // The slots are made only when a call asks for a second act: the first has a slot of its own.
    // Under its act a slot also keeps the last descent found from it (the version at a date,
    // the activity and its version, the phase and its version), which the rules of one line ask
    // for again and again; finding another activity forgets the phase kept. Only a reader uses
    // them (the writer changes the levels it reads), and only while the query trace is off:
    // a level found here, or searched from a level kept, writes none of the lines of its search.
    // A level's version last found, and the date it was asked at.
    template <class Historique>
    struct VersionRetenue {
        uint32_t date;
        const Historique* historique;
        const Historique* a(const Date& dateReference) const {
            return historique != nullptr && date == cleDate(dateReference) ? historique : nullptr;
        }
        void garder(const Date& dateReference, const Historique* trouve) {
            date = cleDate(dateReference);
            historique = trouve;
        }
    };
    static uint32_t cleDate(const Date& date) {
        return static_cast<uint32_t>(date.annee()) << 16 | static_cast<uint32_t>(date.mois()) << 8 | date.jour();
    }
    struct PhaseRetenue {
        char code;
        NiveauPhase* niveau;
        VersionRetenue<HistoriqueNiveauPhase> version;
    };
    struct ActiviteRetenue {
        char code;
        NiveauActivite* niveau;
        VersionRetenue<HistoriqueNiveauActivite> version;
        PhaseRetenue phase;
    };
    // A code of up to 16 bytes as two words, overlapping when it is shorter than two, and its
    // length: cheaper to compare and to mix than its bytes one by one. A slot keeps its code's
    // words, so that a query makes only those of the code it is asked.
    struct MotsCode {
        uint64_t tete;
        uint64_t queue;
        size_t longueur;
        MotsCode() = default;
        MotsCode(const char* code, size_t n) : longueur(n) { motsDe(code, n, tete, queue); }
        bool operator==(const MotsCode& autre) const {
            return tete == autre.tete && queue == autre.queue && longueur == autre.longueur;
        }
    };
    // A slot is free while its row is null, and taking it blanks it whole: the kept parts
    // have no initialisers, so that making the slots writes their rows alone while a blank,
    // X(), is all zeros still.
    struct ActeRecent {
        MotsCode mots;
        Index* ligne = nullptr;
        NiveauActe* niveau = nullptr;
        VersionRetenue<HistoriqueNiveauActe> version;
        ActiviteRetenue activite;
        bool designe(const MotsCode& autre) const { return ligne != nullptr && mots == autre; }
    };
    static void motsDe(const char* code, size_t n, uint64_t& tete, uint64_t& queue) {
        tete = 0;
        queue = 0;
        if (n >= 8) {
            std::memcpy(&tete, code, 8);
            std::memcpy(&queue, code + n - 8, 8);
        } else if (n >= 4) {
            uint32_t a, b;
            std::memcpy(&a, code, 4);
            std::memcpy(&b, code + n - 4, 4);
            tete = a;
            queue = b;
        } else {
            for (size_t i = 0; i < n; ++i) tete = tete << 8 | static_cast<unsigned char>(code[i]);
        }
    }
    // A code goes to one of two neighbouring slots; the slots grow fourfold once a quarter
    // of them is taken, so that the acts of the largest invoice rarely put each other out.
    static constexpr uint32_t kActesRecentsInitial = 256;
    static constexpr uint32_t kActesRecentsMaximum = 4096;
    ActeRecent premierActe_ = ActeRecent();
    std::unique_ptr<ActeRecent[]> actesRecents_;
    uint32_t capaciteRecents_ = 0;
    uint32_t occupesRecents_ = 0;
    int decalageRecents_ = 0;  // keeps the top bits that number the slots
    ActeRecent* dernierActe_ = nullptr;
    size_t rangRecent(const MotsCode& mots) const;
    // The slots made or grown, those kept placed again.
    void agrandirRecents();
    ActeRecent* placeLibre(const MotsCode& mots);
    // The slot holding the act, made the last one; null when none holds it.
    ActeRecent* acteRetenu(const Code& codeActe);
    ActeRecent* acteRetenuParmiRecents(const MotsCode& mots);
    // The slot an act found in the index takes, the slots made at the second act.
    ActeRecent* placeRecente(const Code& codeActe);
    // Whether the descents kept may answer now.
    bool descenteUtilisable() const;
    // The answer for the last speciality asked at a date, its code too, kept as the descents
    // are (untraced, a search writes no line either way): every line of an invoice asks for
    // its practitioner's.
    struct ClasseRetenue {
        bool gardee = false;
        Code specialite;
        uint32_t date = 0;
        uint16_t cr = 0;
        Code classe;
        bool a(const Code& autre, const Date& dateReference) const {
            return gardee && date == cleDate(dateReference) && specialite == autre;
        }
    };
    ClasseRetenue classeRetenue_;
    // The same for the last grouping code whose existence was asked at a date (every line
    // asks for its prestation's) and for the grid of the last contexts asked at a date, its
    // row of information with it, or its absence (every line asks for its own).
    struct RegroupementRetenu {
        bool garde = false;
        Code code;
        uint32_t date = 0;
        bool existe = false;
        bool a(const Code& autre, const Date& dateReference) const {
            return garde && date == cleDate(dateReference) && code == autre;
        }
    };
    RegroupementRetenu regroupementRetenu_;
    struct GrilleRetenue {
        bool gardee = false;
        int32_t contextePS = 0;
        int32_t contexteBS = 0;
        uint32_t date = 0;
        uint16_t cr = 0;
        int32_t grille = 0;
        const InfosGril* info = nullptr;
        bool a(const Nombre& ps, const Nombre& bs, const Date& dateReference) const {
            return gardee && contextePS == ps.valeur() && contexteBS == bs.valeur() && date == cleDate(dateReference);
        }
    };
    GrilleRetenue grilleRetenue_;
    // The row of a dated parameter table in force at a date, the last one found kept by
    // table as the descents are: the rules of every line ask for the same few.
    template <class L>
    const L* ligneDatee(const Date& dateReference, uint16_t& cr, const char* messageAbsent);
    // A row is kept for the place it was found under: giving the place back moves to the
    // next generation, which leaves every row kept before it unused without clearing them.
    struct LigneDateeRetenue {
        uint32_t generation = 0;
        uint32_t date = 0;
        const void* ligne = nullptr;
    };
    LigneDateeRetenue lignesDatees_[kNombreTablesDatees];
    uint32_t generationDatees_ = 1;
    // The activity or phase kept under the act's slot; when another is kept, the one asked is
    // searched and kept there in its place, as its complete search would keep it. Null when the
    // act's level is not kept, the code is not one byte or the level has no such child: the
    // complete search then runs, for its code and its lines.
    ActiviteRetenue* activiteRetenue(const Code& codeActe, const Code& codeActivite);
    PhaseRetenue* phaseRetenue(const Code& codeActe, const Code& codeActivite, const Code& codePhase);
    static ActiviteRetenue* activiteDescendue(ActeRecent& recent, const Code& codeActivite);
    static PhaseRetenue* phaseDescendue(ActiviteRetenue& activite, const Code& codePhase);
    // The version in force at the date under a level kept, searched and kept when the one kept
    // is of another date; null when none is in force (the complete search then runs).
    static const HistoriqueNiveauActe* versionDescendue(ActeRecent& recent, const Date& dateReference);
    static const HistoriqueNiveauActivite* versionDescendue(ActiviteRetenue& activite, const Date& dateReference);
    static const HistoriqueNiveauPhase* versionDescendue(PhaseRetenue& phase, const Date& dateReference);
    // The grid of the contexts at the date, and its row of information.
    uint16_t chercherGrille(const Nombre& contextePS, const Nombre& contexteBS, const Date& dateReference,
                            Nombre& grille, const InfosGril*& info);
};

// What the descent keeps answers inline: the rules of a line ask for it hundreds of times
// a call, and a kept answer is a few comparisons, less than the calls that reached it.

inline bool LectureDonnees::descenteUtilisable() const {
    return place_ == Place::lecteur && !TraceDetail::estActif(CAT_CONSULTATION, NIV_DETAIL) &&
           !TraceDetail::estActif(CAT_CYCLE, NIV_DETAIL);
}

inline LectureDonnees::ActeRecent* LectureDonnees::acteRetenu(const Code& codeActe) {
    const MotsCode mots(codeActe.chaine(), codeActe.longueur());
    if (dernierActe_ != nullptr && dernierActe_->designe(mots)) return dernierActe_;
    return acteRetenuParmiRecents(mots);
}

// A one-character code as its search pads it; a longer one is never kept.
inline LectureDonnees::ActiviteRetenue* LectureDonnees::activiteRetenue(const Code& codeActe,
                                                                       const Code& codeActivite) {
    ActeRecent* recent = acteRetenu(codeActe);
    if (recent == nullptr || recent->niveau == nullptr) return nullptr;
    ActiviteRetenue& activite = recent->activite;
    if (activite.niveau != nullptr && codeActivite.longueur() == 1 && codeActivite[0] == activite.code)
        return &activite;
    return activiteDescendue(*recent, codeActivite);
}

inline LectureDonnees::PhaseRetenue* LectureDonnees::phaseRetenue(const Code& codeActe, const Code& codeActivite,
                                                                 const Code& codePhase) {
    ActiviteRetenue* activite = activiteRetenue(codeActe, codeActivite);
    if (activite == nullptr) return nullptr;
    PhaseRetenue& phase = activite->phase;
    if (phase.niveau != nullptr && codePhase.longueur() == 1 && codePhase[0] == phase.code) return &phase;
    return phaseDescendue(*activite, codePhase);
}

inline uint16_t LectureDonnees::chercherActe(const Code& codeActe, NiveauActe*& acte) {
    if (descenteUtilisable()) {
        const ActeRecent* recent = acteRetenu(codeActe);
        if (recent != nullptr && recent->niveau != nullptr) {
            acte = recent->niveau;
            return 0;
        }
    }
    return chercherActeComplet(codeActe, acte);
}

inline uint16_t LectureDonnees::chercherActivite(const Code& codeActe, const Code& codeActivite,
                                                 NiveauActivite*& activite) {
    if (descenteUtilisable()) {
        if (const ActiviteRetenue* retenue = activiteRetenue(codeActe, codeActivite)) {
            activite = retenue->niveau;
            return 0;
        }
    }
    return chercherActiviteComplet(codeActe, codeActivite, activite);
}

inline uint16_t LectureDonnees::chercherPhase(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                              NiveauPhase*& phase) {
    if (descenteUtilisable()) {
        if (const PhaseRetenue* retenue = phaseRetenue(codeActe, codeActivite, codePhase)) {
            phase = retenue->niveau;
            return 0;
        }
    }
    return chercherPhaseComplet(codeActe, codeActivite, codePhase, phase);
}

inline uint16_t LectureDonnees::chercherHistoActe(const Code& codeActe, const Date& dateReference,
                                                  const HistoriqueNiveauActe*& historique) {
    if (descenteUtilisable()) {
        ActeRecent* recent = acteRetenu(codeActe);
        if (recent != nullptr && ((historique = recent->version.a(dateReference)) != nullptr ||
                                  (historique = versionDescendue(*recent, dateReference)) != nullptr))
            return 0;
    }
    return chercherHistoActeComplet(codeActe, dateReference, historique);
}

inline uint16_t LectureDonnees::chercherHistoActivite(const Code& codeActe, const Code& codeActivite,
                                                      const Date& dateReference,
                                                      const HistoriqueNiveauActivite*& historique) {
    if (descenteUtilisable()) {
        ActiviteRetenue* retenue = activiteRetenue(codeActe, codeActivite);
        if (retenue != nullptr && ((historique = retenue->version.a(dateReference)) != nullptr ||
                                   (historique = versionDescendue(*retenue, dateReference)) != nullptr))
            return 0;
    }
    return chercherHistoActiviteComplet(codeActe, codeActivite, dateReference, historique);
}

inline uint16_t LectureDonnees::chercherHistoPhase(const Code& codeActe, const Code& codeActivite,
                                                   const Code& codePhase, const Date& dateReference,
                                                   const HistoriqueNiveauPhase*& historique) {
    if (descenteUtilisable()) {
        PhaseRetenue* retenue = phaseRetenue(codeActe, codeActivite, codePhase);
        if (retenue != nullptr && ((historique = retenue->version.a(dateReference)) != nullptr ||
                                   (historique = versionDescendue(*retenue, dateReference)) != nullptr))
            return 0;
    }
    return chercherHistoPhaseComplet(codeActe, codeActivite, codePhase, dateReference, historique);
}

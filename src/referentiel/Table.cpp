// Tables: creation of rows by identifier, reading and writing in file order,
// and the deferred load of the search tables.
#include "referentiel/Table.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/lignes/Lignes.h"

namespace {

// A row's own members allocate too (its strings), not only the row object.
template <class L>
std::unique_ptr<LigneTable> nouvelle() {
    try {
        return std::unique_ptr<LigneTable>(new L);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

using Fabrique = std::unique_ptr<LigneTable> (*)();

// Row class by identifier; null where an identifier has none.
const Fabrique kFabriques[69] = {
    nouvelle<Index>,
    nouvelle<AssociationNonPrevue>,
    nouvelle<HistoriqueAssociationNonPrevue>,
    nouvelle<RegleTarifaire>,
    nouvelle<HistoriqueRegleTarifaire>,
    nouvelle<Specialite>,
    nouvelle<HistoriqueSpecialite>,
    nouvelle<ClasseSpecialite>,
    nouvelle<HistoriqueClasseSpecialite>,
    nouvelle<SpecialiteDansClasse>,
    nouvelle<Seuil>,
    nouvelle<JourFerieCaisse>,
    nouvelle<JourFerieListe>,
    nouvelle<ReductionNonConventionne>,
    nouvelle<CodeRegroupement>,
    nullptr,
    nouvelle<ObligationCodage>,
    nouvelle<DateObligationCodage>,
    nouvelle<NombreModificateurTarifant>,
    nouvelle<ConceptCCAM>,
    nouvelle<HistoriqueConceptCCAM>,
    nouvelle<ValeurConceptCCAM>,
    nouvelle<Modificateur>,
    nouvelle<HistoriqueAgeModificateur>,
    nouvelle<ModificateurCompatible>,
    nouvelle<HistoriqueCoherenceModificateur>,
    nouvelle<HistoriqueValeurModificateur>,
    nouvelle<HistoriqueModificateurOC>,
    nullptr,
    nouvelle<Synonyme>,
    nouvelle<ActeIndexe>,
    nouvelle<Arborescence>,
    nouvelle<Codes>,
    nouvelle<LibelleCode>,
    nouvelle<InformationRegle>,
    nouvelle<ModificationPrixUnitaire>,
    nouvelle<ModificationSupplementCharge>,
    nouvelle<ModificationMajorationDOM>,
    nouvelle<ModificationRegleAssociationNonPrevue>,
    nouvelle<ModificationSeuil>,
    nouvelle<ModificationModificateur>,
    nouvelle<ModificationNonConventionne>,
    nouvelle<ModificationCodeRegroupement>,
    nouvelle<ModificationNouveauCodeRegroupement>,
    nouvelle<NombreModificateurTransmissible>,
    nouvelle<ServiceDebrayable>,
    nouvelle<ReferenceRegleEntrainantDebrayage>,
    nouvelle<ReferenceRegleEnErreur>,
    nouvelle<ReferenceRegleNonVerifiable>,
    nouvelle<DescriptifSuperGroupe>,
    nouvelle<DescriptifGroupe>,
    nouvelle<DescriptifChamp>,
    nouvelle<ValeurAutorisee>,
    nouvelle<FilsSuperGroupe>,
    nouvelle<PrioriteIndicateurForcage>,
    nouvelle<ReferenceCdC>,
    nouvelle<ExceptionPrioriteIndicateur>,
    nouvelle<ValeurException>,
    nouvelle<MotCle>,
    nouvelle<NombreActeAssociation>,
    nouvelle<AssoGrille>,
    nouvelle<RegleGrille>,
    nouvelle<ModificaGrille>,
    nouvelle<ContextPS>,
    nouvelle<ContextBN>,
    nouvelle<ConTarifaire>,
    nouvelle<HistoGrilleTar>,
    nouvelle<InfosGril>,
    nouvelle<CMUforfait>,
};

const char* const kNoms[69] = {
    "Index", "AssociationsNP", "HistoriquesAssociationNonPrevue", "ReglesTarifaires",
    "HistoriquesRegleTarifaire", "Specialites", "HistoriquesSpecialite", "ClassesSpecialites",
    "HistoriquesClasseSpecialite", "SpecialitesDansClasse", "Seuils", "JoursFeriesCaisse", "JoursFeriesListe",
    "ReductionsNC", "CodesRegroupement", "", "ObligationsCodage", "DatesObligationCodage",
    "NombreModificateursTarifiants", "ConceptsCCAM", "HistoriquesConceptsCCAM", "ValeursConceptsCCAM",
    "Modificateurs", "HistoriquesAgeModificateur", "ModificateursCompatibles", "HistoriquesCoherenceModificateur",
    "HistoriquesValeurModificateur", "HistoriquesModificateurOC", "", "Synonymes", "ActesIndexes", "Arborescence",
    "Codes", "LibellesCodes", "InformationsRegles", "ModificationsPrixUnitaire", "ModificationsSupplementCharge",
    "ModificationsMajorationDOM", "ModificationsRegleAssociationNonPrevue", "ModificationsSeuil",
    "ModificationsModificateur", "ModificationsNonConventionne", "ModificationsCodeRegroupement",
    "ModificationsNouveauCodeRegroupement", "ModificateursTransmissibles", "ServicesDebrayables",
    "ReferencesReglesEntrainantDebrayage", "ReferencesReglesEnErreur", "ReferencesReglesNonVerifiables",
    "SuperGroupes", "Groupes", "Champs", "ValeursAutorisees", "FilsSuperGroupes", "PrioriteIndicateurForcage",
    "ReferencesCdC", "Exceptions", "ValeursExceptions", "MotsCles", "ActeAssociation", "AssoGrille", "RegleGrille",
    "ModificaGrille", "ContextesPS", "ContextesBN", "ContexteTarifaire", "HistoGrilleTar", "InfosGril",
    "CMUforfait",
};

// "000" to "068" and any other three digits; non-digits give 69, an identifier without class.
uint16_t numeroIdentifiant(const char* identifiant) {
    uint16_t n = 0;
    for (int i = 0; i < 3; ++i) {
        char c = identifiant[i];
        if (c < '0' || c > '9') return 69;
        n = static_cast<uint16_t>(n * 10 + (c - '0'));
    }
    return n;
}

struct TaillesMinimales {
    uint32_t tailles[69] = {};
    template <class L>
    void operator()() {
        tailles[L::kIdentifiant] = L::tailleMinimaleLigne();
    }
};

}  // namespace

uint32_t Table::tailleMinimaleLigne(uint16_t identifiant) {
    static const TaillesMinimales mesures = [] {
        TaillesMinimales m;
        pourChaqueClasse(m);
        return m;
    }();
    return identifiant < 69 ? mesures.tailles[identifiant] : 0;
}

bool Table::aUneClasse(uint16_t identifiant) { return identifiant < 69 && kFabriques[identifiant] != nullptr; }

const char* Table::nomTable(uint16_t identifiant) { return identifiant < 69 ? kNoms[identifiant] : ""; }

Table::Table(const char* identifiant, uint32_t nombreLignes, long position, uint32_t taille, bool reference)
    : taille_(taille) {
    std::memcpy(identifiant_, identifiant, 3);
    identifiant_[3] = '\0';
    numero_ = numeroIdentifiant(identifiant_);
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Table::Table : Construction de la table %s", identifiant_);
    if (reference) testerIdentifiantTableRef(numero_);
    else testerIdentifiantTableModif(numero_);
    if (etat_ == kChargee) {
        nombreLignes_ = nombreLignes;
        if (nombreLignes != 0) creerLignes(nombreLignes);
    } else if (etat_ == kDifferee) {
        nombreLignes_ = nombreLignes;
        position_ = position;
    }
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Etat de l'objet Table : 0x%04X", static_cast<unsigned>(etat_));
}

Table::Table() = default;

Table::Table(std::vector<std::unique_ptr<LigneTable>> lignes)
    : nombreLignes_(static_cast<uint32_t>(lignes.size())), lignes_(std::move(lignes)) {}

Table::Table(const Table& autre)
    : numero_(autre.numero_),
      nombreLignes_(autre.nombreLignes_),
      etat_(autre.etat_),
      position_(autre.position_),
      taille_(autre.taille_) {
    std::memcpy(identifiant_, autre.identifiant_, sizeof identifiant_);
    lignes_.reserve(autre.lignes_.size());
    for (const auto& ligne : autre.lignes_) lignes_.push_back(ligne->cloner());
}

Table::~Table() {
    if (identifiant_[0] != '\0')
        tracerDetail(CAT_CYCLE, NIV_DETAIL, "Table::Table : Destruction de la table %s", identifiant_);
}

void Table::testerIdentifiantTableRef(uint16_t identifiant) {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Table::testerIdentifiantTableRef: identifiant = %hu", identifiant);
    if (identifiant == 30 || identifiant == 31 || identifiant == 58) etat_ = kDifferee;
    else if (aUneClasse(identifiant) && !(identifiant >= 35 && identifiant <= 43)) etat_ = kChargee;
    else etat_ = kNonAcceptee;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Table::testerIdentifiantTableRef: etat = %d", etat_);
}

void Table::testerIdentifiantTableModif(uint16_t identifiant) {
    etat_ = identifiant >= 35 && identifiant <= 43 ? kChargee : kNonAcceptee;
}

std::unique_ptr<LigneTable> Table::creerLigneTable(uint16_t identifiant) {
    if (!aUneClasse(identifiant)) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR dans Table::creerLigneTable: identifiant inconnu");
        etat_ = kNonAcceptee;
        return nullptr;
    }
    std::unique_ptr<LigneTable> ligne = kFabriques[identifiant]();
    if (!ligne) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR dans Table::creerLigneTable: probleme d'allocation memoire");
        etat_ = kEchecAllocation;
    }
    return ligne;
}

void Table::creerLignes(uint32_t nombre) {
    lignes_.clear();
    // Checked before anything is allocated in proportion to a count read from the file.
    if (static_cast<uint64_t>(nombre) * tailleMinimaleLigne(numero_) > taille_) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR,
                     "ERREUR : %lu lignes de %lu octets au moins ne tiennent pas dans les %lu octets de la table %s",
                     static_cast<unsigned long>(nombre), static_cast<unsigned long>(tailleMinimaleLigne(numero_)),
                     static_cast<unsigned long>(taille_), identifiant_);
        etat_ = kTailleIncoherente;
        nombreLignes_ = 0;
        return;
    }
    try {
        lignes_.reserve(nombre);
    } catch (const std::exception&) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : probleme d'allocation memoire : lignes= new LigneTable*");
        etat_ = kEchecAllocation;
        nombreLignes_ = 0;
        return;
    }
    for (uint32_t i = 0; i < nombre; ++i) {
        std::unique_ptr<LigneTable> ligne = creerLigneTable(numero_);
        if (!ligne) break;
        lignes_.push_back(std::move(ligne));
    }
    nombreLignes_ = static_cast<uint32_t>(lignes_.size());
}

bool Table::ajouterLigne(std::unique_ptr<LigneTable> ligne) {
    if (!ligne) return false;
    try {
        lignes_.push_back(std::move(ligne));
    } catch (const std::bad_alloc&) {
        return false;
    }
    nombreLignes_ = static_cast<uint32_t>(lignes_.size());
    return true;
}

bool Table::reserver(uint32_t nombre) {
    try {
        lignes_.reserve(lignes_.size() + nombre);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool Table::pointeVers(uint16_t enfant) const {
    std::unique_ptr<LigneTable> modele;
    LigneTable* ligne = lignes_.empty() ? nullptr : lignes_.front().get();
    // A deferred or empty table answers from a row of its class.
    if (ligne == nullptr && identifiant_[0] != '\0' && aUneClasse(numero_)) {
        modele = kFabriques[numero_]();
        ligne = modele.get();
    }
    std::vector<ReferencePlage> plages;
    if (ligne != nullptr) ligne->plagesVers(enfant, plages);
    return !plages.empty();
}

bool Table::plagesDesParents(const std::vector<Table*>& parents, const LigneTable* proprietaire,
                             std::vector<ReferencePlage>& autres, std::vector<ReferencePlage>& siennes) const {
    for (Table* parent : parents) {
        if (parent->lignes_.size() != parent->nombreLignes_) return false;
        for (const auto& ligne : parent->lignes_) ligne->plagesVers(numero_, ligne.get() == proprietaire ? siennes : autres);
    }
    return true;
}

uint16_t Table::insererLigne(uint32_t position, std::unique_ptr<LigneTable> ligne, const std::vector<Table*>& parents,
                             const LigneTable* proprietaire) {
    if (!ligne) return KPX_CR_CONSTRUCTION;
    std::vector<ReferencePlage> autres, siennes;
    bool accepte = position <= lignes_.size() && (identifiant_[0] == '\0' || ligne->identifiantTable() == numero_) &&
                   plagesDesParents(parents, proprietaire, autres, siennes) &&
                   (proprietaire == nullptr || !siennes.empty());
    for (const ReferencePlage& p : siennes) {
        const bool vide = *p.nombre == 0;
        accepte = accepte && *p.nombre < 0xFFFFu &&
                  (vide ? position <= p.positionMaximale()
                        : p.position() <= position && position <= p.position() + *p.nombre);
    }
    for (const ReferencePlage& p : autres) {
        if (p.position() >= position) accepte = accepte && p.position() < p.positionMaximale();
        else accepte = accepte && p.position() + *p.nombre <= position;
    }
    if (!accepte) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : insertion refusee a la ligne %lu de la table %s",
                     static_cast<unsigned long>(position), identifiant_);
        return KPX_CR_DONNEES_INCOHERENTES;
    }
    try {
        lignes_.insert(lignes_.begin() + position, std::move(ligne));
    } catch (const std::bad_alloc&) {
        return KPX_CR_CONSTRUCTION;
    }
    nombreLignes_ = static_cast<uint32_t>(lignes_.size());
    for (ReferencePlage& p : siennes) {
        const uint32_t debut = *p.nombre == 0 ? position : p.position();
        p.placer(debut, debut + *p.nombre + 1);
    }
    for (ReferencePlage& p : autres)
        if (p.position() >= position) p.placer(p.position() + 1, p.position() + 1 + *p.nombre);
    return 0;
}

uint16_t Table::supprimerLignes(uint32_t position, uint32_t nombre, const std::vector<Table*>& parents) {
    std::vector<ReferencePlage> plages;
    if (position > lignes_.size() || nombre > lignes_.size() - position ||
        !plagesDesParents(parents, nullptr, plages, plages)) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : suppression refusee a la ligne %lu de la table %s",
                     static_cast<unsigned long>(position), identifiant_);
        return KPX_CR_DONNEES_INCOHERENTES;
    }
    lignes_.erase(lignes_.begin() + position, lignes_.begin() + position + nombre);
    nombreLignes_ = static_cast<uint32_t>(lignes_.size());
    // A bound inside the removed rows comes to their place; one past them moves up by their number.
    auto borne = [position, nombre](uint32_t x) { return x <= position ? x : x >= position + nombre ? x - nombre : position; };
    for (ReferencePlage& p : plages) p.placer(borne(p.position()), borne(p.position() + *p.nombre));
    return 0;
}

uint16_t Table::lireTable(Lecteur& lecteur) {
    const long debut = lecteur.positionCourante();
    for (size_t i = 0; i < lignes_.size(); ++i) {
        uint16_t cr = lignes_[i]->lireLigne(lecteur);
        if (cr != 0) {
            tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : probleme de lecture de la ligne d'indice %lu",
                         static_cast<unsigned long>(i));
            tracerDetail(CAT_CYCLE, NIV_ERREUR, "POSITION de l'erreur dans le fichier : 0x%08lX",
                         static_cast<unsigned long>(lecteur.position()));
            return cr;
        }
    }
    const long lus = lecteur.positionCourante() - debut;
    if (lus != static_cast<long>(taille_)) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : les lignes de la table %s occupent %ld octets au lieu de %lu",
                     identifiant_, lus, static_cast<unsigned long>(taille_));
        return KPX_CR_LECTURE;
    }
    return 0;
}

uint16_t Table::ecrireTable(Ecrivain& ecrivain) const {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Table::ecrireTable : Ecriture de la table %s", identifiant_);
    uint16_t cr = ecrivain.ecrireEnteteTable(identifiant_, static_cast<uint32_t>(lignes_.size()));
    for (size_t i = 0; i < lignes_.size() && cr == 0; ++i) cr = lignes_[i]->ecrireLigne(ecrivain);
    if (cr == 0) cr = ecrivain.terminerTable();
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour Table::ecrireTable : 0x%04X", cr);
    return cr;
}

uint16_t Table::chargerTable(uint16_t identifiant, Referentiel& referentiel, FILE* fichier) {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Table::chargerTable: identifiant = %hu", identifiant);
    uint16_t cr = 0;
    const uint32_t attendu = nombreLignes_;
    etat_ = kChargee;
    creerLignes(attendu);
    if (etat_ == kEchecAllocation) cr = KPX_CR_CONSTRUCTION;
    else if (etat_ == kNonAcceptee) cr = KPX_CR_DONNEES_INCOHERENTES;
    else if (etat_ == kTailleIncoherente) cr = KPX_CR_LECTURE;
    if (cr == 0 && (fichier == nullptr || position_ <= 0 || std::fseek(fichier, position_, SEEK_SET) != 0)) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "La position des données (%ld) n'est pas valide", position_);
        cr = KPX_CR_DONNEES_INCOHERENTES;
    }
    if (cr == 0) {
        // The rows must not stay half read: on any way out the table goes back to deferred.
        try {
            Lecteur lecteur(referentiel, fichier);
            cr = lireTable(lecteur);
        } catch (const std::bad_alloc&) {
            cr = KPX_CR_CONSTRUCTION;
        }
    }
    if (cr == 0) {
        position_ = 0;
    } else {
        lignes_.clear();
        nombreLignes_ = attendu;
        etat_ = kDifferee;
    }
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Table::chargerTable: cr = 0x%04X, etat = %d", cr, etat_);
    return cr;
}

void Table::afficher(uint16_t niveau) const {
    tracerDetail(CAT_CYCLE, niveau, "Identifiant : \"%s\"", identifiant_);
    tracerDetail(CAT_CYCLE, niveau, "Nombre de lignes  : %lu", static_cast<unsigned long>(nombreLignes_));
    tracerDetail(CAT_CYCLE, niveau, "%s", "");
    for (size_t i = 0; i < lignes_.size(); ++i) {
        tracerDetail(CAT_CYCLE, niveau, "LIGNE D'INDICE %lu", static_cast<unsigned long>(i));
        lignes_[i]->afficher(niveau);
    }
}

// Load of the référentiel: the table file checked by CRC and versions, its 58
// tables (three of them deferred), the structural checks, then the modification
// file. Every file opened here is closed by a guard, whatever the path taken.
#include "referentiel/Referentiel.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>

#include "KPXW32.h"
#include "frame/Fichiers.h"
#include "frame/Plateforme.h"
#include "frame/Trace.h"
#include "referentiel/Codage.h"
#include "referentiel/CodeActe.h"
#include "referentiel/Lecteur.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/RejeuModifications.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Index.h"

namespace {

void erreur(const char* format, const char* valeur = "", const char* valeur2 = "") {
    tracerDetail(CAT_CYCLE, NIV_ERREUR, format, valeur, valeur2);
}

// Closes the file at the end of an operation and reports a failed close.
class FichierOuvert {
public:
    FichierOuvert(FILE* fichier, uint16_t& cr, uint16_t codeFermeture, const char* messageFermeture)
        : fichier_(fichier), cr_(cr), codeFermeture_(codeFermeture), messageFermeture_(messageFermeture) {}
    FichierOuvert(const FichierOuvert&) = delete;
    FichierOuvert& operator=(const FichierOuvert&) = delete;
    ~FichierOuvert() {
        if (fichier_ == nullptr) return;
        tracerDetail(CAT_CYCLE, NIV_DETAIL, "Fermeture du fichier");
        if (std::fclose(fichier_) != 0) {
            tracerDetail(CAT_CYCLE, NIV_ERREUR, messageFermeture_, Plateforme::texteErreurSysteme().c_str());
            cr_ = codeFermeture_;
        }
    }
    FILE* get() const { return fichier_; }

private:
    FILE* fichier_;
    uint16_t& cr_;
    uint16_t codeFermeture_;
    const char* messageFermeture_;
};

// The child tables of the range checks, straight from the slots.
class TablesDuReferentiel : public SourceTables {
public:
    explicit TablesDuReferentiel(const Referentiel& referentiel) : referentiel_(referentiel) {}
    const Table* table(uint16_t identifiant) const override { return referentiel_.table(identifiant); }

private:
    const Referentiel& referentiel_;
};

struct ControleTable {
    const char* nom;
    uint16_t identifiant;
    bool nonVide;
};

// Checked in this order; the first failure stops the checks.
const ControleTable kControles[] = {
    {"controlerTableArborescence", 31, true},
    {"controlerTableAssociationsNP", 1, true},
    {"controlerTableClassesSpecialites", 7, true},
    {"controlerTableCodes", 32, false},
    {"controlerTableCodesRegroupement", 14, true},
    {"controlerTableConceptsCCAM", 19, false},
    {"controlerTableHistoriquesClasseSpecialite", 8, false},
    {"controlerTableHistoriquesConceptsCCAM", 20, false},
    {"controlerTableIndex", 0, true},
    {"controlerTableInformationsRegles", 34, true},
    {"controlerTableJoursFeriesCaisse", 11, true},
    {"controlerTableModificateurs", 22, false},
    {"controlerTableMotsCles", 58, false},
    {"controlerTableNombreModificateursTarifiants", 18, true},
    {"controlerTableObligationsCodage", 16, false},
    {"controlerTableReductionsNC", 13, true},
    {"controlerTableReglesTarifaires", 3, true},
    {"controlerTableSeuils", 10, true},
    {"controlerTableSpecialites", 5, true},
    {"controlerTableModificateursTransmissibles", 44, true},
    {"controlerTableActeAssociation", 59, true},
    {"controlerTableServicesDebrayables", 45, true},
    {"controlerTableReferencesReglesEntrainantDebrayage", 46, true},
    {"controlerTableReferencesReglesEnErreur", 47, true},
    {"controlerTableReferencesReglesNonVerifiables", 48, true},
    {"controlerTableSuperGroupes", 49, true},
    {"controlerTableGroupes", 50, true},
    {"controlerTableChamps", 51, true},
    {"controlerTableValeursAutorisees", 52, true},
    {"controlerTableFilsSuperGroupes", 53, true},
    {"controlerTablePrioriteIndicateurForcage", 54, true},
    {"controlerTableReferencesCdC", 55, true},
    {"controlerTableExceptions", 56, false},
    {"controlerTableAssoGrille", 60, true},
    {"controlerTableRegleGrille", 61, true},
    {"controlerTableContexteTarifaire", 65, false},
    {"controlerTableModificaGrille", 62, true},
};

bool estDifferee(const Table* table) { return table != nullptr && table->etat() == Table::kDifferee; }

}  // namespace

Referentiel::Referentiel() {
    std::memset(version, ' ', sizeof version);
    std::memset(versionBaseCCAM, ' ', sizeof versionBaseCCAM);
    std::memset(versionMinimaleLogiciel, ' ', sizeof versionMinimaleLogiciel);
    std::memset(variante, ' ', sizeof variante);
}

Referentiel::Referentiel(const Referentiel& autre)
    : dateDerniereModification(autre.dateDerniereModification),
      numeroRevision(autre.numeroRevision),
      commentaire(autre.commentaire),
      nombreTables(autre.nombreTables),
      repertoire(autre.repertoire),
      repertoireModification(autre.repertoireModification),
      nombreLecteurs_(autre.nombreLecteurs_),
      nombreEcrivains_(autre.nombreEcrivains_),
      rejeu_(autre.rejeu_),
      rangsActes_(autre.rangsActes_) {
    std::memcpy(version, autre.version, sizeof version);
    std::memcpy(versionBaseCCAM, autre.versionBaseCCAM, sizeof versionBaseCCAM);
    std::memcpy(versionMinimaleLogiciel, autre.versionMinimaleLogiciel, sizeof versionMinimaleLogiciel);
    std::memcpy(variante, autre.variante, sizeof variante);
    for (uint16_t i = 0; i < kNombreIdentifiants; ++i)
        if (autre.tables_[i]) tables_[i].reset(new Table(*autre.tables_[i]));
}

Referentiel::~Referentiel() = default;

Table* Referentiel::table(uint16_t identifiant) const {
    return identifiant < kNombreIdentifiants ? tables_[identifiant].get() : nullptr;
}

void Referentiel::placerTable(uint16_t identifiant, std::unique_ptr<Table> table) {
    if (identifiant < kNombreIdentifiants) tables_[identifiant] = std::move(table);
    if (identifiant == Index::kIdentifiant) rangsActes_.clear();
    // What was kept may come from the table replaced.
    const std::lock_guard<std::mutex> verrou(mutexReferences_);
    references_.store(nullptr, std::memory_order_release);
    referencesRetenues_.reset();
}

size_t Referentiel::placeActe(const char* code, size_t masque) {
    uint64_t tete, queue;
    std::memcpy(&tete, code, 8);
    std::memcpy(&queue, code + 5, 8);
    return static_cast<size_t>(CodeActe::melanger(tete, queue) >> 32) & masque;
}

void Referentiel::indexerActes() {
    rangsActes_.clear();
    const Table* index = table(Index::kIdentifiant);
    if (index == nullptr || index->etat() != Table::kChargee) return;
    const uint32_t nombre = index->nombreLignes();
    size_t places = 16;
    while (places < 2 * static_cast<size_t>(nombre)) places *= 2;
    std::vector<uint32_t> rangs;
    try {
        rangs.assign(places, 0);
    } catch (const std::bad_alloc&) {
        return;  // the dichotomy answers alone
    }
    const std::string* precedent = nullptr;
    for (uint32_t i = 0; i < nombre; ++i) {
        const Index* ligne = index->ligneDe<Index>(i);
        if (ligne == nullptr || ligne->codeActe.size() != CodeActe::kLargeur) return;
        if (precedent != nullptr && std::memcmp(precedent->data(), ligne->codeActe.data(), CodeActe::kLargeur) >= 0)
            return;
        precedent = &ligne->codeActe;
        size_t place = placeActe(ligne->codeActe.data(), places - 1);
        while (rangs[place] != 0) place = (place + 1) & (places - 1);
        rangs[place] = i + 1;
    }
    rangsActes_.swap(rangs);
}

const Index* Referentiel::acteIndexe(const char* code) const {
    if (rangsActes_.empty()) return nullptr;
    const Table* index = table(Index::kIdentifiant);
    if (index == nullptr) return nullptr;
    const size_t masque = rangsActes_.size() - 1;
    for (size_t place = placeActe(code, masque); rangsActes_[place] != 0; place = (place + 1) & masque) {
        const Index* ligne = index->ligneDe<Index>(rangsActes_[place] - 1);
        if (ligne != nullptr && ligne->codeActe.size() == CodeActe::kLargeur &&
            std::memcmp(ligne->codeActe.data(), code, CodeActe::kLargeur) == 0)
            return ligne;
    }
    return nullptr;
}

// The rule's slot, or the free one its search stopped at; null when none of either is left.
Referentiel::ReferenceRetenue* Referentiel::placeReference(ReferenceRetenue* places, const char* regle) const {
    const uint64_t adresse = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(regle));
    size_t rang = static_cast<size_t>((adresse * 0x9E3779B97F4A7C15ull) >> 56);
    for (size_t essai = 0; essai < kReferencesRetenues; ++essai, rang = (rang + 1) % kReferencesRetenues) {
        ReferenceRetenue& place = places[rang];
        const char* tenue = place.adresse.load(std::memory_order_acquire);
        if (tenue == regle || tenue == nullptr) return &place;
    }
    return nullptr;
}

const Code* Referentiel::referenceRetenue(const char* regle) const {
    ReferenceRetenue* places = references_.load(std::memory_order_acquire);
    const ReferenceRetenue* place = places != nullptr ? placeReference(places, regle) : nullptr;
    if (place == nullptr || place->adresse.load(std::memory_order_acquire) != regle || place->regle != regle)
        return nullptr;
    return &place->reference;
}

void Referentiel::retenirReference(const char* regle, const Code& reference) {
    const std::lock_guard<std::mutex> verrou(mutexReferences_);
    if (!referencesRetenues_) {
        referencesRetenues_.reset(new (std::nothrow) ReferenceRetenue[kReferencesRetenues]);
        references_.store(referencesRetenues_.get(), std::memory_order_release);
    }
    ReferenceRetenue* place = referencesRetenues_ ? placeReference(referencesRetenues_.get(), regle) : nullptr;
    // A slot taken stays as it is, even by another name at the same address: the query answers as before.
    if (place == nullptr || place->adresse.load(std::memory_order_relaxed) != nullptr) return;
    place->regle = regle;
    place->reference = reference;
    place->adresse.store(regle, std::memory_order_release);
}

std::vector<Table*> Referentiel::tablesParentes(uint16_t identifiant) const {
    std::vector<Table*> parentes;
    for (const auto& table : tables_)
        if (table && table->pointeVers(identifiant)) parentes.push_back(table.get());
    return parentes;
}

uint16_t Referentiel::ouvrirLecteur() {
    if (nombreEcrivains_ != 0) {
        tracerDetail(CAT_CONSULTATION, NIV_ERREUR, "Référentiel en cours de modification (%d écrivain)",
                     nombreEcrivains_);
        return KPX_CR_OCCUPE;
    }
    ++nombreLecteurs_;
    return 0;
}

void Referentiel::fermerLecteur() {
    if (nombreLecteurs_ != 0) --nombreLecteurs_;
}

uint16_t Referentiel::ouvrirEcrivain() {
    if (nombreLecteurs_ != 0 || nombreEcrivains_ != 0) {
        tracerDetail(CAT_MODIFICATION, NIV_ERREUR,
                     "Référentiel en cours de lecture ou de modification (%d lecteurs, %d écrivain)", nombreLecteurs_,
                     nombreEcrivains_);
        return KPX_CR_OCCUPE;
    }
    nombreEcrivains_ = 1;
    return 0;
}

void Referentiel::fermerEcrivain() {
    if (nombreEcrivains_ != 0) --nombreEcrivains_;
}

bool Referentiel::nomCompletFichier(const char* repertoire, const char* nomFichier, std::string& nomComplet) {
    try {
        nomComplet.assign(repertoire != nullptr ? repertoire : "");
        if (!nomComplet.empty() && nomComplet.back() != Plateforme::separateur && nomComplet.back() != '\\')
            nomComplet += Plateforme::separateur;
        nomComplet += nomFichier;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void Referentiel::lireDateSysteme(Date& date) {
    std::time_t maintenant = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &maintenant);
#else
    localtime_r(&maintenant, &local);
#endif
    date = Date(static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint8_t>(local.tm_mon + 1),
                static_cast<uint8_t>(local.tm_mday));
}

bool Referentiel::calculerCRC16(FILE* fichier, uint16_t& crc) {
    crc = 0;
    Fichiers& fichiers = Fichiers::courants();
    if (fichier == nullptr || !fichiers.positionner(fichier, 4, SEEK_SET)) return false;
    Codage::Crc16 calcul;
    uint8_t bloc[1024];
    size_t lu = 0;
    do {
        if (!fichiers.lire(bloc, sizeof bloc, fichier, lu)) return false;
        calcul.ajouter(bloc, lu);
    } while (lu > 0);
    crc = calcul.valeur();
    return true;
}

uint16_t Referentiel::controlerNumerosVersions(const char* versionLogicielle, const char* versionMinimaleReferentiel) {
    if (std::memcmp(version, versionMinimaleReferentiel, 4) < 0) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR,
                     "ERREUR: Version du referentiel differente de la version attendue par la partie logicielle");
        return KPX_CR_VERSION;
    }
    if (std::memcmp(versionLogicielle, versionMinimaleLogiciel, 4) < 0) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR,
                     "ERREUR: Version logicielle différente de la version minimale attendue par le progiciel");
        return KPX_CR_VERSION;
    }
    return 0;
}

uint16_t Referentiel::chargerReferentiel(const char* repertoireTables, const char* repertoireModif,
                                         const char* versionLogicielle, const char* versionMinimaleReferentiel) {
    uint16_t cr = 0;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Referentiel::chargerReferentiel : chargement du referentiel");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Parametres:");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "   Repertoire = %s", repertoireTables);
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "   RepertoireModification = %s", repertoireModif);
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "   Version logicielle KPX = %s", versionLogicielle);
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "   Version minimale exigee du referentiel = %s", versionMinimaleReferentiel);

    try {
        repertoire.assign(repertoireTables != nullptr ? repertoireTables : "");
    } catch (const std::bad_alloc&) {
        erreur("ERREUR : Probleme lors de l'allocation memoire du nom de repertoire");
        cr = KPX_CR_CONSTRUCTION;
    }
    try {
        repertoireModification.assign(repertoireModif != nullptr ? repertoireModif : "");
    } catch (const std::bad_alloc&) {
        erreur("ERREUR : Probleme lors de l'allocation memoire du nom de repertoire de modification");
        cr = KPX_CR_CONSTRUCTION;
    }

    std::string nom;
    FILE* ouvert = nullptr;
    if (cr == 0) cr = ouvrirFichierTables(nom, ouvert, "ERREUR : Probleme d'ouverture du fichier %s, %s");
    {
        FichierOuvert fichier(ouvert, cr, KPX_CR_OUVERTURE_FICHIER,
                              "ERREUR : Probleme lors de la fermeture du fichier, %s");
        if (cr == 0) {
            Lecteur lecteur(*this, fichier.get());
            uint16_t crcLu = 0;
            uint16_t crcCalcule = 0;
            cr = lecteur.lireCRC(crcLu) == 0 ? 0 : KPX_CR_LECTURE;
            if (cr == 0) {
                bool calcule = calculerCRC16(fichier.get(), crcCalcule);
                if (crcLu != crcCalcule) {
                    erreur("ERREUR : CRC du fichier %s different du CRC calcule", nom.c_str());
                    cr = KPX_CR_CRC;
                } else if (!calcule) {
                    cr = KPX_CR_LECTURE;
                }
            }
        }
        if (cr == 0) {
            Lecteur lecteur(*this, fichier.get());
            cr = lecteur.lireEnteteRef();
            if (cr == 0) cr = controlerNumerosVersions(versionLogicielle, versionMinimaleReferentiel);
            if (cr == 0) cr = chargerTablesReference(lecteur);
        }
        if (cr == 0) cr = controlerTables();
        if (cr == 0) cr = chargerModifications();
        if (cr == 0 && rejeu_ != nullptr) cr = rejeu_->appliquerModificationsReferentiel(*this);
    }
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour de Referentiel::chargerReferentiel : 0x%04X", cr);
    return cr;
}

uint16_t Referentiel::ouvrirFichierTables(std::string& nom, FILE*& fichier, const char* formatErreur) const {
    fichier = nullptr;
    if (!nomCompletFichier(repertoire.c_str(), kFichierTables, nom)) return KPX_CR_CONSTRUCTION;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Ouverture du fichier %s", nom.c_str());
    fichier = std::fopen(nom.c_str(), "rb");
    if (fichier == nullptr) {
        erreur(formatErreur, nom.c_str(), Plateforme::texteErreurSysteme().c_str());
        return KPX_CR_OUVERTURE_FICHIER;
    }
    return 0;
}

uint16_t Referentiel::chargerTablesReference(Lecteur& lecteur) {
    uint16_t cr = 0;
    uint16_t dernier = 0xFFFF;
    while (cr == 0 && nombreTables < kNombreTablesReference && dernier != 0) {
        char identifiant[4];
        uint32_t nombreLignes = 0;
        long position = 0;
        if (lecteur.lireEnteteTable(identifiant, nombreLignes, position) != 0) {
            cr = KPX_CR_LECTURE;
            break;
        }
        std::unique_ptr<Table> table(
            new (std::nothrow) Table(identifiant, nombreLignes, position, lecteur.tailleTable(), true));
        if (!table) {
            erreur("ERREUR : probleme d'allocation memoire : Table* table = new Table(...)");
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        dernier = table->numero();
        switch (table->etat()) {
            case Table::kEchecAllocation:
                erreur("ERREUR : probleme lors de la creation de la table");
                cr = KPX_CR_CONSTRUCTION;
                continue;
            case Table::kNonAcceptee:
                tracerDetail(CAT_CYCLE, NIV_DETAIL, "WARNING : Identifiant de la table inconnu : table ignoree");
                cr = lecteur.sauterTable();
                continue;
            case Table::kTailleIncoherente:
                erreur("ERREUR : nombre de lignes incompatible avec la taille de la table");
                cr = KPX_CR_LECTURE;
                continue;
            default:
                break;
        }
        if (tables_[dernier]) {
            erreur("ERREUR : Table deja chargee");
            cr = KPX_CR_LECTURE;
            break;
        }
        if (table->etat() == Table::kDifferee) {
            tracerDetail(CAT_CYCLE, NIV_DETAIL, "Chargement de la table %03hu différé", dernier);
            cr = lecteur.sauterTable();
        } else {
            cr = table->lireTable(lecteur);
        }
        if (cr != 0) break;
        tables_[dernier] = std::move(table);
        ++nombreTables;
    }
    if (cr == 0 && dernier != 0) {
        erreur("ERREUR : la table d'index n'a pas ete trouvee");
        cr = KPX_CR_LECTURE;
    } else if (cr == 0 && nombreTables < kNombreTablesReference) {
        erreur("ERREUR : Nombre de tables inferieur au nombre attendu");
        cr = KPX_CR_NOMBRE_TABLES;
    }
    if (cr == 0) indexerActes();
    return cr;
}

uint16_t Referentiel::controlerTables() {
    TablesDuReferentiel tables(*this);
    for (const ControleTable& controle : kControles) {
        tracerDetail(CAT_CYCLE, NIV_DETAIL, "Referentiel::%s", controle.nom);
        uint16_t cr = 0;
        const Table* table = this->table(controle.identifiant);
        if (controle.identifiant == 31 && estDifferee(table)) {
            tracerDetail(CAT_CYCLE, NIV_DETAIL,
                         "Referentiel::controlerTableArborescence non fait car table Arborescence non chargée");
        } else if (controle.identifiant == 58 && (estDifferee(table) || estDifferee(this->table(30)))) {
            tracerDetail(CAT_CYCLE, NIV_DETAIL, "Referentiel::controlerTableMotsCles non fait car table non chargée");
        } else if (table == nullptr || (controle.nonVide && table->nombreLignes() == 0)) {
            erreur("ERREUR : table vide");
            cr = KPX_CR_LECTURE;
        } else {
            for (uint32_t i = 0; i < table->nombreLignes() && cr == 0; ++i) cr = table->ligne(i)->controlerLigne(tables);
        }
        tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour Referentiel::%s : 0x%04X", controle.nom, cr);
        if (cr != 0) return cr;
    }
    return 0;
}

uint16_t Referentiel::chargerModifications() {
    uint16_t cr = 0;
    std::string nom;
    if (!nomCompletFichier(repertoireModification.c_str(), kFichierModifications, nom)) return KPX_CR_CONSTRUCTION;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Ouverture du fichier %s", nom.c_str());
    bool utilisable = false;
    {
        FILE* ouvert = std::fopen(nom.c_str(), "rb");
        const int erreurOuverture = errno;
        if (ouvert == nullptr && erreurOuverture != ENOENT) {
            erreur("ERREUR : Probleme d'ouverture du fichier %s, %s", nom.c_str(),
                   Plateforme::texteErreurSysteme().c_str());
            cr = KPX_CR_OUVERTURE_MODIFICATIONS;
        }
        FichierOuvert fichier(ouvert, cr, KPX_CR_OUVERTURE_MODIFICATIONS,
                              "ERREUR : probleme lors de la fermeture du fichier: %s");
        if (ouvert != nullptr && cr == 0) {
            Lecteur lecteur(*this, ouvert);
            uint16_t crcLu = 0;
            uint16_t crcCalcule = 0;
            if (lecteur.lireCRC(crcLu) != 0) {
                erreur("ERREUR : probleme de lecture du CRC");
                cr = KPX_CR_LECTURE_MODIFICATIONS;
            } else if (!calculerCRC16(ouvert, crcCalcule)) {
                cr = KPX_CR_LECTURE_MODIFICATIONS;
            } else if (crcLu != crcCalcule) {
                erreur("ERREUR : CRC du fichier %s different du CRC calcule", nom.c_str());
                cr = KPX_CR_CRC_MODIFICATIONS;
            }
            char versionFichier[5];
            if (cr == 0) {
                Lecteur entete(*this, ouvert);
                if (entete.lireVersionReferentiel(versionFichier) != 0) cr = KPX_CR_LECTURE;
                else utilisable = std::memcmp(versionFichier, version, sizeof version) == 0;
                if (cr == 0 && utilisable) cr = entete.lireEnteteModif();
                if (cr == 0 && utilisable) cr = chargerTablesModification(entete);
            }
        }
    }
    if (cr == 0 && !utilisable) cr = creerTablesModificationVides();
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour de Referentiel::chargerModifications : 0x%04X", cr);
    return cr;
}

uint16_t Referentiel::chargerTablesModification(Lecteur& lecteur) {
    uint16_t cr = 0;
    for (;;) {
        char identifiant[4];
        uint32_t nombreLignes = 0;
        long position = 0;
        uint16_t lu = lecteur.lireEnteteTable(identifiant, nombreLignes, position);
        if (lu == Lecteur::kFinFichier) {
            tracerDetail(CAT_CYCLE, NIV_DETAIL, "Fin du fichier");
            break;
        }
        if (lu != 0) {
            erreur("ERREUR lors de la lecture de l'entete de la table");
            cr = KPX_CR_LECTURE_MODIFICATIONS;
            break;
        }
        std::unique_ptr<Table> table(
            new (std::nothrow) Table(identifiant, nombreLignes, position, lecteur.tailleTable(), false));
        if (!table) {
            erreur("ERREUR: probleme d'allocation memoire table = new Table(...)");
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        if (table->etat() == Table::kEchecAllocation) {
            erreur("ERREUR: probleme d'allocation memoire lors de la creation de la table");
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        if (table->etat() == Table::kTailleIncoherente) {
            erreur("ERREUR : nombre de lignes incompatible avec la taille de la table");
            cr = KPX_CR_LECTURE_MODIFICATIONS;
            break;
        }
        if (table->etat() == Table::kNonAcceptee) {
            tracerDetail(CAT_CYCLE, NIV_DETAIL, "WARNING: identifiant de table inconnu, table ignoree");
            if (lecteur.sauterTable() != 0) {
                cr = KPX_CR_LECTURE_MODIFICATIONS;
                break;
            }
            continue;
        }
        const uint16_t numero = table->numero();
        if (tables_[numero]) {
            erreur("ERREUR : table deja chargee");
            cr = KPX_CR_LECTURE_MODIFICATIONS;
            break;
        }
        cr = table->lireTable(lecteur);
        // The modification file reports the codes of the table file plus one.
        if (cr == KPX_CR_LECTURE) cr = KPX_CR_LECTURE_MODIFICATIONS;
        if (cr != 0) break;
        tables_[numero] = std::move(table);
        ++nombreTables;
    }
    if (cr == 0 && nombreTables < kNombreTablesTotal) {
        erreur("ERREUR: nombre de tables trouvees inferieur au nombre attendu");
        cr = KPX_CR_NOMBRE_TABLES_TOTAL;
    }
    return cr;
}

uint16_t Referentiel::creerTablesModificationVides() {
    for (uint16_t identifiant = kPremiereTableModification; identifiant <= kDerniereTableModification; ++identifiant) {
        char texte[8];
        std::snprintf(texte, sizeof texte, "%03u", identifiant);
        std::unique_ptr<Table> table(new (std::nothrow) Table(texte, 0, 0, 0, false));
        if (!table) return KPX_CR_CONSTRUCTION;
        tables_[identifiant] = std::move(table);
    }
    nombreTables = static_cast<uint16_t>(nombreTables + 9);
    return 0;
}

uint16_t Referentiel::chargerTable(uint16_t identifiant) {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Referentiel::chargerTable: identifiant = %hu", identifiant);
    uint16_t cr = 0;
    std::string nom;
    FILE* ouvert = nullptr;
    Table* differee = table(identifiant);
    if (differee == nullptr) cr = KPX_CR_DONNEES_INCOHERENTES;
    if (cr == 0) cr = ouvrirFichierTables(nom, ouvert, "ERREUR : Probleme d'ouverture du fichier %s: %s");
    {
        FichierOuvert fichier(ouvert, cr, KPX_CR_OUVERTURE_FICHIER,
                              "ERREUR : probleme lors de la fermeture du fichier: %s");
        if (cr == 0) cr = differee->chargerTable(identifiant, *this, ouvert);
        if (cr == 0) cr = controlerTables();
    }
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Referentiel::chargerTable : retour = 0x%04X", cr);
    return cr;
}

uint16_t Referentiel::chargerActe(uint32_t positionActe, NiveauActe& acte, const char* codeActe) {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Referentiel::chargerActe : chargement d'un acte du referentiel");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Parametres positionActe = 0x%08lX", static_cast<unsigned long>(positionActe));
    uint16_t cr = 0;
    std::string nom;
    FILE* ouvert = nullptr;
    cr = ouvrirFichierTables(nom, ouvert, "ERREUR : Probleme d'ouverture du fichier %s: %s");
    {
        FichierOuvert fichier(ouvert, cr, KPX_CR_OUVERTURE_FICHIER,
                              "ERREUR : probleme lors de la fermeture du fichier: %s");
        if (cr == 0 && std::fseek(ouvert, static_cast<long>(positionActe), SEEK_SET) != 0) {
            erreur("ERREUR : probleme lors du positionnement dans le fichier: %s",
                   Plateforme::texteErreurSysteme().c_str());
            cr = KPX_CR_LECTURE;
        }
        if (cr == 0) {
            Lecteur lecteur(*this, ouvert);
            cr = acte.lireNiveauActe(lecteur);
        }
        if (cr == 0 && rejeu_ != nullptr) cr = rejeu_->appliquerModificationsActe(*this, codeActe, acte);
    }
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour de Referentiel::chargerActe : 0x%04X", cr);
    return cr;
}

void Referentiel::afficher(uint16_t niveau) const {
    auto champ = [niveau](const char* libelle, const char* octets, size_t n) {
        tracerDetail(CAT_CYCLE, niveau, "%s : %.*s", libelle, static_cast<int>(n), octets);
    };
    champ("Version", version, sizeof version);
    champ("Version base CCAM", versionBaseCCAM, sizeof versionBaseCCAM);
    tracerDetail(CAT_CYCLE, niveau, "Date derniere modification : %04u/%02u/%02u", dateDerniereModification.annee(),
                 dateDerniereModification.mois(), dateDerniereModification.jour());
    champ("Version minimale logiciel", versionMinimaleLogiciel, sizeof versionMinimaleLogiciel);
    tracerDetail(CAT_CYCLE, niveau, "Numero de revision : %u", numeroRevision);
    tracerDetail(CAT_CYCLE, niveau, "Commentaire : %s", commentaire.c_str());
    champ("Variante", variante, sizeof variante);
    tracerDetail(CAT_CYCLE, niveau, "Nombre de tables : %u", nombreTables);
    for (const auto& table : tables_)
        if (table) table->afficher(niveau);
    if (const Table* index = table(0)) {
        for (uint32_t i = 0; i < index->nombreLignes(); ++i) {
            const Index* ligne = index->ligneDe<Index>(i);
            NiveauActe* acte = ligne != nullptr ? ligne->acte() : nullptr;
            if (acte != nullptr && acte != Index::enChargement()) acte->afficher(niveau);
        }
    }
}

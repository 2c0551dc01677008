// The in-memory reference database: the header values of the table file and the
// 69 table slots, slot i holding the table whose identifier is i (or null).
// Acts and tables 30, 31 and 58 are read from the table file only when first needed.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/Texte.h"

class Table;
class Index;
class Lecteur;
class NiveauActe;
class RejeuModifications;

class Referentiel {
public:
    static constexpr uint16_t kNombreIdentifiants = 69;
    static constexpr uint16_t kNombreTablesReference = 58;
    static constexpr uint16_t kNombreTablesTotal = 67;
    static constexpr uint16_t kPremiereTableModification = 35;
    static constexpr uint16_t kDerniereTableModification = 43;
    static constexpr const char* kFichierTables = "table_v2.kpx";
    static constexpr const char* kFichierModifications = "modrefv2.kpx";
    // The files of the save: the previous modification file, the new one while it is
    // written, and the copy of the previous one kept while the files are switched.
    static constexpr const char* kFichierModificationsPrecedent = "modifv2~.kpx";
    static constexpr const char* kFichierModificationsTemporaire = "modiftmp.kpx";
    static constexpr const char* kFichierCopiePrecedent = "modif~.sav";

    Referentiel();
    // Deep copy: strings duplicated, every table copied with its rows.
    Referentiel(const Referentiel& autre);
    Referentiel& operator=(const Referentiel&) = delete;
    virtual ~Referentiel();

    uint16_t chargerReferentiel(const char* repertoire, const char* repertoireModification,
                                const char* versionLogicielle, const char* versionMinimaleReferentiel);
    uint16_t chargerModifications();
    uint16_t controlerNumerosVersions(const char* versionLogicielle, const char* versionMinimaleReferentiel);
    uint16_t controlerTables();
    // Reads the rows of a deferred table (30, 31 or 58), then checks the tables again.
    uint16_t chargerTable(uint16_t identifiant);
    // Reads the act record at that offset of the table file into acte; the caller
    // owns acte and destroys it when the code is not 0.
    uint16_t chargerActe(uint32_t positionActe, NiveauActe& acte, const char* codeActe);
    void afficher(uint16_t niveau) const;
    // Writes tables 35 to 43 to a new modification file and switches it with the current
    // one, keeping the current one as the previous; any failure gives 0xD700 and leaves
    // the last file saved in place (docs/modifications.md tells every step).
    uint16_t sauvegarderModifications();

    // Who folds the stored modifications into the data, at load and at each act read
    // (not owned; it outlives the référentiel). Without one, records are kept unapplied.
    void definirRejeu(RejeuModifications* rejeu) { rejeu_ = rejeu; }

    // Admission for one call: any number of readers, or one writer alone. A
    // conflicting request is refused at once with 0xDF01, never waited for.
    uint16_t ouvrirLecteur();
    void fermerLecteur();
    uint16_t ouvrirEcrivain();
    void fermerEcrivain();
    uint16_t nombreLecteurs() const { return nombreLecteurs_; }
    uint16_t nombreEcrivains() const { return nombreEcrivains_; }

    // False when the file cannot be positioned at offset 4 (crc is then 0).
    static bool calculerCRC16(FILE* fichier, uint16_t& crc);
    static bool nomCompletFichier(const char* repertoire, const char* nomFichier, std::string& nomComplet);
    static void lireDateSysteme(Date& date);

    // Slot of an identifier; null when empty or out of range.
    Table* table(uint16_t identifiant) const;
    // Stores a table in its slot (replacing and destroying any previous one).
    void placerTable(uint16_t identifiant, std::unique_ptr<Table> table);
    // The tables present whose rows hold ranges into that table.
    std::vector<Table*> tablesParentes(uint16_t identifiant) const;

    // The row of the act index whose code is these 13 bytes, found by their hash; null when
    // the hash knows no such row (an index not read from a file, or changed since): the
    // caller then searches the table.
    const Index* acteIndexe(const char* code) const;

    // The reference a reader found for a rule, kept while the référentiel is: every call
    // asks the same few dozen rules for theirs, and their table is never modified. Null when
    // none is kept; what it points to stays as long as the tables do.
    const Code* referenceRetenue(const char* regle) const;
    void retenirReference(const char* regle, const Code& reference);

    // Header values, as codes without their trailing blanks.
    Code codeVersion() const { return Code(version, sizeof version, Code::largeurFixe); }
    Code codeVersionBaseCCAM() const { return Code(versionBaseCCAM, sizeof versionBaseCCAM, Code::largeurFixe); }
    Code codeVariante() const { return Code(variante, sizeof variante, Code::largeurFixe); }
    Code codeVersionMinimaleLogiciel() const {
        return Code(versionMinimaleLogiciel, sizeof versionMinimaleLogiciel, Code::largeurFixe);
    }
    Texte texteCommentaire() const { return Texte(commentaire.c_str()); }
    const char* repertoireTables() const { return repertoire.c_str(); }
    const char* repertoireModifications() const { return repertoireModification.c_str(); }

    // Header fields as read from the files (not terminated), filled by the reader.
    char version[4];
    char versionBaseCCAM[5];
    Date dateDerniereModification;
    char versionMinimaleLogiciel[4];
    uint16_t numeroRevision = 0;
    std::string commentaire;  // empty when the header has none
    char variante[10];

    uint16_t nombreTables = 0;

private:
    uint16_t ouvrirFichierTables(std::string& nom, FILE*& fichier, const char* formatErreur) const;
    uint16_t chargerTablesReference(Lecteur& lecteur);
    uint16_t chargerTablesModification(Lecteur& lecteur);
    uint16_t creerTablesModificationVides();
    // Steps of the save: a copy of the previous file that an interrupted save left, then the
    // new file written whole (header, tables 35 to 43, CRC) and closed.
    uint16_t reprendreCopiePrecedent(const std::string& precedent, const std::string& copie);
    uint16_t ecrireFichierModifications(const std::string& nom);

    std::unique_ptr<Table> tables_[kNombreIdentifiants];
    std::string repertoire;
    std::string repertoireModification;
    // Plain counts: the library is called from one thread at a time.
    uint16_t nombreLecteurs_ = 0;
    uint16_t nombreEcrivains_ = 0;
    RejeuModifications* rejeu_ = nullptr;
    // A slot by the address of the rule's name, the name checked too: a name need not be
    // a literal, and another name may come at a freed one's address. Sessions read the slots
    // in parallel without a lock: a slot is written once, under the lock, and shown by its
    // address stored last; it then never changes.
    struct ReferenceRetenue {
        std::atomic<const char*> adresse{nullptr};
        std::string regle;
        Code reference;
    };
    static constexpr size_t kReferencesRetenues = 256;
    // Made once the index is read, when its codes are all 13 bytes in strictly increasing
    // order, so that the row the hash finds is the one a dichotomy would: a place holds its
    // row's rank + 1, 0 when free, and twice as many places as rows keep the probes short.
    void indexerActes();
    static size_t placeActe(const char* code, size_t masque);
    std::vector<uint32_t> rangsActes_;
    ReferenceRetenue* placeReference(ReferenceRetenue* places, const char* regle) const;
    std::mutex mutexReferences_;  // between the sessions that keep a reference
    std::unique_ptr<ReferenceRetenue[]> referencesRetenues_;  // made at the first reference kept
    std::atomic<ReferenceRetenue*> references_{nullptr};     // the same, for the reads
};

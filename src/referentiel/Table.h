// A table of the référentiel: its identifier, its rows in file order, and its
// state. Rows are created by identifier, so row i of table n is always of the
// row class of n; a deferred table keeps its count and file offset until loaded.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "referentiel/LigneTable.h"

class Lecteur;
class Ecrivain;
class Referentiel;

class Table {
public:
    // kTailleIncoherente: the row count cannot fit in the section's bytes; no row was made.
    enum Etat : int { kChargee = 0, kDifferee = 1, kEchecAllocation = 2, kNonAcceptee = 3, kTailleIncoherente = 4 };

    // taille: byte size of the section's rows, which the rows must fill exactly.
    Table(const char* identifiant, uint32_t nombreLignes, long position, uint32_t taille, bool reference);
    Table();
    // Over rows handed over by the caller; no identifier.
    explicit Table(std::vector<std::unique_ptr<LigneTable>> lignes);
    Table(const Table& autre);
    Table& operator=(const Table&) = delete;
    ~Table();

    void testerIdentifiantTableRef(uint16_t identifiant);
    void testerIdentifiantTableModif(uint16_t identifiant);

    uint16_t lireTable(Lecteur& lecteur);
    uint16_t ecrireTable(Ecrivain& ecrivain) const;
    uint16_t chargerTable(uint16_t identifiant, Referentiel& referentiel, FILE* fichier);
    void afficher(uint16_t niveau) const;

    // A new empty row of the class of that identifier; null (and state 3) when it has none,
    // null (and state 2) when memory fails.
    std::unique_ptr<LigneTable> creerLigneTable(uint16_t identifiant);
    // Appends a row (fixture building and the modification layer); false when memory fails.
    bool ajouterLigne(std::unique_ptr<LigneTable> ligne);
    // Room for that many more rows, so that as many additions cannot fail; false when memory fails.
    bool reserver(uint32_t nombre);

    // Children stay contiguous: parents are the tables whose rows hold ranges into this
    // one (Referentiel::tablesParentes). Inserting at position (0 to nombreLignes) moves
    // the ranges from that position on down one row and gives the new row to the range
    // of proprietaire, a parent row whose range is empty or starts or ends at position
    // (null: no range takes it). Refused with 0xDFFE, nothing changed, when the row is of
    // another class, the position is past the end, the row would split another range,
    // a position no longer fits its field, or a parent is still deferred; 0xDFFC when memory fails.
    uint16_t insererLigne(uint32_t position, std::unique_ptr<LigneTable> ligne, const std::vector<Table*>& parents,
                          const LigneTable* proprietaire = nullptr);
    // Removes rows [position, position + nombre); ranges past them move up, ranges over them shrink.
    uint16_t supprimerLignes(uint32_t position, uint32_t nombre, const std::vector<Table*>& parents);
    // Whether this table's rows hold ranges into that table.
    bool pointeVers(uint16_t enfant) const;

    int etat() const { return etat_; }
    uint32_t nombreLignes() const { return nombreLignes_; }
    long position() const { return position_; }
    uint32_t taille() const { return taille_; }
    const char* identifiant() const { return identifiant_; }
    uint16_t numero() const { return numero_; }

    LigneTable* ligne(uint32_t i) const { return i < lignes_.size() ? lignes_[i].get() : nullptr; }
    // Row i as its class; null out of range or for another table's class.
    template <class T>
    T* ligneDe(uint32_t i) const {
        LigneTable* l = ligne(i);
        return l != nullptr && l->identifiantTable() == T::kIdentifiant ? static_cast<T*>(l) : nullptr;
    }

    // Name of a table in the check messages ("Synonymes"), "" for unknown identifiers.
    static const char* nomTable(uint16_t identifiant);
    // Whether the identifier has a row class (0 to 68 but 15 and 28).
    static bool aUneClasse(uint16_t identifiant);
    // Encoded size of the smallest row of that identifier's class; 0 without class.
    static uint32_t tailleMinimaleLigne(uint16_t identifiant);

private:
    void creerLignes(uint32_t nombre);
    // The ranges of the parents' rows into this table, those of proprietaire apart;
    // false when a parent's rows are still to be read (they would come unmoved).
    bool plagesDesParents(const std::vector<Table*>& parents, const LigneTable* proprietaire,
                          std::vector<ReferencePlage>& autres, std::vector<ReferencePlage>& siennes) const;

    char identifiant_[4] = {'\0', '\0', '\0', '\0'};
    uint16_t numero_ = 0;
    uint32_t nombreLignes_ = 0;
    std::vector<std::unique_ptr<LigneTable>> lignes_;
    int etat_ = kDifferee;
    long position_ = 0;
    uint32_t taille_ = 0;
};

// Base of every table row, and the field-list machinery that gives each row class
// its reading, writing, dump, copy and range check from one ordered list of fields.
// A row class lists its fields once, in file order, in a static `decrire`.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zone/Date.h"

class Lecteur;
class Ecrivain;
class Table;

// Rows [position, position + nombre) of a child table.
struct Plage {
    uint16_t position = 0;
    uint16_t nombre = 0;
    bool operator==(const Plage& autre) const { return position == autre.position && nombre == autre.nombre; }
};

// The same with a 32-bit position (keyword rows, whose child tables are large).
struct PlageLongue {
    uint32_t position = 0;
    uint16_t nombre = 0;
    bool operator==(const PlageLongue& autre) const { return position == autre.position && nombre == autre.nombre; }
};

// How a range names its children in the check messages, and whether it may be empty.
struct EnfantsPlage {
    uint16_t identifiant;       // child table
    const char* nom;            // "synonymes"
    const char* nomTable;       // "Synonymes"
    bool obligatoire = false;   // the count must not be 0
    const char* libellePosition = nullptr;  // read messages; derived from nom when null
    const char* libelleNombre = nullptr;
};

// One range of a row, reached to move it when rows of its child table come or go.
struct ReferencePlage {
    uint16_t* position16 = nullptr;  // a Plage
    uint32_t* position32 = nullptr;  // a PlageLongue
    uint16_t* nombre = nullptr;

    uint32_t position() const { return position16 != nullptr ? *position16 : *position32; }
    uint32_t positionMaximale() const { return position16 != nullptr ? 0xFFFFu : 0xFFFFFFFFu; }
    void placer(uint32_t debut, uint32_t fin) {
        if (position16 != nullptr) *position16 = static_cast<uint16_t>(debut);
        else *position32 = debut;
        *nombre = static_cast<uint16_t>(fin - debut);
    }
};

// Child tables of the range checks, by identifier; null when absent.
class SourceTables {
public:
    virtual ~SourceTables() = default;
    virtual const Table* table(uint16_t identifiant) const = 0;
};

class LigneTable {
public:
    LigneTable() = default;
    LigneTable(const LigneTable&) = default;
    LigneTable& operator=(const LigneTable&) = delete;
    virtual ~LigneTable() = default;

    virtual uint16_t lireLigne(Lecteur& lecteur);
    virtual uint16_t ecrireLigne(Ecrivain& ecrivain) const;
    virtual void afficher(uint16_t niveau) const;

    // Copy of the row with its class's copy constructor.
    virtual std::unique_ptr<LigneTable> cloner() const = 0;
    // Every range of the row against its child table: position + count within it,
    // and not empty where the class requires children. 0xD640 otherwise.
    virtual uint16_t controlerLigne(const SourceTables& tables) const;
    // Appends the row's ranges into that child table (none for most classes).
    virtual void plagesVers(uint16_t enfant, std::vector<ReferencePlage>& plages);
    virtual uint16_t identifiantTable() const = 0;
    virtual const char* nomClasse() const = 0;
};

// Field visitors. Each row class calls them in file order from `decrire`.
class LectureLigne {
public:
    LectureLigne(Lecteur& lecteur, const char* classe) : lecteur_(lecteur), classe_(classe) {}
    uint16_t cr() const { return cr_; }

    void code(char& valeur, const char* libelle, bool nonBlanc = true);
    void code(std::string& valeur, size_t n, const char* libelle, bool nonBlanc = true);
    void caracteres(char& valeur, const char* libelle);
    void caracteres(std::string& valeur, size_t n, const char* libelle);
    void top(char& valeur, const char* libelle);
    void entier16(uint16_t& valeur, const char* libelle);
    void entier32(uint32_t& valeur, const char* libelle, const char* messageNul = nullptr);
    void chaine(std::string& valeur, const char* libelle, bool renseignee = false);
    void dateDebut(Date& valeur, const char* libelle);
    void dateFin(Date& valeur, const char* libelle);
    void nombre(double& valeur, const char* libelle);
    // A number that must be at least minimum; message is the whole fault text.
    void nombre(double& valeur, const char* libelle, double minimum, const char* message);
    void plage(Plage& valeur, const EnfantsPlage& enfants);
    void plage(PlageLongue& valeur, const EnfantsPlage& enfants);

private:
    bool lu(uint16_t cr, const char* libelle);
    void refuser(const char* message, const char* suffixe = nullptr);

    Lecteur& lecteur_;
    const char* classe_;
    uint16_t cr_ = 0;
};

class EcritureLigne {
public:
    EcritureLigne(Ecrivain& ecrivain, const char* classe) : ecrivain_(ecrivain), classe_(classe) {}
    uint16_t cr() const { return cr_; }

    void code(const char& valeur, const char*, bool = true) { octet(valeur); }
    void code(const std::string& valeur, size_t n, const char*, bool = true) { caracteres(valeur, n); }
    void caracteres(const char& valeur, const char*) { octet(valeur); }
    void caracteres(const std::string& valeur, size_t n, const char*) { caracteres(valeur, n); }
    void top(const char& valeur, const char*) { octet(valeur); }
    void entier16(const uint16_t& valeur, const char*);
    void entier32(const uint32_t& valeur, const char*, const char* = nullptr);
    void chaine(const std::string& valeur, const char*, bool = false);
    void dateDebut(const Date& valeur, const char*) { date(valeur); }
    void dateFin(const Date& valeur, const char*) { date(valeur); }
    void nombre(const double& valeur, const char*);
    void nombre(const double& valeur, const char* libelle, double, const char*) { nombre(valeur, libelle); }
    void plage(const Plage& valeur, const EnfantsPlage&);
    void plage(const PlageLongue& valeur, const EnfantsPlage&);

private:
    void octet(char valeur);
    void caracteres(const std::string& valeur, size_t n);
    void date(const Date& valeur);
    void ecrit(uint16_t cr);

    Ecrivain& ecrivain_;
    const char* classe_;
    uint16_t cr_ = 0;
};

class AffichageLigne {
public:
    explicit AffichageLigne(uint16_t niveau) : niveau_(niveau) {}

    void code(const char& valeur, const char* libelle, bool = true) { caracteres(valeur, libelle); }
    void code(const std::string& valeur, size_t n, const char* libelle, bool = true) {
        caracteres(valeur, n, libelle);
    }
    void caracteres(const char& valeur, const char* libelle);
    void caracteres(const std::string& valeur, size_t, const char* libelle);
    void top(const char& valeur, const char* libelle) { caracteres(valeur, libelle); }
    void entier16(const uint16_t& valeur, const char* libelle);
    void entier32(const uint32_t& valeur, const char* libelle, const char* = nullptr);
    void chaine(const std::string& valeur, const char* libelle, bool = false);
    void dateDebut(const Date& valeur, const char* libelle) { date(valeur, libelle); }
    void dateFin(const Date& valeur, const char* libelle) { date(valeur, libelle); }
    void nombre(const double& valeur, const char* libelle, double = 0, const char* = nullptr);
    void plage(const Plage& valeur, const EnfantsPlage& enfants);
    void plage(const PlageLongue& valeur, const EnfantsPlage& enfants);

private:
    void date(const Date& valeur, const char* libelle);
    uint16_t niveau_;
};

// Range checks; the first field of the row is its key in the messages.
class ControleLigne {
public:
    explicit ControleLigne(const SourceTables& tables) : tables_(tables) {}
    uint16_t cr() const { return cr_; }

    void code(const char& valeur, const char* libelle, bool = true) { cle(std::string(1, valeur), libelle); }
    void code(const std::string& valeur, size_t, const char* libelle, bool = true) { cle(valeur, libelle); }
    void caracteres(const char& valeur, const char* libelle) { cle(std::string(1, valeur), libelle); }
    void caracteres(const std::string& valeur, size_t, const char* libelle) { cle(valeur, libelle); }
    void top(const char&, const char*) {}
    void entier16(const uint16_t& valeur, const char* libelle) { cle(std::to_string(valeur), libelle); }
    void entier32(const uint32_t& valeur, const char* libelle, const char* = nullptr) {
        cle(std::to_string(valeur), libelle);
    }
    void chaine(const std::string& valeur, const char* libelle, bool = false) { cle(valeur, libelle); }
    void dateDebut(const Date&, const char*) { cle_ = true; }
    void dateFin(const Date&, const char*) {}
    void nombre(const double&, const char*, double = 0, const char* = nullptr) {}
    void plage(const Plage& valeur, const EnfantsPlage& enfants) { verifier(valeur.position, valeur.nombre, enfants); }
    void plage(const PlageLongue& valeur, const EnfantsPlage& enfants) {
        verifier(valeur.position, valeur.nombre, enfants);
    }

private:
    void cle(const std::string& valeur, const char* libelle);
    void verifier(uint32_t position, uint16_t nombre, const EnfantsPlage& enfants);

    const SourceTables& tables_;
    bool cle_ = false;
    std::string texteCle_;
    uint16_t cr_ = 0;
};

// Collects the ranges into one child table; every other field is passed over.
class CollectePlages {
public:
    CollectePlages(uint16_t enfant, std::vector<ReferencePlage>& plages) : enfant_(enfant), plages_(plages) {}

    template <class... A> void code(A&&...) {}
    template <class... A> void caracteres(A&&...) {}
    template <class... A> void top(A&&...) {}
    template <class... A> void entier16(A&&...) {}
    template <class... A> void entier32(A&&...) {}
    template <class... A> void chaine(A&&...) {}
    template <class... A> void dateDebut(A&&...) {}
    template <class... A> void dateFin(A&&...) {}
    template <class... A> void nombre(A&&...) {}
    void plage(Plage& valeur, const EnfantsPlage& enfants) {
        if (enfants.identifiant == enfant_) plages_.push_back({&valeur.position, nullptr, &valeur.nombre});
    }
    void plage(PlageLongue& valeur, const EnfantsPlage& enfants) {
        if (enfants.identifiant == enfant_) plages_.push_back({nullptr, &valeur.position, &valeur.nombre});
    }

private:
    uint16_t enfant_;
    std::vector<ReferencePlage>& plages_;
};

// Encoded size of the smallest row of a class: every string empty (its NUL alone).
// A row count that cannot fit in its section at this size is refused before any row is made.
class TailleMinimaleLigne {
public:
    uint32_t taille() const { return taille_; }

    void code(const char&, const char*, bool = true) { taille_ += 1; }
    void code(const std::string&, size_t n, const char*, bool = true) { taille_ += static_cast<uint32_t>(n); }
    void caracteres(const char&, const char*) { taille_ += 1; }
    void caracteres(const std::string&, size_t n, const char*) { taille_ += static_cast<uint32_t>(n); }
    void top(const char&, const char*) { taille_ += 1; }
    void entier16(const uint16_t&, const char*) { taille_ += 2; }
    void entier32(const uint32_t&, const char*, const char* = nullptr) { taille_ += 4; }
    void chaine(const std::string&, const char*, bool = false) { taille_ += 1; }
    void dateDebut(const Date&, const char*) { taille_ += 4; }
    void dateFin(const Date&, const char*) { taille_ += 4; }
    void nombre(const double&, const char*, double = 0, const char* = nullptr) { taille_ += 8; }
    void plage(const Plage&, const EnfantsPlage&) { taille_ += 2 + 2; }
    void plage(const PlageLongue&, const EnfantsPlage&) { taille_ += 4 + 2; }

private:
    uint32_t taille_ = 0;
};

// A row class D lists its fields in `template <class S, class V> static void decrire(S& ligne, V& v)`,
// S being D or const D, and names itself with kIdentifiant and kNom.
template <class D>
class LigneDecrite : public LigneTable {
public:
    uint16_t lireLigne(Lecteur& lecteur) override {
        LectureLigne v(lecteur, D::kNom);
        D::decrire(static_cast<D&>(*this), v);
        return v.cr();
    }
    uint16_t ecrireLigne(Ecrivain& ecrivain) const override {
        EcritureLigne v(ecrivain, D::kNom);
        D::decrire(static_cast<const D&>(*this), v);
        return v.cr();
    }
    void afficher(uint16_t niveau) const override {
        AffichageLigne v(niveau);
        D::decrire(static_cast<const D&>(*this), v);
    }
    std::unique_ptr<LigneTable> cloner() const override {
        return std::unique_ptr<LigneTable>(new D(static_cast<const D&>(*this)));
    }
    uint16_t controlerLigne(const SourceTables& tables) const override {
        ControleLigne v(tables);
        D::decrire(static_cast<const D&>(*this), v);
        return v.cr();
    }
    void plagesVers(uint16_t enfant, std::vector<ReferencePlage>& plages) override {
        CollectePlages v(enfant, plages);
        D::decrire(static_cast<D&>(*this), v);
    }
    uint16_t identifiantTable() const override { return D::kIdentifiant; }
    const char* nomClasse() const override { return D::kNom; }

    static uint32_t tailleMinimaleLigne() {
        static const uint32_t taille = [] {
            const D modele;
            TailleMinimaleLigne v;
            D::decrire(modele, v);
            return v.taille();
        }();
        return taille;
    }
};

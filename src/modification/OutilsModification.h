// What the operations of ModificationDonnees share: their trace (the detail channel),
// the memory guard that turns an allocation failure into 0xDFFC, the dated rows a
// change of pattern B acts on, and the copies of tables that a change touching
// several rows puts back when it fails. Internal to the modification layer.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/Table.h"
#include "zone/Optionnel.h"

class Referentiel;

void tracerModification(uint16_t niveau, const char* format, ...) KPX_FORMAT(2, 3);

// "ModificationDonnees::<nom> >> IN" and "ModificationDonnees::<nom> << OUT : cr = 0x%04X".
class TraceModification {
public:
    TraceModification(const char* nom, const uint16_t& cr);
    ~TraceModification();
    TraceModification(const TraceModification&) = delete;
    TraceModification& operator=(const TraceModification&) = delete;

private:
    const char* nom_;
    const uint16_t& cr_;
};

// Runs an operation whose every allocation comes before its first change: a failed
// allocation leaves everything as it was and gives 0xDFFC.
template <class Corps>
uint16_t sansExceptionMemoire(Corps corps) {
    try {
        return corps();
    } catch (const std::bad_alloc&) {
        tracerModification(NIV_ERREUR, "probleme d'allocation memoire");
        return KPX_CR_CONSTRUCTION;
    }
}

// Rows [position, position + nombre) of a table, newest first: the whole table, or the
// range that proprietaire, a row of a parent table, holds in it.
struct PlageDatee {
    Table* table = nullptr;
    uint32_t position = 0;
    uint32_t nombre = 0;
    const LigneTable* proprietaire = nullptr;
    const char* messageVide = "historique vide";
};

// Copies of tables (and of the tables holding ranges into them) taken before a change;
// put back in their slots when the object goes without garder().
class Instantane {
public:
    Instantane(Referentiel& referentiel, std::initializer_list<uint16_t> identifiants, uint16_t& cr);
    ~Instantane();
    Instantane(const Instantane&) = delete;
    Instantane& operator=(const Instantane&) = delete;

    void garder() { copies_.clear(); }

private:
    Referentiel& referentiel_;
    std::vector<std::pair<uint16_t, std::unique_ptr<Table>>> copies_;
};

// Which records of a modification table have the key; 0xD005 and its line when none.
template <class Enregistrement, class Cle>
uint16_t enregistrementsDeLaCle(const Table* table, Cle cle, std::vector<bool>& annules) {
    if (table == nullptr || table->nombreLignes() == 0) {
        tracerModification(NIV_ERREUR, "Table de modification vide : donnee non modifiee");
        return KPX_CR_RIEN_A_ANNULER;
    }
    annules.assign(table->nombreLignes(), false);
    bool trouve = false;
    for (uint32_t i = 0; i < table->nombreLignes(); ++i) {
        const Enregistrement* e = table->template ligneDe<Enregistrement>(i);
        if (e != nullptr && cle(*e)) annules[i] = trouve = true;
    }
    if (!trouve) {
        tracerModification(NIV_ERREUR, "Donnee non modifiee");
        return KPX_CR_RIEN_A_ANNULER;
    }
    return 0;
}

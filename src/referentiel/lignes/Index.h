// Row of the act index (table 0): an act code, the offset of its record in the
// table file, and the act once read. The slot holds null (not read), the loaded
// act (owned), or kEnChargement while a thread reads it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "referentiel/LigneTable.h"

class NiveauActe;

class Index : public LigneDecrite<Index> {
public:
    static constexpr uint16_t kIdentifiant = 0;
    static constexpr const char* kNom = "Index";

    Index() = default;
    // The loaded act is copied with it; an act being read is not.
    Index(const Index& autre);
    ~Index() override;

    template <class S, class V>
    static void decrire(S& l, V& v) {
        v.code(l.codeActe, 13, "code acte", false);
        v.entier32(l.positionActe, "position de l'acte");
    }

    static NiveauActe* enChargement() { return reinterpret_cast<NiveauActe*>(~static_cast<uintptr_t>(0)); }

    NiveauActe* acte() const { return acte_.load(std::memory_order_acquire); }
    // Moves the slot from attendu to nouveau; false when another thread changed it first.
    bool echangerActe(NiveauActe* attendu, NiveauActe* nouveau) {
        return acte_.compare_exchange_strong(attendu, nouveau, std::memory_order_acq_rel);
    }
    // Attaches a loaded act (taking ownership) in place of the marker or null.
    void attacherActe(std::unique_ptr<NiveauActe> acte);

    std::string codeActe = std::string(13, ' ');
    uint32_t positionActe = 0;

private:
    std::atomic<NiveauActe*> acte_{nullptr};
};

#include "robustesse/PlafondMemoire.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> enCours_{0};
std::atomic<size_t> pic_{0};
std::atomic<size_t> plafond_{0};
std::atomic<uint64_t> allocations_{0};
std::atomic<uint64_t> echec_{0};

void* allouer(size_t taille) {
    const uint64_t rang = ++allocations_;
    if (echec_ != 0 && rang == echec_) {
        echec_ = 0;
        return nullptr;
    }
    const size_t plafond = plafond_;
    if (plafond != 0 && enCours_ + taille > plafond) return nullptr;
    void* bloc = std::malloc(taille == 0 ? 1 : taille);
    if (bloc == nullptr) return nullptr;
    const size_t maintenant = enCours_ += malloc_usable_size(bloc);
    size_t ancien = pic_;
    while (maintenant > ancien && !pic_.compare_exchange_weak(ancien, maintenant)) {
    }
    return bloc;
}

void liberer(void* bloc) {
    if (bloc == nullptr) return;
    enCours_ -= malloc_usable_size(bloc);
    std::free(bloc);
}

void* allouerOuLancer(size_t taille) {
    void* bloc = allouer(taille);
    if (bloc == nullptr) throw std::bad_alloc();
    return bloc;
}

}  // namespace

namespace PlafondMemoire {

size_t enCours() { return enCours_; }
size_t pic() { return pic_; }
void reprendrePic() { pic_ = enCours_.load(); }
void plafonner(size_t octets) { plafond_ = octets; }
void echouerA(uint64_t rang) { echec_ = rang == 0 ? 0 : allocations_ + rang; }
uint64_t allocations() { return allocations_; }

}  // namespace PlafondMemoire

// Visible to the libraries loaded at run time, whatever the build's default visibility.
#define PLAFOND_VISIBLE __attribute__((visibility("default")))

PLAFOND_VISIBLE void* operator new(size_t taille) { return allouerOuLancer(taille); }
PLAFOND_VISIBLE void* operator new[](size_t taille) { return allouerOuLancer(taille); }
PLAFOND_VISIBLE void* operator new(size_t taille, const std::nothrow_t&) noexcept { return allouer(taille); }
PLAFOND_VISIBLE void* operator new[](size_t taille, const std::nothrow_t&) noexcept { return allouer(taille); }
PLAFOND_VISIBLE void operator delete(void* bloc) noexcept { liberer(bloc); }
PLAFOND_VISIBLE void operator delete[](void* bloc) noexcept { liberer(bloc); }
PLAFOND_VISIBLE void operator delete(void* bloc, size_t) noexcept { liberer(bloc); }
PLAFOND_VISIBLE void operator delete[](void* bloc, size_t) noexcept { liberer(bloc); }
PLAFOND_VISIBLE void operator delete(void* bloc, const std::nothrow_t&) noexcept { liberer(bloc); }
PLAFOND_VISIBLE void operator delete[](void* bloc, const std::nothrow_t&) noexcept { liberer(bloc); }

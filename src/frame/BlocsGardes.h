// Blocks of one size that each thread keeps between uses instead of handing them back:
// for objects a call makes and frees by the dozen, more than the allocator's own
// per-thread cache keeps of one size, which sent the rest through its slow path.
// Under the address sanitizer none is kept, so that it still sees a block used once freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kGarderBlocs = false;
#else
inline constexpr bool kGarderBlocs = true;
#endif

namespace blocsgardes {
// The block sizes the thread keeps some of, each reached from the last made.
struct Inscription {
    void (*vider)();
    Inscription* suivante;
};
inline thread_local Inscription* inscriptions = nullptr;
}  // namespace blocsgardes

// Gives back every block the calling thread keeps, of every size: what it holds of the heap
// is then what its values hold.
inline void libererBlocsGardes() {
    for (blocsgardes::Inscription* i = blocsgardes::inscriptions; i != nullptr; i = i->suivante) i->vider();
}

template <size_t Taille, size_t Nombre>
class BlocsGardes {
public:
    // A block of Taille bytes; null when the memory is refused.
    static void* prendre() {
        Reserve& reserve = reserve_;
        if (kGarderBlocs && reserve.nombre > 0) return reserve.blocs[--reserve.nombre];
        return ::operator new(Taille, std::nothrow);
    }
    // A block from prendre, kept while there is room and the thread is not ending.
    static void rendre(void* bloc) {
        Reserve& reserve = reserve_;
        if (kGarderBlocs && reserve.nombre < Nombre && reserve.etat != kFermee) {
            if (reserve.etat == kNeuve) inscrire();
            reserve.blocs[reserve.nombre++] = bloc;
            return;
        }
        ::operator delete(bloc);
    }

private:
    enum Etat : uint8_t { kNeuve, kOuverte, kFermee };
    // Trivial and zero at the thread's start: reached without a guard on every use.
    struct Reserve {
        void* blocs[Nombre];
        uint32_t nombre;
        Etat etat;
    };
    // Gives the kept blocks back when the thread ends; a block freed after that (a value
    // destroyed later in the thread's exit) goes straight to the allocator.
    struct Fermeture {
        ~Fermeture() {
            reserve_.etat = kFermee;
            vider();
        }
    };
    static void vider() {
        Reserve& reserve = reserve_;
        while (reserve.nombre > 0) ::operator delete(reserve.blocs[--reserve.nombre]);
    }
    // Made at the first block kept, so that its guard is passed once per thread.
    static void inscrire() {
        thread_local Fermeture fermeture;
        (void)fermeture;
        inscription_ = blocsgardes::Inscription{&vider, blocsgardes::inscriptions};
        blocsgardes::inscriptions = &inscription_;
        reserve_.etat = kOuverte;
    }

    inline static thread_local Reserve reserve_{};
    inline static thread_local blocsgardes::Inscription inscription_{};
};

// A growable list of values of one type, copied in; capacity doubles when full.
// Counts and capacities are 16-bit: a list that cannot grow refuses with 0xDFFC
// and keeps what it held. Only the values held are made: the room past them is raw.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "KPXW32.h"
#include "frame/BlocsGardes.h"
#include "zone/TypeDonnee.h"

namespace detail {
template <typename T, typename = void>
struct aAfficher : std::false_type {};
template <typename T>
struct aAfficher<T, std::void_t<decltype(std::declval<const T&>().afficher(static_cast<FILE*>(nullptr)))>>
    : std::true_type {};
template <typename T, typename = void>
struct aTracer : std::false_type {};
template <typename T>
struct aTracer<T, std::void_t<decltype(std::declval<const T&>().tracer(uint16_t{}))>> : std::true_type {};
}  // namespace detail

template <typename T>
class TypeListe : public TypeDonnee {
public:
    static constexpr uint16_t kCapaciteDefaut = 5;

    // The room is taken by the first element: most lists of a control stay empty.
    explicit TypeListe(uint16_t capacite = kCapaciteDefaut) : capacite_(capacite == 0 ? kCapaciteDefaut : capacite) {}

    // Delegating: should a copy throw, the elements already made are destroyed.
    TypeListe(const TypeListe& autre) : TypeListe(autre.capacite_) {
        if (autre.nombre_ == 0) return;
        elements_.reset(reserver(capacite_));
        if (!elements_) throw std::bad_alloc();
        for (; nombre_ < autre.nombre_; ++nombre_) new (elements_.get() + nombre_) T(autre.elements_.get()[nombre_]);
    }

    TypeListe(TypeListe&& autre) noexcept
        : TypeDonnee(autre), capacite_(autre.capacite_), nombre_(autre.nombre_), elements_(std::move(autre.elements_)) {
        autre.nombre_ = 0;
    }

    TypeListe& operator=(const TypeListe& autre) {
        if (this == &autre) return *this;
        TypeListe copie(autre);
        return *this = std::move(copie);
    }

    TypeListe& operator=(TypeListe&& autre) noexcept {
        if (this == &autre) return *this;
        detruire();
        liberer();
        elements_ = std::move(autre.elements_);
        capacite_ = autre.capacite_;
        nombre_ = autre.nombre_;
        autre.nombre_ = 0;
        return *this;
    }

    ~TypeListe() override {
        detruire();
        liberer();
    }

    void afficher(FILE* fichier) const override {
        std::fputs("{\n", fichier);
        for (uint16_t i = 0; i < nombre_; ++i) {
            std::fputs("  ", fichier);
            if constexpr (detail::aAfficher<T>::value) element(i).afficher(fichier);
            std::fputs("\n", fichier);
        }
        std::fputs("}", fichier);
    }

    void tracer(uint16_t niveau) const override {
        if constexpr (detail::aTracer<T>::value)
            for (uint16_t i = 0; i < nombre_; ++i) element(i).tracer(niveau);
        else
            (void)niveau;
    }

    bool estRenseigne() const override { return nombre_ > 0; }
    bool estValide() const override { return capacite_ != 0; }

    // 0-based; the caller keeps i below nombre().
    T& element(uint16_t i) { return elements_.get()[i]; }
    const T& element(uint16_t i) const { return elements_.get()[i]; }

    // The copy is made first: element may be one of ours, and the array may go as it grows.
    uint16_t ajouter(const T& element) { return ajouter(T(element)); }

    // Appends by moving: the element is left as a moved-from value, even when the list cannot grow.
    uint16_t ajouter(T&& element) {
        if (!elements_) {
            elements_.reset(reserver(capacite_));
            if (!elements_) return KPX_CR_CONSTRUCTION;
        } else if (nombre_ == capacite_) {
            T deplace(std::move(element));  // element may be one of ours
            uint16_t cr = agrandir();
            if (cr == 0) new (elements_.get() + nombre_++) T(std::move(deplace));
            return cr;
        }
        new (elements_.get() + nombre_) T(std::move(element));
        ++nombre_;
        return 0;
    }

    bool contient(const T& element) const {
        for (uint16_t i = 0; i < nombre_; ++i)
            if (elements_.get()[i] == element) return true;
        return false;
    }

    // Empties the list; its capacity stays.
    void vider() {
        detruire();
        nombre_ = 0;
    }

    uint16_t nombre() const { return nombre_; }
    uint16_t capacite() const { return capacite_; }

    // Fault injection for tests: the n-th next growth of a list of this element
    // type fails (0 disables).
    static void simulerEchecAgrandissement(uint32_t rang) { echecAgrandissement_ = rang; }

private:
    // The room of the first element of a list of small values: a control makes and frees
    // such lists by the dozen (query answers, a line's unverifiable rules), and each thread
    // keeps some of it between lists. Inside functions: T may be incomplete where a list is declared.
    template <class U = T>
    using RoomsGardees = BlocsGardes<sizeof(U) * kCapaciteDefaut, 64>;
    static constexpr bool roomGardee(uint16_t capacite) {
        return capacite == kCapaciteDefaut && sizeof(T) * kCapaciteDefaut <= 256;
    }

    // Raw room for n values, none made; null when the memory is refused.
    static T* reserver(uint16_t n) {
        if (roomGardee(n)) return static_cast<T*>(RoomsGardees<>::prendre());
        return static_cast<T*>(::operator new(sizeof(T) * n, std::nothrow));
    }
    // Gives the room back by the capacity it was taken for, which the list keeps until then.
    void liberer() {
        T* room = elements_.release();
        if (room == nullptr) return;
        if (roomGardee(capacite_))
            RoomsGardees<>::rendre(room);
        else
            ::operator delete(room);
    }
    // Only a room not yet the list's comes here (growing, should a move throw).
    struct Liberation {
        void operator()(T* room) const { ::operator delete(room); }
    };
    // The values held are destroyed; the room stays.
    void detruire() {
        if (elements_) std::destroy_n(elements_.get(), nombre_);
    }

    uint16_t agrandir() {
        if (capacite_ == UINT16_MAX) return KPX_CR_CONSTRUCTION;
        if (echecAgrandissement_ != 0 && --echecAgrandissement_ == 0) return KPX_CR_CONSTRUCTION;
        uint32_t doublee = 2u * capacite_;
        auto nouvelleCapacite = static_cast<uint16_t>(doublee > UINT16_MAX ? UINT16_MAX : doublee);
        if (nouvelleCapacite <= nombre_) return KPX_CR_CONSTRUCTION;  // never: said for the optimiser's bounds check
        std::unique_ptr<T, Liberation> agrandi(reserver(nouvelleCapacite));
        if (agrandi == nullptr) return KPX_CR_CONSTRUCTION;
        // The values are moved into the new room, then the old ones destroyed with it.
        for (uint16_t i = 0; i < nombre_; ++i) new (agrandi.get() + i) T(std::move(elements_.get()[i]));
        detruire();
        liberer();
        elements_ = std::move(agrandi);
        capacite_ = nouvelleCapacite;
        return 0;
    }

    inline static uint32_t echecAgrandissement_ = 0;

    uint16_t capacite_;
    uint16_t nombre_ = 0;
    std::unique_ptr<T, Liberation> elements_;
};

// A field's value built in place, of the simple type its description names, so that
// reading a field allocates nothing unless the caller keeps the value. Holds at most
// one value; the kinds are known here, so asking for one needs no run-time type lookup.
#pragma once

#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <variant>

#include "zone/Booleen.h"
#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/Date.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"
#include "zone/Texte.h"

class ValeurChamp {
public:
    ValeurChamp() = default;
    // It points into itself: neither copied nor moved.
    ValeurChamp(const ValeurChamp&) = delete;
    ValeurChamp& operator=(const ValeurChamp&) = delete;

    template <class T, class... Arguments>
    T& construire(Arguments&&... arguments) {
        T& construite = contenu_.template emplace<T>(std::forward<Arguments>(arguments)...);
        valeur_ = &construite;
        return construite;
    }
    void vider() {
        // Emptied twice per field read: an empty value is left without a visit.
        if (contenu_.index() != 0) contenu_.template emplace<std::monostate>();
        valeur_ = nullptr;
    }

    // The type code of the field description that built the value.
    void noterType(uint8_t type) { type_ = type; }
    uint8_t type() const { return type_; }

    // The value held; null when none.
    const TypeSimple* valeur() const { return valeur_; }
    // The value when it is a T or derives from one; null otherwise.
    template <class T>
    T* comme() {
        return std::visit([](auto& v) -> T* { return enType<T>(v); }, contenu_);
    }
    // The value moved into a new owned object of its own type (a Code asked as a Texte
    // stays a Code); null when none is held, when it is no T, or when no object could be
    // allocated.
    template <class T>
    std::unique_ptr<T> extraire() {
        return std::visit([](auto& v) -> std::unique_ptr<T> { return deplacer<T>(v); }, contenu_);
    }

private:
    template <class T, class V>
    static T* enType(V& v) {
        if constexpr (std::is_base_of<T, V>::value)
            return &v;
        else
            return nullptr;
    }

    template <class T, class V>
    static std::unique_ptr<T> deplacer(V& v) {
        if constexpr (std::is_base_of<T, V>::value)
            return std::unique_ptr<T>(new (std::nothrow) V(std::move(v)));
        else
            return nullptr;
    }

    std::variant<std::monostate, Code, Texte, Booleen, Date, Nombre, Montant, Coefficient> contenu_;
    const TypeSimple* valeur_ = nullptr;
    uint8_t type_ = 0;
};

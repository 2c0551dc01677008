// A value that may be absent, held in place: it reads like the owned pointer an absent
// value would otherwise need (get, *, ->, a test), without an allocation per value.
// Rules read an absent value as the empty value of its type, whatever holds it.
#pragma once

#include <memory>
#include <optional>
#include <utility>

template <class T>
class Optionnel {
public:
    Optionnel() = default;
    Optionnel(const T& valeur) : valeur_(valeur) {}  // NOLINT: a present value converts
    Optionnel(T&& valeur) : valeur_(std::move(valeur)) {}  // NOLINT

    explicit operator bool() const { return valeur_.has_value(); }
    T* get() { return valeur_ ? &*valeur_ : nullptr; }
    const T* get() const { return valeur_ ? &*valeur_ : nullptr; }
    T& operator*() { return *valeur_; }
    const T& operator*() const { return *valeur_; }
    T* operator->() { return &*valeur_; }
    const T* operator->() const { return &*valeur_; }

    template <class... Arguments>
    T& emplace(Arguments&&... arguments) {
        return valeur_.emplace(std::forward<Arguments>(arguments)...);
    }
    void reset() { valeur_.reset(); }

private:
    std::optional<T> valeur_;
};

// The empty value of each type, made before any call: a rule reads it by the hundred in a
// control, and a function's own static would check its guard at every read.
template <class T>
inline const T kVide{};

// The value, or the empty value of its type when absent.
template <class T>
const T& ouVide(const std::unique_ptr<T>& valeur) {
    return valeur ? *valeur : kVide<T>;
}

template <class T>
const T& ouVide(const T* valeur) {
    return valeur != nullptr ? *valeur : kVide<T>;
}

template <class T>
const T& ouVide(const Optionnel<T>& valeur) {
    return ouVide(valeur.get());
}

// Two optional values alike, an absent one counting as the empty value of its type.
template <class A, class B>
bool memeValeur(const A& a, const B& b) {
    return ouVide(a) == ouVide(b);
}

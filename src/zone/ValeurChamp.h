// A field's value, of the simple type its description names. The field's checked bytes
// are kept as they lie in the zone and the value is built from them only when asked
// for: a field read and dropped builds nothing, and a field of the type its reader
// wants is built right where the reader keeps it. Holds at most one value; the kinds
// are known here, so asking for one needs no run-time type lookup.
#pragma once

#include <cstdint>
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
#include "zone/Optionnel.h"
#include "zone/Texte.h"
#include "zone/TypeSimple.h"

class ValeurChamp {
public:
    ValeurChamp() = default;
    // It points into itself: neither copied nor moved.
    ValeurChamp(const ValeurChamp&) = delete;
    ValeurChamp& operator=(const ValeurChamp&) = delete;

    template <class T, class... Arguments>
    T& construire(Arguments&&... arguments) {
        enAttente_ = false;
        T& construite = contenu_.template emplace<T>(std::forward<Arguments>(arguments)...);
        valeur_ = &construite;
        return construite;
    }
    // The bytes of a field that passed its checks, and the type code to build it with.
    // They are read when the value is asked for: they must live until then.
    void noter(uint8_t type, const uint8_t* octets, uint32_t n) {
        vider();
        type_ = type;
        octets_ = octets;
        longueur_ = n;
        enAttente_ = true;
    }
    void vider() {
        // Emptied at each step of a field read: an empty value is left without a visit.
        if (contenu_.index() != 0) contenu_.template emplace<std::monostate>();
        valeur_ = nullptr;
        enAttente_ = false;
    }

    // The type code of the field description that gave the value.
    uint8_t type() const { return type_; }

    // Neither a value nor the bytes of one.
    bool estVide() const { return valeur_ == nullptr && !enAttente_; }
    // The value held, built now if it was not yet; null when none.
    const TypeSimple* valeur() {
        if (enAttente_) construireEnAttente();
        return valeur_;
    }
    // The value when it is a T or derives from one; null otherwise.
    template <class T>
    T* comme() {
        valeur();
        return std::visit([](auto& v) -> T* { return enType<T>(v); }, contenu_);
    }
    // The value moved into a new owned object of its own type (a Code asked as a Texte
    // stays a Code); null when none is held, when it is no T, or when no object could be
    // allocated.
    template <class T>
    std::unique_ptr<T> extraire() {
        valeur();
        return std::visit([](auto& v) -> std::unique_ptr<T> { return deplacer<T>(v); }, contenu_);
    }
    // A value not built yet whose type is T, built into `resultat`: false when there is
    // none, or when its type is another (the value is then left here).
    template <class T>
    bool donner(T& resultat) {
        if constexpr (codeType<T>() != TYPE_AUCUN) {
            if (!enAttente_ || type_ != codeType<T>()) return false;
            enAttente_ = false;
            resultat = construireType<T>(octets_, longueur_);
            return true;
        }
        return false;
    }
    template <class T>
    bool donner(Optionnel<T>& resultat) {
        if constexpr (codeType<T>() != TYPE_AUCUN) {
            if (!enAttente_ || type_ != codeType<T>()) return false;
            enAttente_ = false;
            construireDans(resultat, octets_, longueur_);
            return true;
        }
        return false;
    }

    // The type code whose fields are built as exactly a T; none for the others
    // (a coefficient's decimals depend on its code).
    template <class T>
    static constexpr uint8_t codeType() {
        if constexpr (std::is_same<T, Code>::value) return TYPE_CODE;
        if constexpr (std::is_same<T, Texte>::value) return TYPE_TEXTE;
        if constexpr (std::is_same<T, Booleen>::value) return TYPE_BOOLEEN;
        if constexpr (std::is_same<T, Date>::value) return TYPE_DATE;
        if constexpr (std::is_same<T, Nombre>::value) return TYPE_NOMBRE;
        if constexpr (std::is_same<T, Montant>::value) return TYPE_MONTANT;
        return TYPE_AUCUN;
    }
    // The decimals a coefficient field's type code reads with.
    static uint8_t decimales(uint8_t type) { return type == TYPE_COEFFICIENT ? 3 : 2; }
    // The value of a field of type T from its checked bytes; a code's passed the code check.
    template <class T>
    static T construireType(const uint8_t* octets, uint32_t n) {
        return construireAvec<T>([](auto... arguments) { return T(arguments...); }, octets, n);
    }
    // The same, right into an optional value.
    template <class T>
    static void construireDans(Optionnel<T>& resultat, const uint8_t* octets, uint32_t n) {
        construireAvec<T>([&resultat](auto... arguments) { resultat.emplace(arguments...); }, octets, n);
    }

private:
    void construireEnAttente() {
        enAttente_ = false;
        switch (type_) {
            case TYPE_CODE: construire<Code>(octets_, longueur_, Code::verifie); break;
            case TYPE_TEXTE: construire<Texte>(octets_, longueur_); break;
            case TYPE_BOOLEEN: construire<Booleen>(octets_, longueur_); break;
            case TYPE_DATE: construire<Date>(octets_, longueur_); break;
            case TYPE_NOMBRE: construire<Nombre>(octets_, longueur_); break;
            case TYPE_MONTANT: construire<Montant>(octets_, longueur_); break;
            case TYPE_COEFFICIENT:
            case TYPE_COEFFICIENT_TAUX: construire<Coefficient>(octets_, longueur_, decimales(type_)); break;
            default: break;
        }
    }

    // The one choice of constructor for a field's bytes: a code's bytes passed the code
    // check, so no NUL is looked for.
    template <class T, class Faire>
    static decltype(auto) construireAvec(Faire&& faire, const uint8_t* octets, uint32_t n) {
        if constexpr (std::is_same<T, Code>::value)
            return faire(octets, n, Code::verifie);
        else
            return faire(octets, n);
    }

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
    const uint8_t* octets_ = nullptr;
    uint32_t longueur_ = 0;
    uint8_t type_ = 0;
    bool enAttente_ = false;
};

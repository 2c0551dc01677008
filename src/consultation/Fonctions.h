// Base of every function family: the input zone and the controller that hands
// its fields out one by one, in the order of the function's description, as typed
// values. Every base operation does nothing once the running code is non-zero.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>

#include "zone/Champ.h"
#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/ControleurZone.h"
#include "zone/Date.h"
#include "zone/EnLigne.h"
#include "zone/Nombre.h"
#include "zone/Optionnel.h"
#include "zone/Texte.h"
#include "zone/TypeListe.h"
#include "zone/TypeSimple.h"
#include "zone/ValeurChamp.h"

class SuperGroupe;
class ZoneKPX;
class ZoneSortie;

class Fonctions {
public:
    // Without an input zone (a function that takes none) there is no controller.
    Fonctions(ZoneKPX* zoneEntree, const SuperGroupe* superGroupe);
    virtual ~Fonctions();
    Fonctions(const Fonctions&) = delete;
    Fonctions& operator=(const Fonctions&) = delete;

protected:
    static constexpr uint16_t kMaxDents = 16;
    static constexpr uint16_t kMaxModificateurs = 4;
    // The longest professional's number built on the stack from its two fields; longer ones go through texts.
    static constexpr uint32_t kConcatenationCourte = 64;

    // The next field as a T, or null when the controller gives none. A field whose
    // description builds another simple type is converted through its byte form.
    template <class T>
    std::unique_ptr<T> lireChamp(uint16_t& cr) {
        ValeurChamp valeur;
        if (!lireValeur(cr, valeur)) return nullptr;
        if (valeur.comme<T>() != nullptr) {
            std::unique_ptr<T> gardee = valeur.extraire<T>();
            if (gardee == nullptr) cr = Champ::constructionImpossible(valeur.type());
            return gardee;
        }
        T convertie;
        return convertir(cr, valeur, convertie) ? std::make_unique<T>(std::move(convertie)) : nullptr;
    }
    // The same into a value the caller keeps: false when none is given. A field of type T
    // is built right there; a value of a derived type is kept as a T.
    template <class T>
    bool lireChamp(uint16_t& cr, T& resultat) {
        const ChampLu* champ = champPret(cr);
        if constexpr (ValeurChamp::codeType<T>() != TYPE_AUCUN) {
            if (champ != nullptr && champ->type == ValeurChamp::codeType<T>()) {
                resultat = ValeurChamp::construireType<T>(champ->octets, champ->longueur);
                return true;
            }
        }
        return lireAutrement(cr, champ, resultat);
    }
    // The same into an optional value, left absent when no field is given.
    template <class T>
    void lireChamp(uint16_t& cr, Optionnel<T>& resultat) {
        const ChampLu* champ = champPret(cr);
        if constexpr (ValeurChamp::codeType<T>() != TYPE_AUCUN) {
            if (champ != nullptr && champ->type == ValeurChamp::codeType<T>()) {
                ValeurChamp::construireDans(resultat, champ->octets, champ->longueur);
                return;
            }
        }
        lireAutrement(cr, champ, resultat);
    }
    // lireChamp into a code, answering whether it holds anything (estRenseigne): a code checked
    // ahead holds only letters and digits, so an empty one, most slots of a list, is told
    // without building it (the code is then left as it was).
    bool lireCodeRenseigne(uint16_t& cr, Code& code) {
        const ChampLu* champ = champPret(cr);
        if (champ != nullptr && champ->type == TYPE_CODE) {
            if (champ->longueur == 0) return false;
            code = ValeurChamp::construireType<Code>(champ->octets, champ->longueur);
            return true;
        }
        return lireAutrement(cr, champ, code) && code.estRenseigne();
    }
    // Reads and checks `nombre` fields whose values nobody needs.
    void ignorerChamps(uint16_t& cr, uint16_t nombre);
    // A present empty field becomes "0" (phase codes).
    Optionnel<Code> lireCodeOuZero(uint16_t& cr);
    // The same into a value; an absent field leaves it empty.
    void lireCodeOuZero(uint16_t& cr, Code& code);
    Optionnel<Date> lireDateNaissance(uint16_t& cr);
    void lireNumerosDents(uint16_t& cr, TypeListe<Code>& dents);
    void lireModificateurs(uint16_t& cr, TypeListe<Code>& modificateurs);
    // One text field, one one-character code per character.
    void lireListeCaracteres(uint16_t& cr, TypeListe<Code>& caracteres);
    // Two text fields, the second appended to the first, as a code (a professional's number).
    Optionnel<Code> lireConcatenation(uint16_t& cr);
    // Number of the group whose fields come next; 0 when the zone is exhausted.
    uint16_t groupeSuivant(uint16_t& cr);
    void verifierFinZone(uint16_t& cr);
    // Reads the prestation number of a dependent group and compares it with the line's.
    void verifierNumeroPrestation(uint16_t& cr, uint16_t ligne, int32_t numeroLigne);

    // The output zone, allocated once at a size computed beforehand, then filled
    // group by group; a zone too small for what is written gives the codec's 0xF804.
    static void allouerZoneSortie(uint16_t& cr, ZoneSortie& sortie, uint32_t taille, uint16_t categorie);
    static void ajouterGroupe(uint16_t& cr, ZoneSortie& sortie, uint16_t numero);
    static void ajouterChamp(uint16_t& cr, ZoneSortie& sortie, const TypeSimple& valeur);
    static void ajouterChampVide(uint16_t& cr, ZoneSortie& sortie);
    // The value as text with two decimals ("1.00").
    static void ajouterMontant(uint16_t& cr, ZoneSortie& sortie, double valeur);

    // Absent for the rules: no value, or a value that holds nothing.
    static bool estAbsent(const TypeSimple* valeur) { return valeur == nullptr || !valeur->estRenseigne(); }

    std::optional<ControleurZone> controleur;
    ZoneKPX* zoneEntree;

private:
    // True when the controller gave a value.
    bool lireValeur(uint16_t& cr, ValeurChamp& valeur);
    // While the walk writes no line, the next field when it was checked ahead with its group:
    // most fields, handed out here with nothing around. Null, reading nothing, otherwise.
    const ChampLu* champPret(uint16_t& cr) {
        if (cr != 0 || !controleur) return nullptr;
        return controleur->prendrePret();
    }
    // lireChamp for a field of another type than T (`champ`, already taken), or not checked
    // ahead (null: read here, bare or traced).
    template <class T>
    HORS_LIGNE bool lireAutrement(uint16_t& cr, const ChampLu* champ, T& resultat) {
        if (champ != nullptr) return construire(cr, *champ, resultat);
        ChampLu lu;
        if (lireCalme(cr, lu)) return construire(cr, lu, resultat);
        ValeurChamp valeur;
        return lireValeur(cr, valeur) && (valeur.donner(resultat) || convertir(cr, valeur, resultat));
    }
    template <class T>
    HORS_LIGNE void lireAutrement(uint16_t& cr, const ChampLu* champ, Optionnel<T>& resultat) {
        ChampLu lu;
        if (champ == nullptr && lireCalme(cr, lu)) champ = &lu;
        if (champ != nullptr) {
            if constexpr (ValeurChamp::codeType<T>() != TYPE_AUCUN) {
                if (champ->type == ValeurChamp::codeType<T>()) {
                    ValeurChamp::construireDans(resultat, champ->octets, champ->longueur);
                    return;
                }
            }
            if (construireAutre<T>(*champ, [&resultat](auto... arguments) { resultat.emplace(arguments...); }))
                return;
            ValeurChamp valeur;
            if (noter(*champ, valeur) && convertir(cr, valeur, resultat.emplace())) return;
            resultat.reset();
            return;
        }
        ValeurChamp valeur;
        if (lireValeur(cr, valeur) && (valeur.donner(resultat) || convertir(cr, valeur, resultat.emplace()))) return;
        resultat.reset();
    }
    // While the walk writes no line, the next field's bytes bare (a type code of none when
    // no field is given), and true; false, reading nothing, when the walk is traced.
    bool lireCalme(uint16_t& cr, ChampLu& champ) {
        if (!ControleurZone::estCalme()) return false;
        if (cr == 0 && controleur) cr = controleur->extraireChamp(champ);
        return true;
    }
    // A bare field as a T, as a traced read would give it: false when none is given.
    template <class T>
    bool construire(uint16_t& cr, const ChampLu& champ, T& resultat) {
        if constexpr (ValeurChamp::codeType<T>() != TYPE_AUCUN) {
            if (champ.type == ValeurChamp::codeType<T>()) {
                resultat = ValeurChamp::construireType<T>(champ.octets, champ.longueur);
                return true;
            }
        }
        if (construireAutre<T>(champ, [&resultat](auto... arguments) { resultat = T(arguments...); })) return true;
        ValeurChamp valeur;
        return noter(champ, valeur) && convertir(cr, valeur, resultat);
    }
    // A bare field of another type than T's, built as the conversion through its value would
    // build it, without that value: a code's or a text's characters are its byte form, and a
    // coefficient is read with its field type's decimals. False when the conversion is needed.
    template <class T, class Faire>
    static bool construireAutre(const ChampLu& champ, Faire&& faire) {
        if constexpr (std::is_same<T, Coefficient>::value) {
            if (champ.type != TYPE_COEFFICIENT && champ.type != TYPE_COEFFICIENT_TAUX) return false;
            faire(champ.octets, size_t{champ.longueur}, ValeurChamp::decimales(champ.type));
            return true;
        } else if constexpr (std::is_constructible<T, const uint8_t*, size_t>::value) {
            uint32_t longueur = 0;
            if ((champ.type != TYPE_CODE && champ.type != TYPE_TEXTE) || !caracteres(champ, longueur)) return false;
            faire(champ.octets, size_t{longueur});
            return true;
        } else {
            return false;
        }
    }
    // The characters a bare text or code field gives as a text (a text stops at its first
    // NUL byte, a code holds none): false for a field of another type.
    static bool caracteres(const ChampLu& champ, uint32_t& longueur);
    // The bytes of a field of another type, to be converted as a traced read would: false when none.
    static bool noter(const ChampLu& champ, ValeurChamp& valeur) {
        if (champ.type == TYPE_AUCUN) return false;
        valeur.noter(champ.type, champ.octets, champ.longueur);
        return true;
    }
    // The value read, as a T: moved when it is one, else through its byte form.
    template <class T>
    bool convertir(uint16_t& cr, ValeurChamp& valeur, T& resultat) {
        if (T* exacte = valeur.comme<T>()) {
            resultat = std::move(*exacte);
            return true;
        }
        if constexpr (std::is_constructible<T, const uint8_t*, size_t>::value) {
            FormeOctets forme;
            valeur.valeur()->formeOctets(forme);
            resultat = T(forme.donnees, forme.donnees != nullptr ? forme.longueur : 0);
            return true;
        } else {
            typeInattendu(cr);
            return false;
        }
    }
    void typeInattendu(uint16_t& cr);
    // The rank in the zone of the last field read, for the error lines.
    uint16_t rangChamp();
};

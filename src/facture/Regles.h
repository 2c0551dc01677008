// What the regulatory and the tariff rules share: the call's query layer, whether a
// rule is still to be verified for a line, a session or an association, the filling
// of a violation from the rule's information, and the counting of modified values.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "facture/Erreur.h"
#include "facture/LigneActe.h"
#include "facture/MessageRegle.h"
#include "facture/TraceFacture.h"
#include "facture/ValeursConcept.h"
#include "frame/Hachage.h"
#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/ListeCodes.h"
#include "zone/Nombre.h"
#include "zone/TypeListe.h"

class AssociationCCAM;
class InformationRegle;
class ReferencesNonVerifiables;
class LectureDonnees;
class Seance;

class Regles {
public:
    // The longest label or message an error may carry to the host.
    static constexpr size_t kLongueurTexteMax = 250;

    explicit Regles(LectureDonnees& lecture);
    virtual ~Regles();
    Regles(const Regles&) = delete;
    Regles& operator=(const Regles&) = delete;

    // False when the rule's reference is in the list (a null list holds nothing).
    uint16_t estVerifiable(const char* regle, const TypeListe<Code>* liste, bool& verifiable);
    // False when the line no longer verifies the rule. Inline: every rule of every line asks.
    uint16_t estVerifiable(const char* regle, const LigneActe& ligne, bool& verifiable);
    uint16_t estVerifiableAssociation(const char* regle, const AssociationCCAM& association, bool& verifiable);
    uint16_t estVerifiableSeance(const char* regle, const Seance& seance, bool& verifiable);
    // The rules that cannot be verified once `regle` is overridden (none when it has no row).
    uint16_t reglesNonVerifiablesDe(const Code& regle, const ListeCodes*& regles);
    // The same for a violation's rule, kept by the rule's part when this object made it.
    uint16_t reglesNonVerifiablesDe(const Erreur& erreur, const ListeCodes*& regles);
    // The indicator a line whose forcing indicator is `present` gets when `nouveau` is
    // added; the result is kept for the call.
    uint16_t combinerIndicateurs(const Code& nouveau, const Code& present, const Code*& resultat);

    // Fills the error from the rule's information; its message is the rule's format
    // with these values. 0xDFFE when the rule has no information.
    uint16_t copierValeurErreur(Erreur& erreur, const char* regle, ValeursMessage valeurs = {});
    // The same for a violation that names invoice lines.
    uint16_t copierValeurErreur(Erreur& erreur, std::initializer_list<int32_t> prestations, const char* regle,
                                ValeursMessage valeurs = {});
    uint16_t copierValeurErreur(Erreur& erreur, const TypeListe<Nombre>& prestations, const char* regle,
                                ValeursMessage valeurs = {});

    // Counting of the values read that carry a local modification; switching it off
    // forgets the count.
    void compterModifications(bool compter);
    uint32_t lireNombreModifications() const;

    // The call's query layer, for the sequences' own questions between rules.
    LectureDonnees& lectureDonnees() { return lecture; }

    // A number no other rules object of the process has had: what it keeps for the call
    // (its lists of linked rules) is told apart from another's at the same address.
    uint64_t identite() const { return identite_; }

protected:
    // The values of a CCAM concept at the date.
    uint16_t valeursConcept(int32_t numero, const Date& date, ListeCodes& valeurs);
    // Whether the code is among the concept's values at the date.
    uint16_t estDansConcept(int32_t numero, const Date& date, const Code& code, bool& dedans);
    uint16_t estDansConcept(int32_t numero, const Date& date, const VueCode& code, bool& dedans);
    // Whether one of the codes is among the concept's values at the date.
    uint16_t unDansConcept(int32_t numero, const Date& date, const TypeListe<Code>& codes, bool& dedans);
    uint16_t unDansConcept(int32_t numero, const Date& date, const VueCodesOctet& codes, bool& dedans);

    LectureDonnees& lecture;

private:
    uint64_t identite_;
    // The concept's values at the date, kept for the call.
    uint16_t valeursConnues(int32_t numero, const Date& date, const ValeursConcept*& valeurs);
    // The same once the concept's slot did not hold them: the map, then the référentiel.
    uint16_t valeursCherchees(int32_t numero, const Date& date, uint64_t cle, const ValeursConcept*& valeurs);
    struct RegleConnue;
    // The rule's entry, made empty on first use. A control asks the same few dozen rules
    // for every line: they are held in place, each found from its address's place.
    RegleConnue& regleConnue(const char* regle) {
        PlaceRegle& place = places_[placeDe(regle)];
        return place.adresse == regle ? *place.connue : regleSuivante(regle);
    }
    static size_t placeDe(const char* regle) { return (reinterpret_cast<uintptr_t>(regle) >> 3) % kPlacesRegles; }
    // The places after the rule's own, then the map once they are all taken.
    RegleConnue& regleSuivante(const char* regle);
    // The reference the référentiel gives the rule (what lists of non-verifiable rules
    // hold), with its hash, in the rule's entry.
    uint16_t referenceDe(const char* regle, const RegleConnue*& connue) {
        RegleConnue& entree = regleConnue(regle);
        connue = &entree;
        return entree.referenceTrouvee ? 0 : chercherReference(regle, entree);
    }
    uint16_t chercherReference(const char* regle, RegleConnue& connue);
    // Finds the rule's reference, asks `nonVerifiable` of its entry and traces the answer.
    template <class NonVerifiable>
    uint16_t verifiableSelon(const char* regle, bool& verifiable, NonVerifiable nonVerifiable) {
        const RegleConnue* connue = nullptr;
        const uint16_t cr = referenceDe(regle, connue);
        if (cr != 0) return cr;
        verifiable = !nonVerifiable(*connue);
        tracerRegle("Regle %s (reference = %s) vérifiable = %s", regle, connue->reference.chaine(),
                    vraiFaux(verifiable));
        return cr;
    }
    // False when some line of the group no longer verifies the rule.
    uint16_t verifiableDansGroupe(const char* regle, const ReferencesNonVerifiables& groupe, bool& verifiable);
    // The rule's label, message format, type and forcing indicator.
    uint16_t informationDe(const char* regle, RegleConnue*& connue);
    // The référentiel's answer to reglesNonVerifiablesDe.
    uint16_t chercherLiees(const Code& regle, ListeCodes& liees);
    // All of an error but its invoice lines.
    uint16_t remplirErreur(Erreur& erreur, const char* regle, ValeursMessage valeurs);

    // What the référentiel answers, kept for the call: it does not change while a call
    // holds it, and a control asks the same few dozen rules for every line and error.
    // Rules are named by string literals, and a literal's address names one rule for the
    // program's life: the address finds the entry without reading the text.
    struct RegleConnue {
        Code reference;
        bool referenceTrouvee = false;
        // The reference's hash, as the groups and the lines' signatures take it.
        uint64_t hachageReference = 0;
        const InformationRegle* information = nullptr;
        // The part of the rule's violations that comes from the rule, the code too.
        std::shared_ptr<const RegleErreur> erreur;
    };
    struct PlaceRegle {
        const char* adresse = nullptr;
        RegleConnue* connue = nullptr;
    };
    // Twice the rules a control asks of one rules object (over sixty): a fuller table
    // walked many places before finding a rule or its free place.
    static constexpr size_t kPlacesRegles = 128;
    PlaceRegle places_[kPlacesRegles];
    // The places' entries, made at the first rule with room for one per place and never
    // grown: the places keep pointing at them.
    std::vector<RegleConnue> entrees_;
    // The rules beyond the places. Node-based: entries stay put while it grows.
    std::unordered_map<const char*, RegleConnue> autresRegles_;
    // Forcing indicators combined, by new then present indicator. An error of a session
    // reaches each of its lines, whose indicators are a few letters: a slot by their
    // first letters answers before the map, comparing each indicator as one word.
    std::unordered_map<std::string, Code, HachageTexte> combinaisons_;
    struct CombinaisonRecente {
        uint64_t nouveau = 0;
        uint64_t present = 0;
        const Code* resultat = nullptr;  // in combinaisons_, whose nodes stay put
    };
    static constexpr size_t kCombinaisonsRecentes = 32;
    CombinaisonRecente combinaisonsRecentes_[kCombinaisonsRecentes];
    // The rules each rule makes unverifiable, asked once per rule, for the violations of
    // another rules object: the shared part of this one's keeps its own answer.
    std::unordered_map<std::string, ListeCodes, HachageTexte> liees_;
    // Concept values by concept number and date; the rules of a line ask a handful of
    // concepts at its date, each found by its number's slot before the map.
    std::unordered_map<uint64_t, ValeursConcept> concepts_;
    struct ConceptRecent {
        uint64_t cle = 0;
        const ValeursConcept* valeurs = nullptr;  // in concepts_, whose nodes stay put
    };
    static constexpr size_t kConceptsRecents = 16;
    ConceptRecent conceptsRecents_[kConceptsRecents];
};

inline uint16_t Regles::estVerifiable(const char* regle, const LigneActe& ligne, bool& verifiable) {
    return verifiableSelon(regle, verifiable, [&ligne](const RegleConnue& connue) {
        return ligne.nonVerifiable(connue.reference, connue.hachageReference);
    });
}

// The slot's answer is the one asked by the hundred a call: small enough to go inline.
inline uint16_t Regles::valeursConnues(int32_t numero, const Date& date, const ValeursConcept*& valeurs) {
    const uint64_t cle = static_cast<uint64_t>(static_cast<uint32_t>(numero)) << 32 |
                         static_cast<uint64_t>(date.annee()) << 16 | static_cast<uint64_t>(date.mois()) << 8 |
                         date.jour();
    const ConceptRecent& recent = conceptsRecents_[static_cast<uint32_t>(numero) % kConceptsRecents];
    if (recent.valeurs != nullptr && recent.cle == cle) {
        valeurs = recent.valeurs;
        return 0;
    }
    return valeursCherchees(numero, date, cle, valeurs);
}

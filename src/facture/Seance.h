// Sessions: the lines of one date. A Seance holds the CCAM lines of its date and
// carries their exoneration state; a SeanceDepl holds every line of its date,
// travel lines included. Each kind forms its own chain, owned link by link.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "facture/LigneCCAM.h"
#include "facture/ReferencesNonVerifiables.h"
#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/Nombre.h"

class VueCodes;

template <class S, class L>
class SeanceDatee {
public:
    SeanceDatee(int32_t rang, const Date* jour) : numero(rang), date(jour) {}
    virtual ~SeanceDatee() {
        while (suivante) suivante = std::move(suivante->suivante);
    }
    SeanceDatee(const SeanceDatee&) = delete;
    SeanceDatee& operator=(const SeanceDatee&) = delete;

    bool accepte(const LigneActe& ligne) const { return memeValeur(date, ligne.date); }
    // The session's own lines, then each following session's when the whole chain is asked for.
    void dump(bool chaine) const {
        for (const SeanceDatee* s = this; s != nullptr; s = chaine ? s->suivante.get() : nullptr) s->dumpUne();
    }

    Nombre numero;
    const Date* date;
    std::vector<L*> lignes;
    bool topDebrayage = false;
    std::unique_ptr<S> suivante;
    Code seanceExoneree{"3"};

private:
    void dumpUne() const;
};

class Seance : public SeanceDatee<Seance, LigneCCAM> {
public:
    using SeanceDatee::SeanceDatee;
    // The session's state of exoneration: not decided yet, exonerated, or the invoice
    // threshold rule could not be verified.
    static constexpr const char* kNonDecidee = "3";
    static constexpr const char* kExoneree = "2";
    static constexpr const char* kSeuilNonVerifiable = "4";

    void ajouterLigne(LigneCCAM& ligne);

    // The first line of the session, in its order, other than the one at `sauf`, of this
    // date and whose act is among `actes`; null when none.
    const LigneCCAM* ligneParmi(const TypeListe<Code>& actes, size_t sauf, const Date& jour) const;
    // The same for acts read where the référentiel holds them.
    const LigneCCAM* ligneParmi(const VueCodes& actes, size_t sauf, const Date& jour) const;

    // The rules that some line of the session no longer verifies.
    ReferencesNonVerifiables nonVerifiables;

private:
    // The lines' acts with their positions, sorted, made at the first question of a long
    // session: a rule asking it for each of its lines would otherwise walk the session for
    // each. One array rather than a list per act; it views the acts in their lines, which
    // keep them while in the session. An act's first eight bytes are also a word that orders
    // as they do: acts mostly differ there, so most comparisons of the sort are one.
    struct PositionActe {
        uint64_t tete;
        std::string_view acte;
        uint32_t position;
        bool operator<(const PositionActe& autre) const {
            if (tete != autre.tete) return tete < autre.tete;
            if (acte != autre.acte) return acte < autre.acte;
            return position < autre.position;
        }
    };
    static PositionActe positionDe(std::string_view acte, uint32_t position);
    template <class Actes>
    const LigneCCAM* premiereParmi(const Actes& actes, size_t sauf, const Date& jour) const;
    mutable std::vector<PositionActe> positionsParActe_;
    mutable bool positionsFaites_ = false;
};

class SeanceDepl : public SeanceDatee<SeanceDepl, LigneActe> {
public:
    using SeanceDatee::SeanceDatee;

    void ajouterLigne(LigneActe& ligne) { lignes.push_back(&ligne); }
};

#include "facture/Seance.h"

#include <algorithm>
#include <string_view>

#include "facture/TraceFacture.h"

namespace {

// The first eight bytes, the first weighing most, zeros past a shorter act.
uint64_t teteActe(std::string_view acte) {
    const size_t n = acte.size() < 8 ? acte.size() : 8;
    uint64_t tete = 0;
    for (size_t i = 0; i < n; ++i) tete |= uint64_t{static_cast<unsigned char>(acte[i])} << (56 - 8 * i);
    return tete;
}

}  // namespace

template <class S, class L>
void SeanceDatee<S, L>::dumpUne() const {
    if (!regleTracee()) return;
    tracerRegle("Seance n° %d::dump", static_cast<int>(numero.valeur()));
    tracerRegle("date         = %s", date ? date->chaine() : "");
    tracerRegle("topDebrayage = %s", vraiFaux(topDebrayage));
    for (size_t i = 0; i < lignes.size(); ++i) {
        const LigneCCAM* ccam = lignes[i]->commeLigneCCAM();
        if (ccam != nullptr)
            tracerRegle("acte[%d] = %s (ligne = %d)", static_cast<int>(i), texteDe(ccam->acte.get()),
                        static_cast<int>(ccam->valeurNumero()));
    }
    tracerRegle("seanceExoneree = %s", seanceExoneree.chaine());
}

template class SeanceDatee<Seance, LigneCCAM>;
template class SeanceDatee<SeanceDepl, LigneActe>;

void Seance::ajouterLigne(LigneCCAM& ligne) {
    lignes.push_back(&ligne);
    ligne.seance = this;
    nonVerifiables.ajouterLigne(ligne);
    positionsFaites_ = false;
}

const LigneCCAM* Seance::ligneParmi(const TypeListe<Code>& actes, size_t sauf, const Date& jour) const {
    const auto convient = [&](size_t i) {
        const LigneCCAM& l = *lignes[i];
        return i != sauf && ouVide(l.date) == jour && actes.contient(ouVide(l.acte));
    };
    constexpr size_t kSeanceCourte = 16;
    if (actes.nombre() == 0) return nullptr;
    if (lignes.size() <= kSeanceCourte) {
        for (size_t i = 0; i < lignes.size(); ++i)
            if (convient(i)) return lignes[i];
        return nullptr;
    }
    if (!positionsFaites_) {
        positionsParActe_.clear();
        positionsParActe_.reserve(lignes.size());
        for (size_t i = 0; i < lignes.size(); ++i) {
            const Code& acte = ouVide(lignes[i]->acte);
            const std::string_view texte(acte.chaine(), acte.longueur());
            positionsParActe_.push_back(PositionActe{teteActe(texte), texte, static_cast<uint32_t>(i)});
        }
        std::sort(positionsParActe_.begin(), positionsParActe_.end());
        positionsFaites_ = true;
    }
    size_t premiere = lignes.size();
    for (uint16_t k = 0; k < actes.nombre(); ++k) {
        const std::string_view acte(actes.element(k).chaine(), actes.element(k).longueur());
        const PositionActe cle{teteActe(acte), acte, 0};
        for (auto i = std::lower_bound(positionsParActe_.begin(), positionsParActe_.end(), cle);
             i != positionsParActe_.end() && i->tete == cle.tete && i->acte == acte && i->position < premiere; ++i)
            if (convient(i->position)) {
                premiere = i->position;
                break;
            }
    }
    return premiere < lignes.size() ? lignes[premiere] : nullptr;
}

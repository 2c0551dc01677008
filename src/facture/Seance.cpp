#include "facture/Seance.h"

#include <algorithm>
#include <string_view>

#include "consultation/LectureDonnees.h"
#include "facture/TraceFacture.h"

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

Seance::PositionActe Seance::positionDe(std::string_view acte, uint32_t position) {
    uint64_t tete = 0;
    for (size_t i = 0; i < 8; ++i) tete = tete << 8 | (i < acte.size() ? static_cast<unsigned char>(acte[i]) : 0u);
    return PositionActe{tete, acte, position};
}

namespace {

std::string_view texteActe(const Code& acte) { return std::string_view(acte.chaine(), acte.longueur()); }
std::string_view texteActe(const VueCode& acte) { return std::string_view(acte.octets(), acte.longueur()); }

}  // namespace

const LigneCCAM* Seance::ligneParmi(const TypeListe<Code>& actes, size_t sauf, const Date& jour) const {
    return premiereParmi(actes, sauf, jour);
}

const LigneCCAM* Seance::ligneParmi(const VueCodes& actes, size_t sauf, const Date& jour) const {
    return premiereParmi(actes, sauf, jour);
}

template <class Actes>
const LigneCCAM* Seance::premiereParmi(const Actes& actes, size_t sauf, const Date& jour) const {
    const auto parmi = [&actes](const Code& acte) {
        for (size_t k = 0; k < actes.nombre(); ++k)
            if (texteActe(actes.element(k)) == texteActe(acte)) return true;
        return false;
    };
    const auto convient = [&](size_t i) {
        const LigneCCAM& l = *lignes[i];
        return i != sauf && ouVide(l.date) == jour && parmi(ouVide(l.acte));
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
        for (size_t i = 0; i < lignes.size(); ++i)
            positionsParActe_.push_back(positionDe(texteActe(ouVide(lignes[i]->acte)), static_cast<uint32_t>(i)));
        std::sort(positionsParActe_.begin(), positionsParActe_.end());
        positionsFaites_ = true;
    }
    size_t premiere = lignes.size();
    for (size_t k = 0; k < actes.nombre(); ++k) {
        const PositionActe cle = positionDe(texteActe(actes.element(k)), 0);
        for (auto i = std::lower_bound(positionsParActe_.begin(), positionsParActe_.end(), cle);
             i != positionsParActe_.end() && i->tete == cle.tete && i->acte == cle.acte && i->position < premiere; ++i)
            if (convient(i->position)) {
                premiere = i->position;
                break;
            }
    }
    return premiere < lignes.size() ? lignes[premiere] : nullptr;
}

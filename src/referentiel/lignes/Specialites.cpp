// Searches of the specialty rows.
#include "referentiel/lignes/Specialites.h"

#include <cstring>

#include "referentiel/lignes/RecherchePlage.h"

uint16_t Specialite::chercherHistoriqueSpecialite(const Table& historiquesSpecialite, const Date& dateReference,
                                                  const HistoriqueSpecialite*& historique) const {
    return chercherHistoriqueADate(historiquesSpecialite, historiques, dateReference, historique);
}

uint16_t ClasseSpecialite::chercherHistoriqueClasseSpecialite(const Table& historiquesClasse,
                                                              const Date& dateReference,
                                                              const HistoriqueClasseSpecialite*& historique) const {
    return chercherHistoriqueADate(historiquesClasse, historiques, dateReference, historique);
}

uint16_t ObligationCodage::rechercherDateObligationCodage(const Table& dates, const char* codeSpecialite,
                                                          const DateObligationCodage*& date) const {
    date = nullptr;
    if (specialites.nombre == 0) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : Pas de code specialite pour cette nature de prestation");
        return KPX_CR_ELEMENT_ABSENT;
    }
    uint32_t indice = 0;
    auto egal = [codeSpecialite](const DateObligationCodage& d) {
        return std::memcmp(d.codeSpecialite.data(), codeSpecialite, 2) == 0;
    };
    if (chercherParCle(dates, specialites, egal, date, indice)) return 0;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : Code specialite non trouve dans la table Dates Obligation Codage");
    return KPX_CR_ELEMENT_ABSENT;
}

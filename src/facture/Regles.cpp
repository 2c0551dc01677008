#include "facture/Regles.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "facture/AssociationCCAM.h"
#include "facture/ReferencesNonVerifiables.h"
#include "facture/Seance.h"
#include "facture/TraceFacture.h"
#include "referentiel/lignes/Regles.h"

namespace {

static_assert(Regles::kLongueurTexteMax == MessageErreur::kLongueurMax, "a message is cut where a label is");

// Numbers for the rules objects, from 1: 0 names none.
std::atomic<uint64_t> identites{0};

// An indicator of up to seven bytes as one word: its bytes from the lowest, its length in
// the highest, so that two words are equal exactly when the indicators are. False when longer.
bool motIndicateur(const Code& indicateur, uint64_t& mot) {
    const size_t longueur = indicateur.longueur();
    if (longueur > 7) return false;
    mot = uint64_t{longueur} << 56;
    for (size_t i = 0; i < longueur; ++i) mot |= uint64_t{static_cast<uint8_t>(indicateur[i])} << (8 * i);
    return true;
}

}  // namespace

Regles::Regles(LectureDonnees& lectureDonnees)
    : lecture(lectureDonnees), identite_(identites.fetch_add(1, std::memory_order_relaxed) + 1) {}

Regles::~Regles() = default;

Regles::RegleConnue& Regles::regleSuivante(const char* regle) {
    for (size_t essai = 0, i = placeDe(regle); essai < kPlacesRegles; ++essai, i = (i + 1) % kPlacesRegles) {
        PlaceRegle& place = places_[i];
        if (place.adresse == regle) return *place.connue;
        if (place.adresse == nullptr) {
            if (entrees_.empty()) entrees_.reserve(kPlacesRegles);
            place = PlaceRegle{regle, &entrees_.emplace_back()};
            return *place.connue;
        }
    }
    return autresRegles_[regle];
}

uint16_t Regles::chercherReference(const char* regle, RegleConnue& connue) {
    const uint16_t cr = lecture.rechercherReferenceRegle(regle, connue.reference);
    if (cr == 0) {
        connue.referenceTrouvee = true;
        connue.hachageReference = ReferencesNonVerifiables::hacher(connue.reference);
    }
    return cr;
}

uint16_t Regles::informationDe(const char* regle, RegleConnue*& connue) {
    connue = &regleConnue(regle);
    if (connue->information == nullptr) {
        const InformationRegle* trouvee = nullptr;
        const uint16_t cr = lecture.rechercherInformationsRegles(Code(regle), trouvee);
        if (cr != 0) return cr;
        connue->information = trouvee;
        const std::string& libelle = trouvee->libellePrincipal;
        auto erreur = std::make_shared<RegleErreur>(
            RegleErreur{Code(regle), Code(&trouvee->typeRegle, 1, Code::largeurFixe),
                        Code(&trouvee->indicateurForcage, 1, Code::largeurFixe),
                        Texte(libelle.data(), std::min(libelle.size(), kLongueurTexteMax))});
        erreur->forcage = erreur->outrePassable == "O" && erreur->indicateurForcage.estRenseigne();
        erreur->regles = identite_;
        connue->erreur = std::move(erreur);
    }
    return 0;
}

uint16_t Regles::estVerifiable(const char* regle, const TypeListe<Code>* liste, bool& verifiable) {
    return verifiableSelon(regle, verifiable, [liste](const RegleConnue& connue) {
        return liste != nullptr && liste->contient(connue.reference);
    });
}

uint16_t Regles::verifiableDansGroupe(const char* regle, const ReferencesNonVerifiables& groupe, bool& verifiable) {
    return verifiableSelon(regle, verifiable, [&groupe](const RegleConnue& connue) {
        return groupe.contient(connue.reference, connue.hachageReference);
    });
}

uint16_t Regles::estVerifiableAssociation(const char* regle, const AssociationCCAM& association, bool& verifiable) {
    return verifiableDansGroupe(regle, association.nonVerifiables, verifiable);
}

uint16_t Regles::estVerifiableSeance(const char* regle, const Seance& seance, bool& verifiable) {
    return verifiableDansGroupe(regle, seance.nonVerifiables, verifiable);
}

uint16_t Regles::reglesNonVerifiablesDe(const Code& regle, const ListeCodes*& regles) {
    const std::string cle(regle.chaine(), regle.longueur());
    auto connues = liees_.find(cle);
    if (connues == liees_.end()) {
        ListeCodes trouvees;
        const uint16_t cr = chercherLiees(regle, trouvees);
        if (cr != 0) return cr;
        connues = liees_.emplace(cle, std::move(trouvees)).first;
    }
    regles = &connues->second;
    return 0;
}

uint16_t Regles::reglesNonVerifiablesDe(const Erreur& erreur, const ListeCodes*& regles) {
    const RegleErreur* regle = erreur.regleErreur();
    if (regle == nullptr || regle->regles != identite_) return reglesNonVerifiablesDe(erreur.codeRegle(), regles);
    if (!regle->lieesTrouvees) {
        const uint16_t cr = chercherLiees(regle->codeRegle, regle->liees);
        if (cr != 0) return cr;
        regle->lieesTrouvees = true;
    }
    regles = &regle->liees;
    return 0;
}

uint16_t Regles::chercherLiees(const Code& regle, ListeCodes& liees) {
    uint16_t cr = lecture.rechercherReglesNonVerifiables(regle, liees);
    // A rule that makes no other unverifiable has no row of its own.
    if (cr == KPX_CR_ELEMENT_ABSENT) {
        liees.vider();
        cr = 0;
    }
    return cr;
}

uint16_t Regles::combinerIndicateurs(const Code& nouveau, const Code& present, const Code*& resultat) {
    uint64_t motNouveau = 0;
    uint64_t motPresent = 0;
    CombinaisonRecente* recente = nullptr;
    if (motIndicateur(nouveau, motNouveau) && motIndicateur(present, motPresent)) {
        recente = &combinaisonsRecentes_[((motNouveau & 0xFF) * 7 + (motPresent & 0xFF)) % kCombinaisonsRecentes];
        if (recente->resultat != nullptr && recente->nouveau == motNouveau && recente->present == motPresent) {
            resultat = recente->resultat;
            return 0;
        }
    }
    std::string cle(nouveau.chaine(), nouveau.longueur());
    cle.push_back('\0');
    cle.append(present.chaine(), present.longueur());
    auto connue = combinaisons_.find(cle);
    if (connue == combinaisons_.end()) {
        Code trouve;
        const uint16_t cr = lecture.rechercherValeurCombinaisonIndicateurs(nouveau, present, trouve);
        if (cr != 0) return cr;
        connue = combinaisons_.emplace(std::move(cle), trouve).first;
    }
    if (recente != nullptr) *recente = CombinaisonRecente{motNouveau, motPresent, &connue->second};
    resultat = &connue->second;
    return 0;
}

uint16_t Regles::copierValeurErreur(Erreur& erreur, const char* regle, ValeursMessage valeurs) {
    const uint16_t cr = remplirErreur(erreur, regle, valeurs);
    if (cr == 0) erreur.prestations.vider();
    return cr;
}

uint16_t Regles::copierValeurErreur(Erreur& erreur, std::initializer_list<int32_t> prestations, const char* regle,
                                    ValeursMessage valeurs) {
    uint16_t cr = remplirErreur(erreur, regle, valeurs);
    if (cr == 0) erreur.prestations.vider();
    for (auto numero = prestations.begin(); cr == 0 && numero != prestations.end(); ++numero)
        cr = erreur.prestations.ajouter(Nombre(*numero));
    return cr;
}

uint16_t Regles::copierValeurErreur(Erreur& erreur, const TypeListe<Nombre>& prestations, const char* regle,
                                    ValeursMessage valeurs) {
    uint16_t cr = remplirErreur(erreur, regle, valeurs);
    if (cr == 0) erreur.prestations.vider();
    for (uint16_t i = 0; cr == 0 && i < prestations.nombre(); ++i)
        cr = erreur.prestations.ajouter(prestations.element(i));
    return cr;
}

uint16_t Regles::remplirErreur(Erreur& erreur, const char* regle, ValeursMessage valeurs) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_REGLE, NIV_DETAIL, "Regles::copierValeurErreur", cr);
    RegleConnue* connue = nullptr;
    if (informationDe(regle, connue) != 0) {
        tracer(CAT_REGLE, NIV_ERREUR, "Erreur lors de la consultation des informations de la règle %s", regle);
        return cr = KPX_CR_DONNEES_INCOHERENTES;
    }
    const InformationRegle* information = connue->information;
    erreur.definirRegle(connue->erreur);
    erreur.message.formater(information->libelleSecondaire, valeurs.begin(), valeurs.size());
    return cr;
}

uint16_t Regles::valeursCherchees(int32_t numero, const Date& date, uint64_t cle, const ValeursConcept*& valeurs) {
    auto connues = concepts_.find(cle);
    if (connues == concepts_.end()) {
        ListeCodes trouvees;
        const uint16_t cr = lecture.rechercherValeursConcept(Nombre(numero), date, trouvees);
        if (cr != 0) return cr;
        connues = concepts_.emplace(cle, ValeursConcept(std::move(trouvees))).first;
    }
    ConceptRecent& recent = conceptsRecents_[static_cast<uint32_t>(numero) % kConceptsRecents];
    valeurs = recent.valeurs = &connues->second;
    recent.cle = cle;
    return 0;
}

uint16_t Regles::valeursConcept(int32_t numero, const Date& date, ListeCodes& valeurs) {
    const ValeursConcept* connues = nullptr;
    const uint16_t cr = valeursConnues(numero, date, connues);
    if (cr == 0) valeurs = connues->liste();
    return cr;
}

uint16_t Regles::estDansConcept(int32_t numero, const Date& date, const Code& code, bool& dedans) {
    const ValeursConcept* valeurs = nullptr;
    const uint16_t cr = valeursConnues(numero, date, valeurs);
    dedans = cr == 0 && valeurs->contient(code);
    return cr;
}

uint16_t Regles::estDansConcept(int32_t numero, const Date& date, const VueCode& code, bool& dedans) {
    const ValeursConcept* valeurs = nullptr;
    const uint16_t cr = valeursConnues(numero, date, valeurs);
    dedans = cr == 0 && valeurs->contient(code);
    return cr;
}

uint16_t Regles::unDansConcept(int32_t numero, const Date& date, const TypeListe<Code>& codes, bool& dedans) {
    const ValeursConcept* valeurs = nullptr;
    const uint16_t cr = valeursConnues(numero, date, valeurs);
    dedans = false;
    for (uint16_t i = 0; cr == 0 && !dedans && i < codes.nombre(); ++i) dedans = valeurs->contient(codes.element(i));
    return cr;
}

uint16_t Regles::unDansConcept(int32_t numero, const Date& date, const VueCodesOctet& codes, bool& dedans) {
    const ValeursConcept* valeurs = nullptr;
    const uint16_t cr = valeursConnues(numero, date, valeurs);
    dedans = false;
    for (size_t i = 0; cr == 0 && !dedans && i < codes.nombre(); ++i) dedans = valeurs->contient(codes.element(i));
    return cr;
}

void Regles::compterModifications(bool compter) { lecture.definirComptageModifications(compter); }

uint32_t Regles::lireNombreModifications() const { return lecture.lireNombreModifications(); }

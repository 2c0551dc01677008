// The writer's shared steps: its trace, the room made for a record before a change,
// the removal of cancelled records, the copies of tables put back on failure, and
// the header values a save sets.
#include "modification/ModificationDonnees.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "modification/OutilsModification.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"

namespace {

constexpr int kTailleLigne = 1024;

}  // namespace

void tracerModification(uint16_t niveau, const char* format, ...) {
    if (!TraceDetail::estActif(CAT_MODIFICATION, niveau)) return;
    char ligne[kTailleLigne];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(ligne, sizeof ligne, format, arguments);
    va_end(arguments);
    tracerDetail(CAT_MODIFICATION, niveau, "%s", ligne);
}

TraceModification::TraceModification(const char* nom, const uint16_t& cr) : nom_(nom), cr_(cr) {
    tracerModification(NIV_DETAIL, "ModificationDonnees::%s >> IN", nom_);
}

TraceModification::~TraceModification() {
    tracerModification(NIV_DETAIL, "ModificationDonnees::%s << OUT : cr = 0x%04X", nom_, cr_);
}

Instantane::Instantane(Referentiel& referentiel, std::initializer_list<uint16_t> identifiants, uint16_t& cr)
    : referentiel_(referentiel) {
    if (cr != 0) return;
    try {
        std::vector<uint16_t> copiees;
        auto ajouter = [&copiees](uint16_t identifiant) {
            if (std::find(copiees.begin(), copiees.end(), identifiant) == copiees.end()) copiees.push_back(identifiant);
        };
        for (uint16_t identifiant : identifiants) {
            ajouter(identifiant);
            for (const Table* parente : referentiel.tablesParentes(identifiant)) ajouter(parente->numero());
        }
        for (uint16_t identifiant : copiees) {
            const Table* table = referentiel.table(identifiant);
            if (table != nullptr) copies_.emplace_back(identifiant, std::unique_ptr<Table>(new Table(*table)));
        }
    } catch (const std::bad_alloc&) {
        tracerModification(NIV_ERREUR, "probleme d'allocation memoire");
        copies_.clear();
        cr = KPX_CR_CONSTRUCTION;
    }
}

Instantane::~Instantane() {
    for (auto& copie : copies_) referentiel_.placerTable(copie.first, std::move(copie.second));
}

ModificationDonnees::ModificationDonnees(Referentiel* referentiel)
    : LectureDonnees(referentiel, LectureDonnees::Place::ecrivain) {}

uint16_t ModificationDonnees::preparerEnregistrement(const LigneTable* enregistrement, Table*& table) {
    table = nullptr;
    if (enregistrement == nullptr) return 0;
    table = referentiel->table(enregistrement->identifiantTable());
    tracerModification(NIV_DETAIL, "Creation du tableau de lignes de la table des modifications");
    if (table == nullptr) {
        tracerModification(NIV_ERREUR, "ERREUR : table de modifications %03u absente",
                           enregistrement->identifiantTable());
        return KPX_CR_DONNEES_INCOHERENTES;
    }
    if (!table->reserver(1)) {
        tracerModification(NIV_ERREUR, "probleme d'allocation memoire");
        return KPX_CR_CONSTRUCTION;
    }
    return 0;
}

void ModificationDonnees::retirerEnregistrements(uint16_t identifiant, const std::vector<bool>& annules) {
    Table* table = referentiel->table(identifiant);
    // Removing rows of a table that no other table points into moves no range and cannot fail.
    for (size_t i = annules.size(); i-- > 0;)
        if (annules[i]) table->supprimerLignes(static_cast<uint32_t>(i), 1, {});
}

void ModificationDonnees::modifierCommentaireReferentiel(const Texte& commentaire) {
    // The file header ends its comment at the first carriage return.
    std::string texte = commentaire.chaine();
    texte.erase(std::remove(texte.begin(), texte.end(), '\r'), texte.end());
    referentiel->commentaire = texte;
}

void ModificationDonnees::modifierCommentaireReferentiel(const Nombre& numeroRevision) {
    referentiel->numeroRevision = static_cast<uint16_t>(numeroRevision.valeur());
}

uint16_t ModificationDonnees::sauvegarderReferentiel(const char* commentaire) {
    uint16_t cr = 0;
    TraceModification trace("sauvegarderReferentiel", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        if (commentaire != nullptr && commentaire[0] != '\0') modifierCommentaireReferentiel(Texte(commentaire));
        Nombre revision;
        uint16_t c = lireNumeroRevisionReferentiel(revision);
        if (c == 0) modifierCommentaireReferentiel(Nombre(revision.valeur() + 1));
        if (c == 0) c = referentiel->sauvegarderModifications();
        return c;
    });
    return cr;
}

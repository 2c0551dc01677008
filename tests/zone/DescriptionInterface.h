// Interface descriptions for the tests: rows of tables 49 to 53 written with the
// fixture builder and loaded, and the bundled sample's, built once per run.
// Super-group rows must be added in the order the tables keep: by function code, then name.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "consultation/LectureDonnees.h"
#include "referentiel/Referentiel.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"
#include "consultation/Interface.h"

namespace description {

constexpr uint16_t kAucun = 0xFFFF;

struct ChampDecrit {
    char format;
    char type;
    uint16_t minimum = 0;
    uint16_t maximum = 0;
    std::vector<std::string> valeurs = {};
};

struct FilsDecrit {
    uint16_t groupe;       // row of Groupes, or kAucun
    uint16_t superGroupe;  // row of SuperGroupes, or kAucun
    uint16_t minimum;
    uint16_t maximum;
};

inline FilsDecrit groupe(uint16_t position, uint16_t minimum, uint16_t maximum) {
    return {position, kAucun, minimum, maximum};
}
inline FilsDecrit superGroupe(uint16_t position, uint16_t minimum, uint16_t maximum) {
    return {kAucun, position, minimum, maximum};
}

class Description {
public:
    explicit Description(const std::string& nom) : repertoire_("interface/" + nom) {
        for (uint16_t id = DescriptifSuperGroupe::kIdentifiant; id <= FilsSuperGroupe::kIdentifiant; ++id)
            constructeur.vider(id);
    }

    // Row position of the new group.
    uint16_t groupe(uint16_t numero, const std::vector<ChampDecrit>& champs) {
        const auto position = lignes(DescriptifGroupe::kIdentifiant);
        auto& ligne = constructeur.ajouter<DescriptifGroupe>();
        ligne.numero = numero;
        ligne.champs = {lignes(DescriptifChamp::kIdentifiant), static_cast<uint16_t>(champs.size())};
        for (const auto& c : champs) {
            auto& champ = constructeur.ajouter<DescriptifChamp>();
            champ.formatAttendu = c.format;
            champ.typeDonnee = c.type;
            champ.tailleMinimale = c.minimum;
            champ.tailleMaximale = c.maximum;
            champ.valeursAutorisees = {lignes(ValeurAutorisee::kIdentifiant), static_cast<uint16_t>(c.valeurs.size())};
            for (const auto& v : c.valeurs) constructeur.ajouter<ValeurAutorisee>().valeur = v;
        }
        return position;
    }

    // Row position of the new super-group; code ' ' for one that is only a child.
    uint16_t superGroupe(uint16_t numero, const std::string& nom, char code, const std::vector<FilsDecrit>& fils) {
        const auto position = lignes(DescriptifSuperGroupe::kIdentifiant);
        auto& ligne = constructeur.ajouter<DescriptifSuperGroupe>();
        ligne.numero = numero;
        ligne.nom = nom;
        ligne.codeFonction = code;
        ligne.fils = {lignes(FilsSuperGroupe::kIdentifiant), static_cast<uint16_t>(fils.size())};
        for (const auto& f : fils) {
            auto& enfant = constructeur.ajouter<FilsSuperGroupe>();
            enfant.positionGroupe = f.groupe;
            enfant.positionSuperGroupe = f.superGroupe;
            enfant.occurrencesMinimum = f.minimum;
            enfant.occurrencesMaximum = f.maximum;
        }
        return position;
    }

    // Writes and loads the référentiel, then builds the description from it.
    uint16_t construire(Interface& interface) {
        // The loader wants every description table filled.
        if (lignes(ValeurAutorisee::kIdentifiant) == 0) constructeur.ajouter<ValeurAutorisee>().valeur = "Z";
        if (lignes(FilsSuperGroupe::kIdentifiant) == 0) constructeur.ajouter<FilsSuperGroupe>();
        EXPECT_TRUE(constructeur.ecrire(repertoire_.chemin()));
        referentiel_.reset(new Referentiel);
        const std::string& rep = repertoire_.chemin();
        uint16_t cr = referentiel_->chargerReferentiel(rep.c_str(), rep.c_str(), "0302", "1000");
        EXPECT_EQ(cr, 0) << "the référentiel itself must load";
        LectureDonnees lecture(referentiel_.get());
        if (cr == 0) cr = lecture.ouvrir();
        if (cr == 0) cr = interface.initialiser(lecture);
        return cr;
    }

    ConstructeurReferentiel constructeur;

private:
    uint16_t lignes(uint16_t table) { return static_cast<uint16_t>(constructeur.table(table).nombreLignes()); }

    RepertoireTemporaire repertoire_;
    std::unique_ptr<Referentiel> referentiel_;
};

// The bundled sample's description, built once.
struct Echantillon {
    Referentiel referentiel;
    Interface interface;
    uint16_t cr = 0xFFFF;
    std::string erreur;
    Echantillon() {
        const std::string& rep = repertoireEchantillon(&erreur);
        if (rep.empty()) return;
        cr = referentiel.chargerReferentiel(rep.c_str(), rep.c_str(), "0302", "1000");
        LectureDonnees lecture(&referentiel);
        if (cr == 0) cr = lecture.ouvrir();
        if (cr == 0) cr = interface.initialiser(lecture);
    }
};

inline Echantillon& echantillon() {
    static Echantillon e;
    return e;
}

}  // namespace description

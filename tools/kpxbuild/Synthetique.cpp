// Every value derives from the act's rank, so two runs give the same bytes.
#include "kpxbuild/Synthetique.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "kpxbuild/Minimal.h"
#include "referentiel/lignes/Lignes.h"

namespace {

const char* const kMots[] = {"ablation", "biopsie", "cote", "drainage", "echographie", "fracture", "genou",
                             "hanche", "incision", "jambe", "kyste", "lesion", "main", "nerf", "oeil",
                             "poignet", "quadriceps", "rein", "suture", "tendon", "uretere", "veine",
                             "radiographie", "scanner", "epaule", "coude", "cheville", "thorax", "abdomen", "crane"};
constexpr size_t kNombreMots = sizeof kMots / sizeof kMots[0];

std::string majuscules(const std::string& texte) {
    std::string resultat;
    for (char c : texte)
        if (c >= 'a' && c <= 'z') resultat.push_back(static_cast<char>(c - 'a' + 'A'));
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) resultat.push_back(c);
    return resultat;
}

std::string codeActe(uint32_t rang) {
    char code[16];
    const uint32_t famille = rang / 1000;
    std::snprintf(code, sizeof code, "%c%c%c%c%03u", 'A' + famille % 26, 'A' + (famille / 26) % 26,
                  'A' + (rang / 37) % 26, 'K' + rang % 7, rang % 1000);
    return code;
}

template <class L>
L& ajouter(ContenuReferentiel& contenu) {
    std::unique_ptr<L> ligne(new L);
    L& reference = *ligne;
    contenu.table(L::kIdentifiant).ajouterLigne(std::move(ligne));
    return reference;
}

std::unique_ptr<NiveauActe> acteSynthetique(uint32_t rang) {
    const std::string code = codeActe(rang);
    std::unique_ptr<NiveauActe> acte = acteSimple(code, 10.0 + rang % 500);
    acte->libelleCourt = std::string(kMots[rang % kNombreMots]) + " " + kMots[(rang / 7) % kNombreMots] + " " + code;
    acte->libelleLong = "Acte de " + acte->libelleCourt + ", par abord direct, avec controle radiologique";
    acte->codeMenu = 1 + rang % 200;
    // The current price from 2010, a cheaper one before it.
    NiveauPhase& phase = *acte->activites()[0]->phases()[0];
    phase.premierHistorique()->dateEffet = Date(2010, 3, 1);
    std::unique_ptr<HistoriqueNiveauPhase> ancienne(new HistoriqueNiveauPhase(*phase.premierHistorique()));
    ancienne->dateEffet = Date(2000, 1, 1);
    ancienne->prixUnitaireBase *= 0.9;
    phase.premierHistorique()->grilles.push_back({3, phase.premierHistorique()->prixUnitaireBase * 1.1});
    phase.premierHistorique()->grilles.push_back({14, phase.premierHistorique()->prixUnitaireBase * 0.95});
    phase.premierHistorique()->lienSuivant() = std::move(ancienne);
    if (rang % 3 == 0) {
        std::unique_ptr<NiveauActivite> anesthesie(new NiveauActivite(*acte->activites()[0]));
        anesthesie->codeActivite = '4';
        acte->ajouterActivite(std::move(anesthesie));
    }
    return acte;
}

}  // namespace

void remplirSynthetique(ContenuReferentiel& contenu, const TailleSynthetique& taille) {
    remplirMinimal(contenu);
    contenu.commentaire = "Referentiel synthetique";
    std::vector<std::string> codes;
    for (uint32_t rang = 0; rang < taille.actes; ++rang) {
        std::unique_ptr<NiveauActe> acte = acteSynthetique(rang);
        codes.push_back(acte->codeStructure);
        contenu.ajouterActe(std::move(acte));
    }

    contenu.tables[31].reset();
    for (uint32_t menu = 1; menu <= 200; ++menu) {
        auto& ligne = ajouter<Arborescence>(contenu);
        ligne.codeMenu = menu;
        ligne.codePere = menu <= 20 ? 0 : 1 + menu % 20;
        ligne.libelle = std::string("Chapitre ") + kMots[menu % kNombreMots];
    }

    // Keywords: distinct canonical forms in ascending order, each with synonyms and indexed acts.
    std::set<std::string> formes;
    for (uint32_t k = 0; formes.size() < taille.motsCles; ++k)
        formes.insert(majuscules(std::string(kMots[k % kNombreMots]) + kMots[(k / kNombreMots) % kNombreMots] +
                                 std::to_string(k / (kNombreMots * kNombreMots))));
    contenu.tables[58].reset();
    contenu.tables[29].reset();
    contenu.tables[30].reset();
    uint32_t rangActe = 0;
    for (const std::string& forme : formes) {
        auto& motCle = ajouter<MotCle>(contenu);
        motCle.motCle = forme;
        motCle.motCleCanonique = forme;
        motCle.synonymes = {contenu.table(29).nombreLignes(), 1};
        ajouter<Synonyme>(contenu).synonyme = forme + "S";
        motCle.actesIndexes = {contenu.table(30).nombreLignes(), static_cast<uint16_t>(taille.actesParMotCle)};
        for (uint32_t i = 0; i < taille.actesParMotCle; ++i) {
            auto& indexe = ajouter<ActeIndexe>(contenu);
            indexe.codeActe = codes[(rangActe++ * 7919u) % codes.size()];
            indexe.masqueChamps = 1u << (i % 4);
        }
    }
}

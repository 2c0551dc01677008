// Every choice comes from one generator seeded by the caller and the values come
// from the base's own tables (modifiers, classes, grouping codes, menus), so the
// result passes the same checks as any compiled source.
#include "kpxbuild/Synthetique.h"

#include <set>
#include <string>

#include "kpxbuild/Minimal.h"
#include "referentiel/HistoriqueNiveauActe.h"
#include "referentiel/HistoriqueNiveauActivite.h"
#include "referentiel/HistoriqueNiveauPhase.h"
#include "referentiel/NiveauActivite.h"
#include "referentiel/NiveauPhase.h"
#include "referentiel/lignes/Lignes.h"

namespace {

// splitmix64: small, fast and the same on every platform (unlike std distributions).
class Hasard {
public:
    explicit Hasard(uint64_t graine) : etat_(graine) {}
    uint64_t suivant() {
        uint64_t z = (etat_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, n).
    uint32_t moins(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(suivant() % n); }
    // In [a, b].
    uint32_t entre(uint32_t a, uint32_t b) { return a + moins(b - a + 1); }
    template <class T>
    const T& parmi(const std::vector<T>& v) { return v[moins(static_cast<uint32_t>(v.size()))]; }

private:
    uint64_t etat_;
};

const char* const kMots[] = {"ablation", "biopsie", "cote", "drainage", "echographie", "fracture", "genou",
                             "hanche", "incision", "jambe", "kyste", "lesion", "main", "nerf", "oeil",
                             "poignet", "quadriceps", "rein", "suture", "tendon", "uretere", "veine",
                             "radiographie", "scanner", "epaule", "coude", "cheville", "thorax", "abdomen", "crane"};
constexpr uint32_t kNombreMots = sizeof kMots / sizeof kMots[0];
constexpr uint16_t kGrilles = 20;

std::string majuscules(const std::string& texte) {
    std::string resultat;
    for (char c : texte)
        if (c >= 'a' && c <= 'z') resultat.push_back(static_cast<char>(c - 'a' + 'A'));
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) resultat.push_back(c);
    return resultat;
}

template <class L>
L& ajouter(ContenuReferentiel& contenu) {
    std::unique_ptr<L> ligne(new L);
    L& reference = *ligne;
    contenu.table(L::kIdentifiant).ajouterLigne(std::move(ligne));
    return reference;
}

// The codes the acts may use, read from the base's tables.
struct Vocabulaire {
    std::vector<char> modificateurs;
    std::vector<std::string> classes;
    std::vector<std::string> regroupements;
    std::vector<uint32_t> menus;

    explicit Vocabulaire(ContenuReferentiel& c) {
        Table& m = c.table(Modificateur::kIdentifiant);
        for (uint32_t i = 0; i < m.nombreLignes(); ++i) modificateurs.push_back(m.ligneDe<Modificateur>(i)->codeModificateur);
        Table& k = c.table(ClasseSpecialite::kIdentifiant);
        for (uint32_t i = 0; i < k.nombreLignes(); ++i) classes.push_back(k.ligneDe<ClasseSpecialite>(i)->classeSpecialite);
        Table& r = c.table(CodeRegroupement::kIdentifiant);
        for (uint32_t i = 0; i < r.nombreLignes(); ++i)
            if (!r.ligneDe<CodeRegroupement>(i)->dateFin.estRenseigne())
                regroupements.push_back(r.ligneDe<CodeRegroupement>(i)->codeRegroupement);
        Table& a = c.table(Arborescence::kIdentifiant);
        for (uint32_t i = 0; i < a.nombreLignes(); ++i) menus.push_back(a.ligneDe<Arborescence>(i)->codeMenu);
        if (regroupements.empty()) regroupements.push_back("ADC");
        if (classes.empty()) classes.push_back("01");
        if (menus.empty()) menus.push_back(1);
    }
};

// n distinct effective dates, newest first, from 2005 on.
std::vector<Date> datesEffet(Hasard& h, uint32_t n) {
    std::set<uint32_t> jours;
    while (jours.size() < n) jours.insert(h.moins(20 * 12) + 1);  // months after 2005-01
    std::vector<Date> dates;
    for (auto it = jours.rbegin(); it != jours.rend(); ++it)
        dates.push_back(Date(static_cast<uint16_t>(2005 + (*it - 1) / 12), static_cast<uint8_t>(1 + (*it - 1) % 12), 1));
    return dates;
}

template <class Historique, class Niveau, class Remplir>
void historiques(Hasard& h, Niveau& niveau, Remplir remplir) {
    const std::vector<Date> dates = datesEffet(h, h.entre(1, 6));
    std::unique_ptr<Historique>* lien = &niveau.teteHistoriques();
    for (const Date& date : dates) {
        lien->reset(new Historique);
        (*lien)->dateEffet = date;
        remplir(**lien);
        lien = &(*lien)->lienSuivant();
    }
}

std::unique_ptr<NiveauActe> acte(Hasard& h, const std::string& code, const Vocabulaire& v,
                                 const std::vector<std::string>& autres) {
    std::unique_ptr<NiveauActe> a(new NiveauActe);
    a->codeStructure = code;
    a->codeStructure.resize(13, ' ');
    a->libelleCourt = std::string(kMots[h.moins(kNombreMots)]) + " " + kMots[h.moins(kNombreMots)] + " " + code;
    a->libelleLong = "Acte de " + a->libelleCourt + ", par abord direct, avec controle radiologique";
    a->typeActe = h.moins(10) == 0 ? '2' : '0';
    a->sexeCompatible = '0';
    a->codeMenu = h.parmi(v.menus);
    a->dateCreation = Date(2005, 1, 1);
    a->fraisDeplacement = 'N';
    a->naturesAssurance = {"AS", "AT", "MA", "PM", "SG"};
    historiques<HistoriqueNiveauActe>(h, *a, [&](HistoriqueNiveauActe& hist) {
        hist.admissionRemboursement = '1';
        hist.ententePrealable = h.moins(20) == 0 ? 'O' : 'N';
        hist.codesETM = {static_cast<char>('0' + h.moins(3))};
        if (!autres.empty() && h.moins(4) == 0) hist.actesIncompatibles = {h.parmi(autres)};
        if (!autres.empty() && h.moins(4) == 0) hist.procedures = {h.parmi(autres)};
    });
    // Activity 1, then up to two of activities 2 to 4, distinct and ascending.
    std::vector<char> codesActivite = {'1'};
    uint32_t reste = h.entre(0, 2);
    for (uint32_t k = 0; k < 3; ++k)
        if (h.moins(3 - k) < reste) {
            codesActivite.push_back(static_cast<char>('2' + k));
            --reste;
        }
    for (char codeActivite : codesActivite) {
        std::unique_ptr<NiveauActivite> activite(new NiveauActivite);
        activite->codeActivite = codeActivite;
        historiques<HistoriqueNiveauActivite>(h, *activite, [&](HistoriqueNiveauActivite& hist) {
            hist.categorieMedicale = activite->codeActivite == '4' ? "04" : "02";
            hist.codeRegroupement = h.parmi(v.regroupements);
            for (char m : v.modificateurs)
                if (h.moins(3) == 0) hist.modificateurs.push_back(m);
            hist.classesSpecialite = {h.parmi(v.classes)};
            if (!autres.empty() && h.moins(3) == 0) hist.associations.push_back({h.parmi(autres), 'A'});
        });
        const uint32_t nombrePhases = h.entre(0, 3);
        for (uint32_t p = 0; p < nombrePhases; ++p) {
            std::unique_ptr<NiveauPhase> phase(new NiveauPhase);
            phase->codePhase = static_cast<char>('0' + p);
            phase->nombreDentsATraiter = "00";
            const double base = 10.0 + h.moins(50000) / 100.0;
            historiques<HistoriqueNiveauPhase>(h, *phase, [&](HistoriqueNiveauPhase& hist) {
                hist.prixUnitaireBase = base;
                for (uint16_t g = 1; g <= kGrilles; ++g) hist.grilles.push_back({g, base * (0.8 + 0.02 * g)});
            });
            activite->ajouterPhase(std::move(phase));
        }
        a->ajouterActivite(std::move(activite));
    }
    return a;
}

}  // namespace

void remplirSynthetique(ContenuReferentiel& contenu, const TailleSynthetique& taille) {
    if (contenu.table(Seuil::kIdentifiant).nombreLignes() == 0) remplirMinimal(contenu);
    contenu.commentaire = "Referentiel synthetique";
    const Vocabulaire vocabulaire(contenu);
    Hasard h(taille.graine);

    std::set<std::string> codes;
    while (codes.size() < taille.actes) {
        std::string code;
        for (int i = 0; i < 4; ++i) code.push_back(static_cast<char>('A' + h.moins(26)));
        code += std::to_string(h.entre(100, 999));
        codes.insert(code);
    }
    contenu.actes.clear();
    std::vector<std::string> precedents;
    for (const std::string& code : codes) {
        contenu.ajouterActe(acte(h, code, vocabulaire, precedents));
        precedents.push_back(code);
    }
    const std::vector<std::string> liste(codes.begin(), codes.end());

    // Keywords: distinct canonical forms in ascending order, the indexed acts spread over them.
    std::set<std::string> formes;
    for (uint32_t k = 0; formes.size() < taille.motsCles; ++k)
        formes.insert(majuscules(std::string(kMots[k % kNombreMots]) + kMots[(k / kNombreMots) % kNombreMots] +
                                 std::to_string(k / (kNombreMots * kNombreMots))));
    for (uint16_t id : {29, 30, 58}) contenu.tables[id].reset();
    uint32_t restant = taille.actesIndexes;
    uint32_t rang = 0;
    for (const std::string& forme : formes) {
        auto& motCle = ajouter<MotCle>(contenu);
        motCle.motCle = forme;
        motCle.motCleCanonique = forme;
        motCle.synonymes = {contenu.table(29).nombreLignes(), 1};
        ajouter<Synonyme>(contenu).synonyme = forme + "S";
        const uint32_t motsRestants = taille.motsCles - rang++;
        const uint32_t nombre = std::min<uint32_t>(restant / motsRestants + (h.moins(motsRestants) < restant % motsRestants ? 1 : 0), 0xFFFF);
        motCle.actesIndexes = {contenu.table(30).nombreLignes(), static_cast<uint16_t>(nombre)};
        for (uint32_t i = 0; i < nombre; ++i) {
            auto& indexe = ajouter<ActeIndexe>(contenu);
            indexe.codeActe = h.parmi(liste);
            indexe.codeActe.resize(13, ' ');
            indexe.masqueChamps = 1u << h.moins(4);
        }
        restant -= nombre;
    }
}

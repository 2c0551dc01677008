// The library session of one kpx command. Input zones are passed as the host's own
// buffers; output zones are copied and given back with KPX_LibererZoneMem at once.
#include "SessionKPX.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "Progression.h"
#include "ZoneJson.h"

namespace fs = std::filesystem;

namespace {

std::string absolu(const std::string& chemin) {
    std::error_code ec;
    const fs::path p = fs::absolute(chemin, ec);
    return ec ? chemin : p.lexically_normal().string();
}

// The output buffer is the host's until it is given back, whatever happens.
struct ZoneSortie {
    explicit ZoneSortie(Hote& hote) : hote_(hote) {}
    ~ZoneSortie() {
        if (octets != nullptr) hote_.KPX_LibererZoneMem(octets);
    }
    std::string copie() const { return octets == nullptr ? std::string() : std::string(reinterpret_cast<char*>(octets), taille); }
    unsigned char* octets = nullptr;
    uint32_t taille = 0;

private:
    Hote& hote_;
};

const unsigned char* tampon(const std::string& zone) {
    return zone.empty() ? nullptr : reinterpret_cast<const unsigned char*>(zone.data());
}

bool utf8Valide(const std::string& texte) {
    for (size_t i = 0; i < texte.size(); ++i) {
        const auto c = static_cast<unsigned char>(texte[i]);
        const size_t suite = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
        if (suite == 4 || (suite == 1 && c < 0xC2)) return false;
        for (size_t k = 0; k < suite; ++k)
            if (++i >= texte.size() || (static_cast<unsigned char>(texte[i]) & 0xC0) != 0x80) return false;
    }
    return true;
}

}  // namespace

std::string texteUtf8(const std::string& texte) { return utf8Valide(texte) ? texte : latin1VersUtf8(texte); }

std::string lireCleIni(const std::string& fichier, const std::string& section, const std::string& cle) {
    std::ifstream entree(fichier);
    std::string ligne, courante;
    auto rogner = [](std::string s) {
        const size_t debut = s.find_first_not_of(" \t\r");
        const size_t fin = s.find_last_not_of(" \t\r");
        return debut == std::string::npos ? std::string() : s.substr(debut, fin - debut + 1);
    };
    while (std::getline(entree, ligne)) {
        ligne = rogner(ligne);
        if (ligne.empty() || ligne[0] == ';' || ligne[0] == '#') continue;
        if (ligne.front() == '[' && ligne.back() == ']') {
            courante = rogner(ligne.substr(1, ligne.size() - 2));
            continue;
        }
        const size_t egal = ligne.find('=');
        if (courante != section || egal == std::string::npos || rogner(ligne.substr(0, egal)) != cle) continue;
        std::string valeur = ligne.substr(egal + 1);
        for (const char* commentaire : {" ;", " #", "\t;", "\t#"}) valeur = valeur.substr(0, valeur.find(commentaire));
        return rogner(valeur);
    }
    return "";
}

SessionKPX::SessionKPX(OptionsSession options) : options_(std::move(options)) {}

SessionKPX::~SessionKPX() {
    if (charge_) hote_.KPX_TermLIB();
    hote_.decharger();
    if (!travail_.empty()) {
        std::error_code ec;
        fs::remove_all(travail_, ec);
    }
}

bool SessionKPX::ouvrir(ReponseKPX& chargement, std::string& erreur) {
    std::string modele = (fs::temp_directory_path() / "kpx-XXXXXX").string();
    if (mkdtemp(modele.data()) == nullptr) {
        erreur = "cannot create a working directory in " + fs::temp_directory_path().string();
        return false;
    }
    travail_ = modele;
    fichierTrace_ = options_.trace.empty() ? travail_ + "/kpx.log" : absolu(options_.trace);

    std::string configuration = options_.configuration;
    if (configuration.empty()) {
        repertoireTables_ = absolu(options_.referentiel);
        if (!fs::exists(repertoireTables_ + "/table_v2.kpx")) {
            erreur = "no table_v2.kpx in " + repertoireTables_;
            return false;
        }
        repertoireModifications_ =
            options_.modifications.empty() ? repertoireTables_ : absolu(options_.modifications);
        configuration = travail_ + "/kpx.ini";
        std::ofstream ini(configuration);
        ini << "[COMMUN]\nrepertoiretravail=" << travail_ << "\nActivationTracesLog4c=1\n"
            << "[KPX]\nrepertoiretable=" << repertoireTables_ << "\n"
            << "repertoireModification=" << repertoireModifications_ << "\n"
            << "[TRACE]\nfichier=" << fichierTrace_ << "\nniveau=5\n";
        if (!ini) {
            erreur = "cannot write " + configuration;
            return false;
        }
    } else {
        if (!fs::exists(configuration)) {
            erreur = "no configuration file " + configuration;
            return false;
        }
        repertoireTables_ = lireCleIni(configuration, "KPX", "repertoiretable");
        repertoireModifications_ = lireCleIni(configuration, "KPX", "repertoireModification");
        if (repertoireModifications_.empty()) repertoireModifications_ = repertoireTables_;
    }

    if (!hote_.charger(options_.bibliotheque)) {
        erreur = "cannot load the library from " + options_.bibliotheque + ": " + hote_.erreur;
        return false;
    }
    // A configuration of the user's may switch the trace elsewhere during the load:
    // it is switched back to our file afterwards.
    activerTrace();
    chargement = appeler([&] {
        Progression progression("Loading the referentiel...");
        return hote_.KPX_InitLIB2(configuration.c_str());
    });
    charge_ = chargement.cr == 0;
    if (charge_ && (!options_.configuration.empty() || options_.traceRegles)) activerTrace();
    return true;
}

void SessionKPX::activerTrace() {
    const std::string parametre = "fichier=" + fichierTrace_ + (options_.traceRegles ? ";niveau=2" : ";niveau=5");
    hote_.KPX_InitTrace(parametre.c_str(), 0, 0, 0);
}

template <class Appel>
ReponseKPX SessionKPX::appeler(Appel appel) {
    std::error_code ec;
    uintmax_t depuis = fs::file_size(fichierTrace_, ec);
    if (ec) depuis = 0;
    ReponseKPX reponse;
    reponse.cr = appel();
    if (reponse.cr != 0) reponse.explications = lignes(depuis, 5, -1);
    if (options_.traceRegles) reponse.regles = lignes(depuis, 0, 4);
    return reponse;
}

std::vector<std::string> SessionKPX::lignes(uintmax_t depuis, int niveau, int categorie) const {
    std::vector<std::string> resultat;
    std::ifstream entree(fichierTrace_, std::ios::binary);
    entree.seekg(static_cast<std::streamoff>(depuis));
    const std::regex forme(R"(^\S+ \S+ KPX (\d+) (\d+) (.*)$)");
    std::smatch m;
    std::string ligne;
    while (std::getline(entree, ligne)) {
        if (!std::regex_match(ligne, m, forme)) continue;
        if ((niveau == 0 || std::stoi(m[2]) == niveau) && (categorie < 0 || std::stoi(m[1]) == categorie))
            resultat.push_back(texteUtf8(m[3]));
    }
    return resultat;
}

ReponseKPX SessionKPX::lireVersion() {
    ZoneSortie sortie(hote_);
    ReponseKPX r = appeler([&] { return hote_.KPX_LireVersion(&sortie.octets, &sortie.taille); });
    r.sortie = sortie.copie();
    return r;
}

ReponseKPX SessionKPX::consulter(const std::string& identifiant, const std::string& date, const std::string& zone) {
    ZoneSortie sortie(hote_);
    ReponseKPX r = appeler([&] {
        return hote_.KPX_ConsulterDonnee(identifiant.c_str(), date.c_str(), tampon(zone),
                                         static_cast<uint32_t>(zone.size()), &sortie.octets, &sortie.taille);
    });
    r.sortie = sortie.copie();
    return r;
}

ReponseKPX SessionKPX::rechercherParMotCle(const std::string& motCle, uint32_t cadre) {
    ZoneSortie sortie(hote_);
    ReponseKPX r =
        appeler([&] { return hote_.KPX_RechercherParMotCle(motCle.c_str(), cadre, &sortie.octets, &sortie.taille); });
    r.sortie = sortie.copie();
    return r;
}

ReponseKPX SessionKPX::rechercherParFiltre(const std::string& filtre) {
    ZoneSortie sortie(hote_);
    ReponseKPX r = appeler([&] { return hote_.KPX_RechercherParFiltre(filtre.c_str(), &sortie.octets, &sortie.taille); });
    r.sortie = sortie.copie();
    return r;
}

ReponseKPX SessionKPX::modifier(const std::string& identifiant, const std::string& date, const std::string& zone) {
    return appeler([&] {
        return hote_.KPX_ModifierDonnee(identifiant.c_str(), date.c_str(), tampon(zone),
                                        static_cast<uint32_t>(zone.size()));
    });
}

ReponseKPX SessionKPX::annuler(const std::string& identifiant, const std::string& zone) {
    return appeler([&] {
        return hote_.KPX_AnnulerModification(identifiant.c_str(), tampon(zone), static_cast<uint32_t>(zone.size()));
    });
}

ReponseKPX SessionKPX::sauvegarder(const std::string* commentaire) {
    return appeler([&] { return hote_.KPX_SauvegarderReferentiel(commentaire ? commentaire->c_str() : nullptr); });
}

ReponseKPX SessionKPX::appliquerRegle(const std::string& identifiant, const std::string& zone) {
    ZoneSortie sortie(hote_);
    ReponseKPX r = appeler([&] {
        return hote_.KPX_AppliquerRegle(identifiant.c_str(), tampon(zone), static_cast<uint32_t>(zone.size()),
                                        &sortie.octets, &sortie.taille);
    });
    r.sortie = sortie.copie();
    return r;
}

ReponseKPX SessionKPX::controler(const std::string& identifiant, const std::string& date, const std::string& zone) {
    char resultat = ' ';
    ReponseKPX r = appeler([&] {
        return hote_.KPX_ControlerDonnees(identifiant.c_str(), date.c_str(), tampon(zone),
                                          static_cast<uint32_t>(zone.size()), &resultat);
    });
    r.resultat = resultat;
    return r;
}

ReponseKPX SessionKPX::controleComplet(const std::string& zone) {
    ZoneSortie sortie(hote_);
    ReponseKPX r = appeler([&] {
        return hote_.KPX_ControleComplet(tampon(zone), static_cast<uint32_t>(zone.size()), &sortie.octets,
                                         &sortie.taille);
    });
    r.sortie = sortie.copie();
    return r;
}

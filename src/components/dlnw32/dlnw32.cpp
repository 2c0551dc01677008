// Common-services component: INI configuration, trace file, component versions.
// All state lives in one struct; every entry refuses null arguments instead of crashing.
#include "dlnw32/dlnw32.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "ExceptionComposant.h"

#if !defined(_WIN32)
#include <sys/time.h>
#endif

namespace {

#if defined(_WIN32)
const char kSeparateur = '\\';
#else
const char kSeparateur = '/';
#endif

constexpr int kNiveauParDefaut = 5;

struct Etat {
    std::string fichierConfiguration;
    std::map<std::string, std::map<std::string, std::string>> sections;
    FILE* trace = nullptr;
    int niveauTrace = 0;
    // A host may unload the component with the trace on: under Windows an open file
    // could then be neither deleted nor renamed until the process ends.
    ~Etat() {
        if (trace != nullptr) std::fclose(trace);
    }
};

Etat& etat() {
    static Etat instance;
    return instance;
}

std::string rogner(const std::string& s) {
    auto debut = s.find_first_not_of(" \t\r\n");
    if (debut == std::string::npos) return std::string();
    auto fin = s.find_last_not_of(" \t\r\n");
    return s.substr(debut, fin - debut + 1);
}

// "[SECTION]", "key=value", comments from ';' or '#' at the start of a line.
bool lireIni(const std::string& fichier, std::map<std::string, std::map<std::string, std::string>>& sections) {
    std::ifstream entree(fichier);
    if (!entree) return false;
    std::string ligne;
    std::string section;
    while (std::getline(entree, ligne)) {
        std::string l = rogner(ligne);
        if (l.empty() || l[0] == ';' || l[0] == '#') continue;
        if (l[0] == '[') {
            auto fin = l.find(']');
            section = rogner(l.substr(1, fin == std::string::npos ? std::string::npos : fin - 1));
            continue;
        }
        auto egal = l.find('=');
        if (egal == std::string::npos) continue;
        std::string valeur = rogner(l.substr(egal + 1));
        // A comment may follow the value after a blank.
        for (const char* marque : {" ;", "\t;", " #", "\t#"}) {
            auto position = valeur.find(marque);
            if (position != std::string::npos) valeur = rogner(valeur.substr(0, position));
        }
        sections[section][rogner(l.substr(0, egal))] = valeur;
    }
    return !entree.bad();
}

const std::string* valeur(const char* section, const char* cle) {
    auto& s = etat().sections;
    auto i = s.find(section);
    if (i == s.end()) return nullptr;
    auto j = i->second.find(cle);
    return j == i->second.end() ? nullptr : &j->second;
}

std::string repertoireDe(const std::string& chemin) {
    auto position = chemin.find_last_of("/\\");
    return position == std::string::npos ? std::string(".") : chemin.substr(0, position);
}

// "fichier=PATH;niveau=N", each part optional.
void lireParametre(const std::string& parametre, std::string& fichier, int& niveau) {
    std::stringstream flux(parametre);
    std::string morceau;
    while (std::getline(flux, morceau, ';')) {
        auto egal = morceau.find('=');
        if (egal == std::string::npos) continue;
        std::string cle = rogner(morceau.substr(0, egal));
        std::string v = rogner(morceau.substr(egal + 1));
        if (cle == "fichier" && !v.empty()) fichier = v;
        if (cle == "niveau" && !v.empty()) niveau = std::atoi(v.c_str());
    }
}

void horodatage(char* tampon, std::size_t taille) {
    std::time_t maintenant = std::time(nullptr);
    int millis = 0;
#if !defined(_WIN32)
    timeval tv;
    gettimeofday(&tv, nullptr);
    maintenant = tv.tv_sec;
    millis = static_cast<int>(tv.tv_usec / 1000);
#endif
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &maintenant);
#else
    localtime_r(&maintenant, &local);
#endif
    std::size_t n = std::strftime(tampon, taille, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(tampon + n, taille - n, ".%03d", millis);
}

}  // namespace

extern "C" {

DLN_API uint16_t LN_usSetFichierKoral(const char* fichier) try {
    if (fichier == nullptr || fichier[0] == '\0') return DLN_CR_ARGUMENT;
    std::map<std::string, std::map<std::string, std::string>> sections;
    if (!lireIni(fichier, sections)) return DLN_CR_FICHIER_ABSENT;
    etat().fichierConfiguration = fichier;
    etat().sections.swap(sections);
    return DLN_OK;
} catch (...) {
    return codeExceptionComposant();
}

DLN_API uint32_t LN_ulLireChaineKoral(const char* section, const char* cle, char* buffer, uint32_t taille) try {
    if (section == nullptr || cle == nullptr || buffer == nullptr || taille == 0) return 0;
    const std::string* v = valeur(section, cle);
    if (v == nullptr) return 0;
    std::size_t n = std::min<std::size_t>(v->size(), taille - 1);
    std::memcpy(buffer, v->data(), n);
    buffer[n] = '\0';
    return static_cast<uint32_t>(n + 1);
} catch (...) {
    return 0;  // read as an absent key
}

DLN_API uint16_t LN_usEcrireVersionComposant(uint16_t identifiant, const char* version, uint32_t longueur) try {
    if (version == nullptr) return DLN_CR_ARGUMENT;
    const std::string* travail = valeur("COMMUN", "repertoiretravail");
    if (travail == nullptr) return DLN_CR_REPERTOIRE_TRAVAIL;
    std::string fichier = *travail + kSeparateur + "versions.txt";
    std::map<uint16_t, std::string> versions;
    {
        std::ifstream entree(fichier);
        std::string ligne;
        while (std::getline(entree, ligne)) {
            auto egal = ligne.find('=');
            if (egal != std::string::npos)
                versions[static_cast<uint16_t>(std::atoi(ligne.substr(0, egal).c_str()))] = ligne.substr(egal + 1);
        }
    }
    std::string nouvelle(version, strnlen(version, longueur));
    auto existante = versions.find(identifiant);
    // Every process start records its versions again: the same one is no news.
    if (existante != versions.end() && existante->second == nouvelle) return DLN_OK;
    const bool remplacee = existante != versions.end();
    versions[identifiant] = nouvelle;
    std::ofstream sortie(fichier, std::ios::trunc);
    for (auto& [id, v] : versions) sortie << id << '=' << v << '\n';
    if (!sortie) return DLN_CR_VERSION_FICHIER;
    return remplacee ? DLN_CR_VERSION_DEJA_ECRITE : DLN_OK;
} catch (...) {
    return codeExceptionComposant();
}

DLN_API uint16_t LN_usActiverTrace(const char* module, const char* parametre) try {
    if (module == nullptr) return DLN_CR_ARGUMENT;
    auto& e = etat();
    std::string fichier;
    int niveau = kNiveauParDefaut;
    if (const std::string* f = valeur("TRACE", "fichier")) fichier = *f;
    if (const std::string* n = valeur("TRACE", "niveau")) niveau = std::atoi(n->c_str());
    if (parametre != nullptr) lireParametre(parametre, fichier, niveau);
    if (fichier.empty())
        fichier = (e.fichierConfiguration.empty() ? std::string(".") : repertoireDe(e.fichierConfiguration)) +
                  kSeparateur + "kpx.log";
    if (e.trace != nullptr) std::fclose(e.trace);
    e.trace = std::fopen(fichier.c_str(), "a");
    e.niveauTrace = niveau;
    return e.trace != nullptr ? DLN_OK : DLN_CR_TRACE_FICHIER;
} catch (...) {
    return codeExceptionComposant();
}

DLN_API uint16_t LN_TraceEcrire(const char* module, uint16_t categorie, uint16_t niveau, const char* format, ...) try {
    auto& e = etat();
    if (e.trace == nullptr || module == nullptr || format == nullptr || niveau > e.niveauTrace) return DLN_OK;
    char temps[32];
    horodatage(temps, sizeof temps);
    std::fprintf(e.trace, "%s %s %u %u ", temps, module, categorie, niveau);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(e.trace, format, arguments);
    va_end(arguments);
    std::fputc('\n', e.trace);
    std::fflush(e.trace);
    return DLN_OK;
} catch (...) {
    return codeExceptionComposant();
}

DLN_API uint16_t LN_usNiveauTrace(const char* module) try {
    const auto& e = etat();
    return e.trace == nullptr || module == nullptr ? 0 : static_cast<uint16_t>(e.niveauTrace);
} catch (...) {
    return 0;  // read as a trace switched off
}

DLN_API uint16_t LN_ArretTraces(void) try {
    auto& e = etat();
    if (e.trace != nullptr) std::fclose(e.trace);
    e.trace = nullptr;
    return DLN_OK;
} catch (...) {
    return codeExceptionComposant();
}

}  // extern "C"

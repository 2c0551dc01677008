// One run of the library as a host drives it: loaded at run time, KPX_InitLIB2 on a
// configuration, the calls, KPX_TermLIB. The trace stays on at level 5 in a file so
// that a failed call can be explained by the lines it wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hote/Hote.h"

struct OptionsSession {
    std::string bibliotheque;   // directory of libKPXW32.so
    std::string referentiel;    // directory of table_v2.kpx, when no configuration is given
    std::string modifications;  // directory of modrefv2.kpx, when no configuration is given; default referentiel
    std::string configuration;  // an INI of the user's
    std::string trace;          // trace file of the user's; a temporary one otherwise
    bool traceRegles = false;   // keep the rules' own lines (category 4) of each call
};

struct ReponseKPX {
    uint16_t cr = 0;
    std::string sortie;  // output zone bytes, when one was handed over
    char resultat = ' ';  // control outcome, 'O' or 'N'
    std::vector<std::string> explications;  // level-5 trace lines of the call, UTF-8
    std::vector<std::string> regles;        // with traceRegles: the call's rule lines, UTF-8
};

class SessionKPX {
public:
    explicit SessionKPX(OptionsSession options);
    ~SessionKPX();
    SessionKPX(const SessionKPX&) = delete;
    SessionKPX& operator=(const SessionKPX&) = delete;

    // False with erreur when the tool cannot run the library at all; otherwise the
    // answer of KPX_InitLIB2 (a load that failed leaves the session closed).
    bool ouvrir(ReponseKPX& chargement, std::string& erreur);
    // Directory whose table file holds the interface description.
    const std::string& repertoireTables() const { return repertoireTables_; }
    // Directory where a save writes modrefv2.kpx.
    const std::string& repertoireModifications() const { return repertoireModifications_; }

    ReponseKPX lireVersion();
    ReponseKPX consulter(const std::string& identifiant, const std::string& date, const std::string& zone);
    ReponseKPX rechercherParMotCle(const std::string& motCle, uint32_t cadre);
    ReponseKPX rechercherParFiltre(const std::string& filtre);
    ReponseKPX modifier(const std::string& identifiant, const std::string& date, const std::string& zone);
    ReponseKPX annuler(const std::string& identifiant, const std::string& zone);
    // Null: no comment.
    ReponseKPX sauvegarder(const std::string* commentaire);
    ReponseKPX appliquerRegle(const std::string& identifiant, const std::string& zone);
    ReponseKPX controler(const std::string& identifiant, const std::string& date, const std::string& zone);
    ReponseKPX controleComplet(const std::string& zone);

private:
    template <class Appel>
    ReponseKPX appeler(Appel appel);
    void activerTrace();
    // Lines the call wrote since that offset, of that level (0: any) and category (-1: any).
    std::vector<std::string> lignes(uintmax_t depuis, int niveau, int categorie) const;

    OptionsSession options_;
    Hote hote_;
    std::string travail_;  // temporary directory, removed at the end
    std::string fichierTrace_;
    std::string repertoireTables_;
    std::string repertoireModifications_;
    bool charge_ = false;
};

// Value of a key of an INI file; empty when absent.
std::string lireCleIni(const std::string& fichier, const std::string& section, const std::string& cle);
// The text as UTF-8: kept when it is valid UTF-8, read as Latin-1 otherwise.
std::string texteUtf8(const std::string& texte);

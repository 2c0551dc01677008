// The readable source of a référentiel: JSON files, one per table family and
// one per group of acts. Field names come from the row labels ("date debut" is
// "dateDebut"); every error names the file, the JSON path and the fault.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "kpxbuild/ContenuReferentiel.h"

// "nombre d'actes dans une association" -> "nombreActesDansUneAssociation".
std::string cleJson(const char* libelle);

// Reads SRC_DIR (referentiel.json, tables/*.json, actes/*.json, modifications.json).
// Every problem found is added to erreurs; the content is usable only when none was.
void lireSource(const std::string& repertoire, ContenuReferentiel& contenu, std::vector<std::string>& erreurs);

// Writes the source of a content into repertoire (created if needed).
bool ecrireSource(const ContenuReferentiel& contenu, const std::string& repertoire, std::string& erreur);

// "AAAA-MM-JJ", as dates are written in the source.
std::string texteDate(const Date& date);

// The family file a table goes to when decompiled ("modificateurs").
const char* familleTable(uint16_t identifiant);

// One table's rows as JSON, and back (the rows are appended to the table).
nlohmann::ordered_json tableVersJson(const Table& table);
void jsonVersTable(const nlohmann::json& lignes, uint16_t identifiant, Table& table, const std::string& chemin,
                   std::vector<std::string>& erreurs);
nlohmann::ordered_json acteVersJson(const NiveauActe& acte);
std::unique_ptr<NiveauActe> jsonVersActe(const nlohmann::json& acte, const std::string& chemin,
                                         std::vector<std::string>& erreurs);
// Identifier of a row class name ("Modificateur" -> 22); 0xFFFF when unknown.
uint16_t identifiantDeClasse(const std::string& nom);
const char* classeDeTable(uint16_t identifiant);
// Markdown reference of every table's fields, for the source format documentation.
std::string schemaSource();

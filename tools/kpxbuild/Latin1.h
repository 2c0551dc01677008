// Texts are Latin-1 bytes in the référentiel and in the zones (what the hosts
// send, and what the keyword search folds); JSON and terminals are UTF-8.
#pragma once

#include <string>

std::string latin1VersUtf8(const std::string& latin1);
// False when a character has no Latin-1 byte or the UTF-8 is malformed.
bool utf8VersLatin1(const std::string& utf8, std::string& latin1);

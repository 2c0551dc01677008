// Plain-language meaning of a return code, for host tools and their messages.
#pragma once

#include <cstdint>

const char* significationCode(uint16_t cr);

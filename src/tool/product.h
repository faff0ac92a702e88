// The product's identity as the tool shows it: the version text, the banner
// and the usage text.
#pragma once

#include <cstdio>

#include "environment/product_identity.h"

namespace rw {

// "4.0.2.2017071703.32809", built on first use.
const char* fullVersion();

// One line naming the program, the product and the full version.
void printBanner(const char* programName, std::FILE* out = stderr);

// The usage lines, each with its own line feed, ending in a null pointer.
extern const char* const kUsageText[];
void printUsage(std::FILE* out = stderr);

}  // namespace rw

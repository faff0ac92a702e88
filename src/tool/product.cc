#include "tool/product.h"

namespace rw {

namespace {
constexpr size_t kVersionBufferSize = 1024;
}  // namespace

const char* fullVersion() {
  static char buffer[kVersionBufferSize];
  static bool built = false;
  if (!built) {
    std::snprintf(buffer, sizeof buffer, "%s%s.%s.%s.%s", product::kVersionPrefix, product::kMinorVersion,
                  product::kPatchLevel, product::kBuildNumber, product::kRevision);
    built = true;
  }
  return buffer;
}

void printBanner(const char* programName, std::FILE* out) {
  std::fprintf(out, "%s - %s register definition generator, version %s\n", programName, product::kProductName,
               fullVersion());
}

const char* const kUsageText[] = {
    "\n",
    "Usage: regwright <inputfile> <outputfile> [<targetname>] [<macros>] [option]\n",
    "\n",
    "  <inputfile>              memory map file name\n",
    "  <outputfile>             header file name\n",
    "  <targetname>             name of target\n",
    "  <macros>                 macro definitions\n",
    "  -bitband                 peripheral base\n",
    "  -defprefixstring         definition prefix\n",
    "  -excludebitfield         exclude bitfield matching regular expression\n",
    "  -excludebitfield2        exclude bitfield register\n",
    "  -fixdefs                 fix any register or bitfield definitions that are not valid C\n",
    "  -nobitfields             no bitfields\n",
    "  -noprependreg            do not prepend register name to bitfields\n",
    "  -singlebitfieldnames     single bitfield names are bit numbers not masks\n",
    "  -prependreggroup         prepend register group name to registers\n",
    "  -regbaseoffs             include register offsets\n",
    "  -regbasestring           register base suffix\n",
    "  -regoffsetstring         register offset suffix\n",
    "  -regstring               register suffix\n",
    "  -depfile                 write the header's file dependencies in Make form\n",
    nullptr,
};

void printUsage(std::FILE* out) {
  for (const char* const* line = kUsageText; *line != nullptr; ++line) std::fputs(*line, out);
}

}  // namespace rw

#include "tool/command_line.h"

#include <cstdlib>

#include "macros/product.h"
#include "tool/outputs.h"

namespace rw {

namespace {

// The bit-band alias region lies this far above the peripheral region.
constexpr uint32_t kBitBandAliasOffset = 0x2000000u;

void setBitBand(CommandLine& commandLine, std::string_view argument) {
  // Base 0: "0x" hexadecimal, a leading "0" octal, else decimal; reading stops
  // at the first character that does not fit and no number at all gives 0.
  const unsigned long value = std::strtoul(std::string(argument).c_str(), nullptr, 0);
  commandLine.header.bitBandBase = static_cast<uint32_t>(value);
  commandLine.header.bitBandAliasOffset = kBitBandAliasOffset;
}

constexpr Option kOptions[] = {
    {"-bitband", true, setBitBand, "peripheral base"},
    {"-defprefixstring", true, [](CommandLine& c, std::string_view a) { c.header.defPrefixString = a; },
     "definition prefix"},
    // Kept as text: the generator compiles it, and a pattern that does not
    // compile excludes nothing.
    {"-excludebitfield", true, [](CommandLine& c, std::string_view a) { c.header.excludeBitFieldPattern = a; },
     "exclude bitfield matching regular expression"},
    {"-excludebitfield2", true,
     [](CommandLine& c, std::string_view a) { c.header.excludeBitFieldRegisters.emplace_back(a); },
     "exclude bitfield register"},
    {"-fixdefs", false, [](CommandLine& c, std::string_view) { c.header.fixDefs = true; },
     "fix any register or bitfield definitions that are not valid C"},
    {"-nobitfields", false, [](CommandLine& c, std::string_view) { c.header.noBitFields = true; }, "no bitfields"},
    {"-noprependreg", false, [](CommandLine& c, std::string_view) { c.header.noPrependReg = true; },
     "do not prepend register name to bitfields"},
    {"-singlebitfieldnames", false, [](CommandLine& c, std::string_view) { c.header.singleBitFieldNames = true; },
     "single bitfield names are bit numbers not masks"},
    {"-prependreggroup", false, [](CommandLine& c, std::string_view) { c.header.prependRegGroup = true; },
     "prepend register group name to registers"},
    {"-regbaseoffs", false, [](CommandLine& c, std::string_view) { c.header.regBaseOffs = true; },
     "include register offsets"},
    {"-regbasestring", true, [](CommandLine& c, std::string_view a) { c.header.regBaseString = a; },
     "register base suffix"},
    {"-regoffsetstring", true, [](CommandLine& c, std::string_view a) { c.header.regOffsetString = a; },
     "register offset suffix"},
    {"-regstring", true, [](CommandLine& c, std::string_view a) { c.header.regString = a; }, "register suffix"},
    {"-depfile", true, nullptr, "write the header's file dependencies in Make form", writeDepfile},
    {"-svd", true, nullptr, "also write the loaded map as a CMSIS-SVD device file", writeSvdFile},
    {"-map", true, nullptr, "also write the loaded map without directives as one memory map file",
     writeExpandedMapFile},
    {"-check", false, [](CommandLine& c, std::string_view) { c.check = true; },
     "report likely mistakes in the map as warnings"},
    {"-checkerror", false, [](CommandLine& c, std::string_view) { c.check = c.checkError = true; },
     "report likely mistakes in the map as errors"},
    {"-html", true, nullptr, "also write the loaded map as a web page", writeHtmlFile},
    {"-stdint", false, [](CommandLine& c, std::string_view) { c.header.stdint = true; },
     "use <stdint.h> types and unsigned literals"},
    {"-structs", true, nullptr, "also write a struct-style device header", writeStructsFile},
};

// Names and descriptions line up in two columns.
void printUsageLine(std::FILE* out, std::string_view name, std::string_view description) {
  std::fprintf(out, "  %-25.*s%.*s\n", static_cast<int>(name.size()), name.data(), static_cast<int>(description.size()),
               description.data());
}

}  // namespace

std::span<const Option> optionTable() { return kOptions; }

const std::string* CommandLine::output(std::string_view option) const {
  for (const auto& [name, path] : outputs) {
    if (name == option) return &path;
  }
  return nullptr;
}

const Option* findOption(std::string_view word) {
  for (const Option& option : kOptions) {
    if (option.name == word) return &option;
  }
  return nullptr;
}

void printBanner(std::FILE* out) {
  std::fprintf(out, "regwright - %s register definition generator, version %s\n", product::kProductName,
               product::kFullVersion);
}

void printUsage(std::FILE* out) {
  std::fputs("\nUsage: regwright <inputfile> <outputfile> [<targetname>] [<macros>] [option]\n\n", out);
  printUsageLine(out, "<inputfile>", "memory map file name");
  printUsageLine(out, "<outputfile>", "header file name");
  printUsageLine(out, "<targetname>", "name of target");
  printUsageLine(out, "<macros>", "macro definitions");
  for (const Option& option : kOptions) printUsageLine(out, option.name, option.description);
}

}  // namespace rw

// Expansion of arbitrary text against a table built from an arbitrary
// definition list: the first line of the input is the list, the rest the text.
// The system macros join the table for every other input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "macros/macro_expansion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const rw::MacroTable system = rw::systemMacros();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::string_view definitions = input.substr(0, newline);
  const std::string_view text = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

  rw::MacroTable macros = size % 2 == 0 ? system : rw::MacroTable();
  macros.setAll(rw::macroDefinitions(definitions));
  rw::expandMacros(text, macros);
  return 0;
}

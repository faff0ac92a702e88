// Expansion of arbitrary text against a table built from an arbitrary
// definition list: the first line of the input is the list, the rest the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "environment/macros.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static rw::PropertyClassList* table = [] {
    auto* created = new rw::PropertyClassList();
    rw::setSystemMacroTable(created);
    return created;
  }();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::string_view definitions = input.substr(0, newline);
  const std::string_view text = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

  const rw::MacroMap caller = rw::parseMacroDefinitions(rw::splitDefinitionList(definitions, false));
  rw::expandMacros(*table, caller, text, false, false);
  rw::expandMacros(*table, caller, text, true, true);
  rw::expandSystemMacros(*table, text);
  return 0;
}

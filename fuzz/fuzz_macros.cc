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
  // One expansion a run, its kind chosen by the input: a text that runs away
  // costs a large part of a second, and three of them per run slowed the
  // search to a crawl.
  switch (size % 3) {
    case 0:
      rw::expandMacros(*table, caller, text, false, false);
      break;
    case 1:
      rw::expandMacros(*table, caller, text, true, true);
      break;
    default:
      rw::expandSystemMacros(*table, text);
      break;
  }
  return 0;
}

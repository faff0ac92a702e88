// The values of an element that hold a '$', expanded with a macro table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "macros/macro_expansion.h"
#include "macros/macro_table.h"
#include "xml/xml_node.h"

namespace rw {

// The expanded values as changes to make in one go. The storage is kept from
// one element to the next: a loop expands the values of millions of copies.
class ExpandedValues {
public:
  // The changes: the values the expansion changed. Adds to `grown` the bytes
  // by which they are longer than the values they replace. Valid until the
  // next call.
  std::span<const ValueChange> expand(const XMLElement& element, const MacroTable& table, uint64_t& grown);

private:
  std::vector<ValueChange> changes_;
  // The expanded values end to end, and where each ends.
  std::string values_;
  std::vector<size_t> ends_;
  std::string scratch_;
  MacroExpander expander_;
};

}  // namespace rw

// The writer of a header's definitions: one lvalue per register, masks and
// bit numbers per bit field, bit-band aliases, group bases, register offsets
// and interrupt vectors, appended to a text in document order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "expr/integer_literal.h"
#include "header/bit_field_exclusion.h"
#include "header/header_generator.h"
#include "header/name_set.h"

namespace rw {

class DefinitionWriter {
public:
  // Warnings go to standard error as they come, or, with `heldWarnings`, to
  // the end of that text, one line each.
  DefinitionWriter(std::string& out, const HeaderOptions& options, const DefinitionDrain& drain,
                   ElementCounts expected, std::string* heldWarnings = nullptr)
      : out_(out),
        drain_(drain),
        options_(options),
        prefix_(options.defPrefixString),
        exclusion_(options.excludeBitFieldPattern),
        excludedRegisters_(options.excludeBitFieldRegisters.begin(), options.excludeBitFieldRegisters.end()),
        registerNames_(expected.registers),
        bitFieldNames_(options.noBitFields ? 0 : expected.bitFields),
        heldWarnings_(heldWarnings) {}

  // The definitions of `node`, its siblings after it and what lies below the
  // containers among them, in document order.
  void walk(const XMLNode* node);

  // The walk in steps, for a caller that meets the elements itself: `element`
  // is reached in document order, and of its descendants only those below
  // containers are reached. A container's attributes must be final when it
  // is reached, anything else's subtree too.
  void reach(const MemoryMapElement& element);
  // The kinds whose children the walk goes into.
  static bool isContainer(ElementKind kind) {
    return kind == ElementKind::Root || kind == ElementKind::MemorySegment || kind == ElementKind::Processor ||
           kind == ElementKind::RegisterGroup;
  }

  const UnwritableText& problem() const { return problem_; }

private:
  void warnDuplicate(std::string_view name);
  void groupBase(const MemoryMapElement& group);
  void registerBlock(const MemoryMapElement& reg);
  // Into fields_: the bit fields from `child` on, at most `limit` of them and
  // up to the first whose name cannot be written (kept in problem_), each
  // looked up in bitFieldNames_ already. Returns the child after the last one
  // looked at.
  const XMLNode* prepareBitFields(const XMLNode* child, size_t limit);
  void bitField(const MemoryMapElement& reg, size_t index);
  void vectorLine(const MemoryMapElement& vector);
  // False, keeping the first such problem, when `text` cannot be written.
  bool writable(const MemoryMapElement& element, const char* what, std::string_view text);

  // An address, mask or value: hexadecimal, unsigned in C with -stdint.
  void appendNumber(uint32_t value) {
    appendHexLiteral(out_, value);
    if (options_.stdint) out_ += 'U';
  }

  // "#define " + the prefix + name, the start of most lines.
  void defineWithPrefix(std::string_view name) {
    out_ += "#define ";
    out_ += prefix_;
    out_ += name;
  }

  std::string& out_;
  const DefinitionDrain& drain_;
  const HeaderOptions& options_;
  const std::string& prefix_;
  const BitFieldExclusion exclusion_;
  const std::unordered_set<std::string_view> excludedRegisters_;
  // Names defined so far, one set per kind: a register and a bit field may
  // share a name, two registers may not.
  NameSet registerNames_;
  NameSet bitFieldNames_;
  std::string* const heldWarnings_;
  UnwritableText problem_;

  // Scratch buffers reused for every register and bit field, so forming a
  // name costs no allocation once they have grown.
  // The register's name, group prefix included, repaired.
  std::string registerName_;
  // Its "aka" repaired: the register's alias, empty when it has none.
  std::string registerAlias_;
  // The register's "aka" as written, if it has one.
  std::optional<std::string_view> aka_;
  // The bit field's name repaired.
  std::string fieldName_;
  // "aka" + "_" + field name, repaired as a whole: the field's alias. Never
  // empty when the register has an "aka", even an empty one.
  std::string fieldAlias_;
  // A register's bit fields, prepared before any of them is written, so that
  // the cache misses of their name lookups overlap: each field's name with
  // the register's name in front unless -noprependreg, end to end in
  // fullFieldNames_.
  struct PreparedField {
    const MemoryMapElement* field;
    size_t nameEnd;
    NameSet::Lookup lookup;
  };
  std::vector<PreparedField> fields_;
  std::string fullFieldNames_;
};


}  // namespace rw

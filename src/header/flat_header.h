// The flat header's definitions: one #define per definition of the header
// model — an lvalue per register, masks, values and bit numbers per bit
// field, bit-band aliases, group bases, register offsets and interrupt
// vectors — appended to a text in the header's order.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "expr/integer_literal.h"
#include "header/header_model.h"

namespace rw {

// Whenever the text has grown past a few hundred kilobytes it is handed to
// the drain and emptied, so a large header need not be held whole.
using DefinitionDrain = std::function<void(std::string_view)>;

class FlatHeaderWriter : public HeaderVisitor {
public:
  FlatHeaderWriter(std::string& out, const HeaderModel& model, const DefinitionDrain& drain)
      : out_(out), names_(model.names()), options_(model.options()), drain_(drain) {}

  void group(const HeaderGroup& group) override;
  void reg(const HeaderRegister& reg) override;
  void vector(const HeaderVector& vector) override;

private:
  // "#define " and the definition's name.
  void define(DefinitionKind kind, std::string_view stem) {
    out_ += "#define ";
    names_.append(out_, kind, stem);
  }
  // An address, mask or value: hexadecimal, unsigned in C with -stdint.
  void number(uint32_t value) {
    appendHexLiteral(out_, value);
    if (options_.stdint) out_ += 'U';
  }

  void writeFields(const HeaderRegister& reg);

  std::string& out_;
  const DefinitionNames& names_;
  const HeaderOptions& options_;
  const DefinitionDrain& drain_;
  // Where writeFields forms a register's lines.
  std::unique_ptr<char[]> lines_;
  size_t lineBytes_ = 0;
};

// Appends to `out` the definitions for `element`, each sibling after it and
// what the header reaches below them; `element` may be null. A name defined
// before in the same call is skipped with a warning on standard error.
// Returns the first text the header cannot hold, after which nothing more
// is written.
UnwritableText generateDefinitions(std::string& out, const MemoryMapElement* element, const HeaderOptions& options,
                                   const DefinitionDrain& drain = {}, ElementCounts expected = {});

}  // namespace rw

// The values of a loop's body, taken apart once so that each round fills
// them in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "macros/macro_table.h"
#include "xml/expanded_values.h"
#include "xml/xml_node.h"

namespace rw {

// A loop copies its body once per round and expands the loop's macros in
// every value of every copy: the same texts scanned, and the same names
// looked up, a million times. Here each value that holds a '$' is read once
// into literal runs and references to the loop's macros; a round writes the
// runs and this round's values end to end.
//
// The result is the expander's to the byte. One pass of it never reads its
// own output again unless a reference holds a '$' or runs to the end of the
// text, so a value filled in is final. Values the expander would treat
// otherwise (a reference that holds a '$' or a '(' or is not closed, a date
// or time name among the loop's macros, a value too long to bound what it
// grows to) leave their element to the expander, as does a round whose
// expanded text the run's account cannot take in one piece.
class LoopBody {
public:
  // `expanded` takes the elements this cannot fill in, and must outlive it.
  explicit LoopBody(ExpandedValues& expanded) : expanded_(expanded) {}

  // Reads the values of the element children of `loop` and of their element
  // descendants; `names` are the macros the loop's table defines, and must
  // stay unchanged while the loop is copied. The storage is kept from one
  // loop to the next: a loop nested in another runs once per outer round.
  void read(const XMLElement& loop, std::span<const std::string> names);

  // Whether a round needs names[k]'s value: some value refers to it, or
  // some element is left to the expander, which may come to ask for any.
  bool needs(size_t k) const { return needed_[k] != 0; }

  // The next round: `values[k]` is names[k]'s value in it (any value where
  // needs(k) is false). They must stay unchanged until the next call.
  void startRound(std::span<const std::string> values);

  // The changed values of `source`, the next element of the body in copy
  // order (each element, then its descendants, then its next sibling), as
  // ExpandedValues::expand gives them. A value whose references all name
  // something else and keep their text is left out. Valid until the next
  // call.
  std::span<const ValueChange> changes(const XMLElement& source, uint64_t& grown);

private:
  // A literal run of `literals_`, or the value of the loop macro `slot`.
  struct Piece {
    static constexpr size_t kLiteral = SIZE_MAX;
    size_t slot;
    size_t begin;
    size_t size;
  };
  struct Value {
    size_t index;
    size_t sourceSize;
    size_t firstPiece;
    size_t endPiece;
  };
  struct Element {
    bool filled;
    size_t firstValue;
    size_t endValue;
    // What the references of its values that name no loop macro write: the
    // reference itself or its default.
    size_t fixedBytes;
    // How often its values name each loop macro, at firstUse (one count per
    // name).
    size_t firstUse;
    // What bounds the length of its values filled in: literal runs are never
    // longer than the text they come from.
    size_t sourceBytes;
    size_t references;
  };

  bool readValue(std::string_view text, size_t index, Element& element);
  void addLiteral(std::string_view text, size_t firstPiece);
  std::span<const ValueChange> expandedByExpander(const XMLElement& source, uint64_t& grown);

  std::span<const std::string> names_;
  std::vector<Element> elements_;
  std::vector<Value> values_;
  std::vector<Piece> pieces_;
  std::vector<size_t> uses_;
  std::string literals_;
  std::vector<const XMLNode*> pending_;

  std::vector<char> needed_;

  std::span<const std::string> roundValues_;
  // The round's table for the expander, made when an element first needs it.
  MacroTable table_;
  bool tableMade_ = false;
  size_t next_ = 0;
  size_t longestRoundValue_ = 0;

  std::vector<ValueChange> changes_;
  std::vector<char> filled_;
  ExpandedValues& expanded_;
};

}  // namespace rw

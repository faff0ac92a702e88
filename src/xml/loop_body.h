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

  // What the walk does to a loop's copies when their body holds no
  // directive: it expands every value with `table`, the table of the level
  // the loop stands in, which nothing in the copies can change. A loop whose
  // values are never empty and never hold '$', '(', ')' or ':' (numbers and
  // letters), at most `longestValue` bytes long, can have that done as it
  // copies, and the walk can pass its copies by.
  struct WalkAfter {
    const MacroTable& table;
    // The tags the walk acts on, as a mask of elementtext::kWords indexes.
    uint64_t directiveWords;
    size_t longestValue;
    uint64_t rounds;
  };

  // Reads the values of the element children of `loop` and of their element
  // descendants; `names` are the macros the loop's table defines, and must
  // stay unchanged while the loop is copied. With `walkAfter`, the copies
  // come out as the walk would leave them when that can be done to the byte
  // (see copiesFinal). The storage is kept from one loop to the next: a loop
  // nested in another runs once per outer round.
  void read(const XMLElement& loop, std::span<const std::string> names, const WalkAfter* walkAfter = nullptr);

  // Whether the copies come out as the walk would leave them. Then what the
  // walk's expansions would have written is charged to the run's account with
  // chargeWalk once the copies stand; the account can take it, and the
  // rounds' own expansions before it, whatever the rounds' values.
  bool copiesFinal() const { return final_; }
  void chargeWalk() const;

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
    // The literal bytes of the loop's own expansion less those filled in:
    // the walk's expansion (when done here) may lengthen or shorten them.
    ptrdiff_t firstPassExtra;
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
    // What bounds the length of its values filled in.
    size_t literalBytes;
    size_t references;
  };

  bool readBody(const XMLElement& loop, const WalkAfter* walkAfter);
  bool readValue(std::string_view text, size_t index, Element& element, const WalkAfter* walkAfter);
  bool readWalkExpansion(size_t firstPiece, size_t literalsSize, const MacroTable& table, size_t& written);
  void addLiteral(std::string_view text, size_t firstPiece);
  std::span<const ValueChange> expandedByExpander(const XMLElement& source, uint64_t& grown);

  std::span<const std::string> names_;
  std::vector<Element> elements_;
  std::vector<Value> values_;
  std::vector<Piece> pieces_;
  std::vector<size_t> uses_;
  std::string literals_;
  std::vector<const XMLNode*> pending_;
  bool final_ = false;
  // What the walk's expansions write per round, when copiesFinal.
  uint64_t walkBytes_ = 0;
  uint64_t rounds_ = 0;
  // The loop's own expansion of one value, with a stand-in byte for each
  // loop macro, and where those stand.
  std::string firstPass_;
  std::vector<size_t> slotPositions_;
  std::vector<size_t> slotNames_;

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

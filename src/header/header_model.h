// What the header defines, decided in one place: which elements of a loaded
// map the header reaches and in what order, and for each of them the
// definitions it gets — their kinds, names and values — under the naming and
// exclusion options. Every writer that shows definitions (the flat header,
// the checks, the web page, the SVD writer) reads them from here and never
// walks the map or forms a name itself.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "header/bit_field_exclusion.h"
#include "header/header_options.h"
#include "header/name_set.h"
#include "memorymap/memory_map_element.h"
#include "memorymap/placement.h"

namespace rw {

// The kinds of #define the header writes.
enum class DefinitionKind : uint8_t {
  GroupBase,
  Register,
  RegisterAlias,
  RegisterOffset,
  AliasOffset,
  Mask,
  AliasMask,
  Value,
  AliasValue,
  BitBandAddress,
  BitBand,
  Bit,
  AliasBit,
  Vector,
};

bool isFieldDefinition(DefinitionKind kind);
// Whether the definition names another one (an "aka" alias) instead of
// giving a value of its own.
bool isAliasDefinition(DefinitionKind kind);

// What the name of a definition of this kind puts after its stem. Inline:
// where the kind is known, as in the header's writers, the choice folds away.
inline std::string_view definitionSuffix(DefinitionKind kind, const HeaderOptions& options) {
  switch (kind) {
    case DefinitionKind::GroupBase: return options.regBaseString;
    case DefinitionKind::Register: return options.regString;
    case DefinitionKind::RegisterOffset:
    case DefinitionKind::AliasOffset: return options.regOffsetString;
    case DefinitionKind::Mask:
    case DefinitionKind::AliasMask: return "_MASK";
    case DefinitionKind::BitBandAddress: return "_BITBAND_ADDRESS";
    case DefinitionKind::BitBand: return "_BITBAND";
    case DefinitionKind::Bit:
    case DefinitionKind::AliasBit: return "_BIT";
    default: return {};
  }
}

// Where a reached element lies. A memory segment may only group what it
// holds (no start, or no size): the page still files registers under the
// nearest segment, since that is where a reader looks for them, but only a
// segment with a start and a size bounds where they may lie, so `bounds` is
// the nearest of those, further out if need be.
struct Surroundings {
  const MemoryMapElement* segment = nullptr;
  const MemoryMapElement* bounds = nullptr;
};

struct HeaderGroup {
  const MemoryMapElement* element;
  Surroundings where;
  // -regbaseoffs and a start: the header defines the group's base.
  bool definesBase;
  // The base's stem: the group's name as written, never repaired.
  std::string_view name;
};

// Whether `element` is a bit field the header gives definitions: one with
// a width, for a field of width 0 defines nothing.
inline bool isDefinedField(const MemoryMapElement* element) {
  return element != nullptr && element->kind() == ElementKind::BitField && element->size() != 0;
}

// A bit field with a width (fields of width 0 define nothing and are not
// listed), whether or not the options leave it out of the header.
struct HeaderField {
  const MemoryMapElement* element;
  std::string_view plainName;
  uint32_t start;
  uint32_t size;
  // The _MASK value: a start of 32 or more shifts modulo 32.
  uint32_t mask;
  // The value of a single-bit field: the bit number with
  // -singlebitfieldnames, else the mask.
  uint32_t value;
  // Where the bit's bit-band alias lies, when its register has one.
  uint32_t bitBandAddress;
  // The options leave it in (-nobitfields, -excludebitfield and
  // -excludebitfield2 leave fields out).
  bool written;
  // Written, and its name was not defined before: its lines are in the header.
  bool defined;
  // The stems of its definitions, without prefix and suffix: REG_FIELD (the
  // register's name left out with -noprependreg) and the alias through the
  // register's "aka". Empty unless written; the alias is empty without "aka".
  std::string_view name;
  std::string_view alias;

  bool singleBit() const { return size == 1; }
};

struct HeaderRegister {
  const MemoryMapElement* element;
  // The parent, whose name may go in front of the register's; may be null.
  const MemoryMapElement* group;
  Surroundings where;
  std::string_view plainName;
  // Stems: the register's name (group prefix, repair) and its alias through
  // "aka", empty when there is none.
  std::string_view name;
  std::string_view alias;
  std::optional<std::string_view> aka;
  // Its name was not defined before: its own lines are in the header.
  bool defined;
  uint32_t address;
  // The width the header's type gives it: 1, 2 or 4 bytes, or 0 for the
  // plain "unsigned" of any other size or none.
  uint32_t bytes;
  // Its offset in its group, when the group has a start.
  bool hasOffset;
  uint32_t offset;
  // -regbaseoffs and an offset: the header defines the offset.
  bool definesOffset;
  // Its single bits get bit-band aliases.
  bool bitBand;
  // Whether the options leave its fields in the header at all.
  bool writesFields;
  std::span<const HeaderField> fields;
};

struct HeaderVector {
  const MemoryMapElement* element;
  Surroundings where;
  // Both as the map spells them: no prefix, no repair.
  std::string_view name;
  std::string_view number;
};

// Told of each element the header reaches, in the header's order. The
// records' views are valid during the call only.
class HeaderVisitor {
public:
  virtual ~HeaderVisitor() = default;
  virtual void group(const HeaderGroup& /*group*/) {}
  virtual void reg(const HeaderRegister& /*reg*/) {}
  virtual void vector(const HeaderVector& /*vector*/) {}
};

// A register's own definitions in the header's order, each as (kind,
// stem): the register, its alias, its offset and the alias's offset.
template <typename Visit>
void forEachRegisterDefinition(std::string_view name, std::string_view alias, bool definesOffset, Visit&& visit) {
  visit(DefinitionKind::Register, name);
  if (!alias.empty()) visit(DefinitionKind::RegisterAlias, alias);
  if (definesOffset) {
    visit(DefinitionKind::RegisterOffset, name);
    if (!alias.empty()) visit(DefinitionKind::AliasOffset, alias);
  }
}
template <typename Visit>
void forEachRegisterDefinition(const HeaderRegister& reg, Visit&& visit) {
  forEachRegisterDefinition(reg.name, reg.alias, reg.definesOffset, visit);
}

// A field's definitions in the header's order, each as (kind, stem): the
// mask; for a single bit its value and, in the bit-band window, the alias
// address and lvalue; the bit number; each followed by its "aka" alias
// (the bit-band pair has none).
template <typename Visit>
void forEachFieldDefinition(std::string_view name, std::string_view alias, bool singleBit, bool bitBand,
                            Visit&& visit) {
  const bool hasAlias = !alias.empty();
  visit(DefinitionKind::Mask, name);
  if (hasAlias) visit(DefinitionKind::AliasMask, alias);
  if (singleBit) {
    visit(DefinitionKind::Value, name);
    if (hasAlias) visit(DefinitionKind::AliasValue, alias);
    if (bitBand) {
      visit(DefinitionKind::BitBandAddress, name);
      visit(DefinitionKind::BitBand, name);
    }
  }
  visit(DefinitionKind::Bit, name);
  if (hasAlias) visit(DefinitionKind::AliasBit, alias);
}

// The kind an alias definition stands for: the alias of a mask names the
// mask, and so on.
DefinitionKind aliasedKind(DefinitionKind alias);

// A name or vector number the header cannot hold: a line break or a NUL
// byte would end its #define early and let the rest write lines of its own.
struct UnwritableText {
  const MemoryMapElement* element = nullptr;  // null when there is none
  const char* what = "";                      // "name", "aka" or "number"
  std::string text;
};

// Whether `text` may stand in a line of the header: no line feed, carriage
// return (a line end to C compilers too) or NUL byte.
bool fitsOnOneLine(std::string_view text);

// Which elements the header reaches, for elements met in document order as
// a reader makes them: the root, memory segments, processors and register
// groups are entered; groups are reached as they open (their base comes
// before what they hold), registers and vectors as they close (complete);
// anything else, and whatever it holds, is passed over.
class HeaderOrder {
public:
  struct Reached {
    const MemoryMapElement* element;
    Surroundings where;
  };
  // Each returns true, with `reached` filled in, when the element is reached
  // at that point. Inline: the reader calls them for every element.
  bool opened(const MemoryMapElement& element, Reached& reached) {
    const bool isReached = open_.empty() || (open_.back() & kEntered) != 0;
    const ElementKind kind = element.kind();
    uint8_t state = isReached ? kReached : 0;
    if (isReached && isContainer(kind)) state |= kEntered;
    if (kind == ElementKind::MemorySegment) {
      state |= kSegment;
      enterSegment(element);
    }
    open_.push_back(state);
    if (!isReached || kind != ElementKind::RegisterGroup) return false;
    reached = {&element, inside()};
    return true;
  }
  bool closed(const MemoryMapElement& element, Reached& reached) {
    const uint8_t state = open_.back();
    open_.pop_back();
    if ((state & kSegment) != 0) segments_.pop_back();
    const ElementKind kind = element.kind();
    if ((state & kReached) == 0 || (kind != ElementKind::Register && kind != ElementKind::Vector)) return false;
    reached = {&element, inside()};
    return true;
  }
  // Whether the children of the element opened last are looked at.
  bool entersLastOpened() const { return !open_.empty() && (open_.back() & kEntered) != 0; }

  // The kinds whose children the header looks at.
  static bool isContainer(ElementKind kind) {
    return kind == ElementKind::Root || kind == ElementKind::MemorySegment || kind == ElementKind::Processor ||
           kind == ElementKind::RegisterGroup;
  }

private:
  Surroundings inside() const { return segments_.empty() ? Surroundings{} : segments_.back(); }
  void enterSegment(const MemoryMapElement& segment);

  // Per open element: whether it is reached, whether its children are
  // looked at, and whether it is a memory segment, which changes what its
  // children are inside of (kept apart, as few elements are segments).
  enum : uint8_t { kReached = 1, kEntered = 2, kSegment = 4 };
  std::vector<uint8_t> open_;
  std::vector<Surroundings> segments_;
};

// The header's order over the elements from `first` and its following
// siblings on: `reach` is called with each element reached, and the walk
// stops once it returns false. Iterative: the depth of the tree is not
// limited by the stack. The model walks with it; a writer that needs the
// reached elements but no definition names may too, without forming names.
template <typename Reach>
void walkInHeaderOrder(const MemoryMapElement* first, Reach&& reach) {
  HeaderOrder order;
  HeaderOrder::Reached reached;
  // The elements whose children are being walked, and the sibling to go on
  // with after each of them.
  std::vector<const MemoryMapElement*> entered;
  std::vector<const XMLNode*> after;
  const XMLNode* node = first;
  for (;;) {
    if (node == nullptr) {
      if (entered.empty()) return;
      if (order.closed(*entered.back(), reached) && !reach(reached)) return;
      entered.pop_back();
      node = after.back();
      after.pop_back();
      continue;
    }
    // A CDATA section is passed over.
    const MemoryMapElement* element = asMemoryMapElement(node);
    if (element == nullptr) {
      node = node->nextSibling;
      continue;
    }
    if (order.opened(*element, reached) && !reach(reached)) return;
    if (order.entersLastOpened() && element->firstChild != nullptr) {
      entered.push_back(element);
      after.push_back(node->nextSibling);
      node = element->firstChild;
    } else {
      if (order.closed(*element, reached) && !reach(reached)) return;
      node = node->nextSibling;
    }
  }
}

// How definitions are named: the prefix, the stem and the kind's suffix.
// Only the options decide, so any writer may hold one.
class DefinitionNames {
public:
  explicit DefinitionNames(const HeaderOptions& options) : options_(options) {}

  // Appends a definition's full name; vectors are defined as the map spells
  // them, without the prefix.
  void append(std::string& out, DefinitionKind kind, std::string_view stem) const {
    if (kind != DefinitionKind::Vector) out += options_.defPrefixString;
    out += stem;
    out += definitionSuffix(kind, options_);
  }
  std::string name(DefinitionKind kind, std::string_view stem) const;
  // The name of the definition of `element` (a group, register, field or
  // vector) of this kind, formed on its own.
  std::string nameOf(DefinitionKind kind, const MemoryMapElement& element) const;
  // A register's stem, formed on its own.
  std::string registerName(const MemoryMapElement& reg) const;
  // A field's own name as the header repairs it, without its register's.
  std::string fieldOwnName(std::string_view plainName) const;
  // The stems a field of this plain name gets in a register of this stem
  // and "aka".
  std::string fieldName(std::string_view registerStem, std::string_view plainName) const;
  std::string fieldAlias(std::optional<std::string_view> aka, std::string_view plainName) const;

  const HeaderOptions& options() const { return options_; }

private:
  const HeaderOptions& options_;
};

class HeaderModel {
public:
  using WarningSink = std::function<void(const std::string& line)>;

  // With `warn`, each name defined twice gives the header's warning line
  // there; without, repeats are only marked in the records. `expected` sizes
  // the name sets at once (see MemoryMap::elementCounts).
  explicit HeaderModel(const HeaderOptions& options, WarningSink warn = {}, ElementCounts expected = {});

  // Tells `visitors` of every element the header reaches from `first` and
  // its following siblings on, in order. Iterative: the depth of the tree is
  // not limited by the stack.
  void walk(const MemoryMapElement* first, std::span<HeaderVisitor* const> visitors);
  void walk(const MemoryMapElement* first, HeaderVisitor& visitor) {
    HeaderVisitor* const one[] = {&visitor};
    walk(first, one);
  }
  // The same for one element a HeaderOrder reached, for a caller that meets
  // the elements itself.
  void reach(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors);

  // The first text the header cannot hold. Nothing after it is reached: the
  // header cannot be written, and what follows would only be noise.
  const UnwritableText& problem() const { return problem_; }

  const HeaderOptions& options() const { return options_; }
  const DefinitionNames& names() const { return names_; }

private:
  void group(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors);
  void reg(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors);
  void vector(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors);
  // Into fields_: the fields from `child` on, at most `limit` written ones,
  // stopping at the first name that cannot be written; each written one
  // looked up in fieldNames_ already. Returns the child after the last one
  // looked at.
  const XMLNode* prepareFields(const XMLNode* child, size_t limit);
  void defineFields(size_t from);
  void warnDuplicate(std::string_view name);
  // False, keeping the first such problem, when `text` cannot be written.
  bool writable(const MemoryMapElement& element, const char* what, std::string_view text);

  const HeaderOptions& options_;
  const DefinitionNames names_;
  const WarningSink warn_;
  const BitFieldExclusion exclusion_;
  const std::unordered_set<std::string_view> excludedRegisters_;
  // Names defined so far, one set per kind: a register and a bit field may
  // share a name, two registers may not.
  NameSet registerNames_;
  NameSet fieldNames_;
  UnwritableText problem_;

  // Scratch kept from register to register, so forming names costs no
  // allocation once they have grown.
  std::string registerName_;
  std::string registerAlias_;
  std::string ownName_;
  std::string aliasScratch_;
  // What prepareFields needs of the register at hand.
  std::optional<std::string_view> aka_;
  // Registers come group by group: whether the last group met has a start,
  // and what it puts in front of its registers' names.
  const MemoryMapElement* lastGroup_ = nullptr;
  bool lastGroupHasStart_ = false;
  std::string groupPrefix_;
  bool writesFields_ = false;
  bool bitBand_ = false;
  uint32_t address_ = 0;
  std::vector<HeaderField> fields_;
  // Per written field of fields_, its name's lookup; the names end to end in
  // fieldNames_, the aliases in fieldAliases_, each record's views set once
  // the buffers stopped moving.
  struct Pending {
    size_t field;
    size_t nameBegin;
    size_t nameLength;
    size_t aliasBegin;
    size_t aliasLength;
    NameSet::Lookup lookup;
  };
  std::vector<Pending> pending_;
  std::string fieldNamesText_;
  std::string fieldAliasesText_;
};

// Every definition the header writes for the map from `first` on, in its
// order, with the element it is written for and its full name.
using DefinitionVisit = std::function<void(DefinitionKind kind, const MemoryMapElement& element, std::string_view name)>;
void forEachDefinition(const MemoryMapElement* first, const HeaderOptions& options, const DefinitionVisit& visit);

}  // namespace rw

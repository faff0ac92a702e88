// Macro names that two definitions of the header would both define: a
// redefinition that a C compiler rejects or warns about, or (for a group's
// base, which the header guards with #ifndef) a value silently lost.
//
// A large map has a few hundred thousand definitions besides its bit
// fields' and millions with them. Names of the first sort all go into one
// table. Bit-field lines are only screened: a clash involving one needs a
// table entry with its name (for a mask, bit or bit-band line: a table name
// that ends like one), a single-bit field whose name ends like another
// field's line, or a register alias (whose fields get alias lines). Only a
// map where the screen finds one of those is gone through again with every
// line in the table.
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "formats/check_context.h"
#include "formats/header_definitions.h"
#include "header/definition_names.h"

namespace rw::checks {

namespace {

// FNV-1a over the bytes of a name, which may come in pieces.
class NameHash {
public:
  NameHash& add(std::string_view text) {
    for (const char c : text) {
      state_ ^= static_cast<unsigned char>(c);
      state_ *= 0x100000001B3u;
    }
    return *this;
  }
  uint64_t value() const { return state_; }

private:
  uint64_t state_ = 0xCBF29CE484222325u;
};

uint64_t hashOf(std::string_view name) { return NameHash().add(name).value(); }

bool endsLikeAFieldLine(std::string_view name) {
  return name.ends_with("_MASK") || name.ends_with("_BIT") || name.ends_with("_BITBAND") ||
         name.ends_with("_BITBAND_ADDRESS");
}

// Definitions by the hash of their name. The names themselves are formed
// again only to confirm an equal hash.
class DefinitionTable {
public:
  DefinitionTable() : slots_(1024) {}

  // Whether some definition's name has this hash.
  bool mayHold(uint64_t hash) const {
    for (size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
      if (slots_[at].index == 0) return false;
      if (slots_[at].hash == hash) return true;
    }
  }

  // What the table holds of one name: the definition added first, and
  // whether a register line is among them.
  struct Found {
    std::optional<Definition> first;
    bool registerLine = false;
  };
  Found find(uint64_t hash, std::string_view name, const HeaderDefinitions& names) const {
    Found found;
    uint32_t first = UINT32_MAX;
    for (size_t at = hash & (slots_.size() - 1); slots_[at].index != 0; at = (at + 1) & (slots_.size() - 1)) {
      const Slot& slot = slots_[at];
      if (slot.hash != hash) continue;
      const Definition& definition = definitions_[slot.index - 1];
      if (names.name(definition) != name) continue;
      first = std::min(first, slot.index - 1);
      found.registerLine = found.registerLine || definition.line == Line::Register;
    }
    if (first != UINT32_MAX) found.first = definitions_[first];
    return found;
  }

  void add(uint64_t hash, const Definition& definition) {
    if (2 * (definitions_.size() + 1) > slots_.size()) grow();
    definitions_.push_back(definition);
    place(Slot{hash, static_cast<uint32_t>(definitions_.size())});
  }

private:
  struct Slot {
    uint64_t hash = 0;
    uint32_t index = 0;  // into definitions_, plus one; 0 marks a free slot
  };

  void place(const Slot& slot) {
    size_t at = slot.hash & (slots_.size() - 1);
    while (slots_[at].index != 0) at = (at + 1) & (slots_.size() - 1);
    slots_[at] = slot;
  }
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.index != 0) place(slot);
    }
  }

  std::vector<Slot> slots_;
  std::vector<Definition> definitions_;
};

class NameClashCheck : public Check {
public:
  NameClashCheck(const MemoryMapElement& root, const HeaderDefinitions& definitions, const HeaderOptions& options,
                 Findings& findings)
      : root_(root), definitions_(definitions), options_(options), findings_(findings) {}

  void group(const MemoryMapElement& group) override {
    if (options_.regBaseOffs && group.hasStart()) {
      define({&group, Line::GroupBase}, prefixed(group.name().value_or(std::string_view()), options_.regBaseString));
    }
  }

  void vector(const MemoryMapElement& vector) override {
    define({&vector, Line::Vector}, vector.name().value_or(std::string_view()));
  }

  // The register's own lines as HeaderDefinitions::forEach writes them;
  // its fields only screened.
  void reg(const CheckedRegister& reg) override {
    // A register name met before defines nothing again: the generator
    // warns about it instead.
    if (define({reg.element, Line::Register}, prefixed(reg.headerName, options_.regString))) {
      registerAlias(alias_, reg.aka, options_);
      if (!alias_.empty()) define({reg.element, Line::RegisterAlias}, prefixed(alias_, ""));
      if (options_.regBaseOffs && reg.group != nullptr && reg.group->hasStart()) {
        define({reg.element, Line::RegisterOffset}, prefixed(reg.headerName, options_.regOffsetString));
        if (!alias_.empty()) define({reg.element, Line::AliasOffset}, prefixed(alias_, options_.regOffsetString));
      }
    }
    if (suspect_ || reg.fields.empty() || !definitions_.writesBitFieldsOf(*reg.element)) return;
    hasBitFields_ = true;
    if (reg.aka) {
      suspect_ = true;
      return;
    }
    for (const CheckedField& field : reg.fields) {
      if (field.size != 1) continue;
      bitFieldName(stem_, reg.headerName, field.name, options_);
      if (endsLikeAFieldLine(stem_)) {
        suspect_ = true;
        return;
      }
      values_.push_back(hashOf(prefixed(stem_, "")));
    }
  }

  void finish() override {
    for (const uint64_t value : values_) suspect_ = suspect_ || table_.mayHold(value);
    if (!suspect_ && hasBitFields_ && (tableEnds_.mask || tableEnds_.bit || tableEnds_.bitBand)) {
      suspect_ = suffixedLinesMayClash();
    }
    if (suspect_) {
      // The thorough pass finds everything the first one did, and more.
      table_ = DefinitionTable();
      pending_.clear();
      reported_.clear();
      definitions_.forEach(root_, true, [&](const Definition& definition, std::string_view name) {
        define(definition, name);
      });
    }
    for (auto& [element, message] : pending_) findings_.add(*element, "name-clash", std::move(message));
  }

private:
  // The prefix, `stem` and `end`, in a buffer kept from name to name.
  std::string_view prefixed(std::string_view stem, std::string_view end) {
    name_.assign(options_.defPrefixString);
    name_ += stem;
    name_ += end;
    return name_;
  }

  // False for a register line whose name a register defined before. A
  // register's name joins the table even when it clashes, for that test.
  bool define(const Definition& definition, std::string_view name) {
    tableEnds_.mask |= name.ends_with("_MASK");
    tableEnds_.bit |= name.ends_with("_BIT");
    tableEnds_.bitBand |= name.ends_with("_BITBAND") || name.ends_with("_BITBAND_ADDRESS");
    const uint64_t hash = hashOf(name);
    const DefinitionTable::Found found = table_.find(hash, name, definitions_);
    if (!found.first) {
      table_.add(hash, definition);
      return true;
    }
    if (definition.line == Line::Register) {
      if (found.registerLine) return false;
      table_.add(hash, definition);
    }
    // A line without a name is broken on its own: the identifier check
    // says so.
    if (!name.empty()) report(definition, *found.first, name);
    return true;
  }

  // Whether a mask, bit or bit-band line of some field might define a name
  // of the table. Only maps with names in the table that end like such a
  // line come here, and they go through the map once more.
  bool suffixedLinesMayClash() const {
    CheckedRegister reg;
    std::string stem;
    bool suspect = false;
    walkHeader(&root_, [&](const MemoryMapElement& element, const MemoryMapElement* segment) {
      if (suspect || element.kind() != ElementKind::Register || !definitions_.writesBitFieldsOf(element)) return;
      readRegister(reg, element, segment, options_);
      const bool bitBand = definitions_.hasBitBand(element);
      for (const CheckedField& field : reg.fields) {
        bitFieldName(stem, reg.headerName, field.name, options_);
        NameHash start;
        start.add(options_.defPrefixString).add(stem);
        auto held = [&](std::string_view end) { return table_.mayHold(NameHash(start).add(end).value()); };
        suspect = suspect || (tableEnds_.mask && held("_MASK")) || (tableEnds_.bit && held("_BIT")) ||
                  (tableEnds_.bitBand && field.size == 1 && bitBand &&
                   (held("_BITBAND") || held("_BITBAND_ADDRESS")));
      }
    });
    return suspect;
  }

  // Same-kind repeats that mean no harm: a group base written twice with
  // one value, the same vector twice (the vector check reports its number).
  static bool harmless(const Definition& later, const Definition& first) {
    if (later.line != first.line) return false;
    if (later.line == Line::GroupBase) return later.element->start() == first.element->start();
    if (later.line == Line::Vector) return later.element->startText() == first.element->startText();
    return false;
  }

  // One finding per pair of elements (a register and its alias clash in
  // their offsets too), and none for bit fields whose registers clash
  // already (two registers with one alias clash in every field alias).
  void report(const Definition& later, const Definition& first, std::string_view name) {
    if (harmless(later, first)) return;
    if (!reported_.insert(pairOf(later.element, first.element)).second) return;
    if (isBitFieldLine(later.line) && isBitFieldLine(first.line) &&
        reported_.contains(pairOf(later.element->parent, first.element->parent))) {
      return;
    }
    pending_.emplace_back(later.element, definitions_.describe(later) + " defines " + std::string(name) +
                                             ", which " + definitions_.describe(first) + " (" +
                                             findings_.where(*first.element) + ") defines too");
  }

  static std::pair<const void*, const void*> pairOf(const void* a, const void* b) {
    return a < b ? std::pair(a, b) : std::pair(b, a);
  }

  const MemoryMapElement& root_;
  const HeaderDefinitions& definitions_;
  const HeaderOptions& options_;
  Findings& findings_;
  DefinitionTable table_;
  // Which bit-field line ends some name in the table has: a line with
  // another end cannot define that name.
  struct {
    bool mask = false;
    bool bit = false;
    bool bitBand = false;
  } tableEnds_;
  bool hasBitFields_ = false;
  // Whether a bit-field line may clash: the thorough pass decides.
  bool suspect_ = false;
  // The hashes of the value lines of single-bit fields, to look up once
  // the table is complete.
  std::vector<uint64_t> values_;
  std::set<std::pair<const void*, const void*>> reported_;
  std::vector<std::pair<const MemoryMapElement*, std::string>> pending_;
  std::string alias_;
  std::string stem_;
  std::string name_;
};

}  // namespace

std::unique_ptr<Check> nameClashCheck(const MemoryMapElement& root, const HeaderDefinitions& definitions,
                                      const HeaderOptions& options, Findings& findings) {
  return std::make_unique<NameClashCheck>(root, definitions, options, findings);
}

}  // namespace rw::checks

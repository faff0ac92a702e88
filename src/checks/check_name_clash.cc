// Macro names that two definitions of the header would both define: a
// redefinition that a C compiler rejects or warns about, or (for a group's
// base, which the header guards with #ifndef) a value silently lost.
//
// A large map has a few hundred thousand definitions besides its bit
// fields' and millions with them. Names of the first sort all go into one
// table; bit-field lines are only screened, as they pass, for the names
// they might share:
//  - a value line with a name in the table (looked up once the table is
//    complete);
//  - a mask, bit or bit-band line with a name in the table: that name ends
//    like the line, and the field's name is the rest of it;
//  - a value line whose name ends like another field's line;
//  - alias lines: with a name in the table, with another alias's, or with
//    a field's of the same name.
// Should the screen find any, the map is gone through once more with the
// lines of those names in the table as well, in the header's order and by
// its rules for repeated names, which decides.
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "checks/check_context.h"

namespace rw::checks {

namespace {

// One definition of the header: its kind and the element it is written for.
struct Definition {
  const MemoryMapElement* element;
  DefinitionKind kind;
};

// FNV-1a over the bytes of a name, which may come in pieces: the hash of
// a name goes on into the hash of a longer one.
class NameHash {
public:
  NameHash() = default;
  explicit NameHash(uint64_t hash) : state_(hash) {}
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

// What bit-field lines put after the field's name (a value line puts
// nothing). None of them ends another.
constexpr std::string_view kFieldLineEnds[] = {"_MASK", "_BIT", "_BITBAND", "_BITBAND_ADDRESS"};

// Hashes of names: the screen keeps no names, only their hashes.
using HashSet = std::unordered_set<uint64_t>;

// Definitions by the hash of their name. The names themselves are formed
// again only to confirm an equal hash.
class DefinitionTable {
public:
  // Whether some definition's name has this hash.
  bool mayHold(uint64_t hash) const { return byHash_.contains(hash); }

  // What the table holds of one name: the definition added first, and
  // whether a register line is among them.
  struct Found {
    std::optional<Definition> first;
    bool registerLine = false;
  };
  Found find(uint64_t hash, std::string_view name, const DefinitionNames& names) const {
    Found found;
    size_t first = SIZE_MAX;
    const auto [begin, end] = byHash_.equal_range(hash);
    for (auto at = begin; at != end; ++at) {
      const Definition& definition = definitions_[at->second];
      if (names.nameOf(definition.kind, *definition.element) != name) continue;
      first = std::min(first, at->second);
      found.registerLine = found.registerLine || definition.kind == DefinitionKind::Register;
    }
    if (first != SIZE_MAX) found.first = definitions_[first];
    return found;
  }

  void add(uint64_t hash, const Definition& definition) {
    byHash_.emplace(hash, definitions_.size());
    definitions_.push_back(definition);
  }

private:
  std::unordered_multimap<uint64_t, size_t> byHash_;
  std::vector<Definition> definitions_;
};

class NameClashCheck : public Check {
public:
  NameClashCheck(const MemoryMap& map, const DefinitionNames& names, Findings& findings)
      : map_(map), names_(names), options_(names.options()), findings_(findings) {}

  void group(const HeaderGroup& group) override {
    if (group.definesBase) define({group.element, DefinitionKind::GroupBase}, named(DefinitionKind::GroupBase, group.name));
  }

  void vector(const HeaderVector& vector) override {
    define({vector.element, DefinitionKind::Vector}, named(DefinitionKind::Vector, vector.name));
  }

  // The register's own lines go into the table; its fields' are only
  // screened.
  void reg(const HeaderRegister& reg) override {
    // A register name met before defines nothing again: the generator
    // warns about it instead.
    if (define({reg.element, DefinitionKind::Register}, named(DefinitionKind::Register, reg.name))) {
      forEachRegisterDefinition(reg, [&](DefinitionKind kind, std::string_view stem) {
        if (kind != DefinitionKind::Register) define({reg.element, kind}, named(kind, stem));
      });
    }
    for (const HeaderField& field : reg.fields) {
      if (!field.defined) continue;
      if (field.singleBit()) values_.push_back(screenValue(named(DefinitionKind::Value, field.name)));
      if (!field.alias.empty()) {
        const uint64_t hash = hashOf(named(DefinitionKind::AliasValue, field.alias));
        aliases_.push_back(hash);
        aliasLines_.push_back(NameHash(hash).add("_MASK").value());
        aliasLines_.push_back(NameHash(hash).add("_BIT").value());
        if (field.singleBit()) aliasLines_.push_back(screenValue(named(DefinitionKind::AliasValue, field.alias)));
      }
    }
  }

  void finish() override {
    for (const std::vector<uint64_t>* lines : {&values_, &aliasLines_}) {
      for (const uint64_t line : *lines) {
        if (table_.mayHold(line)) clashing_.insert(line);
      }
    }
    if (!lineEnded_.empty() || !aliases_.empty()) screenStems();
    if (clashing_.empty()) {
      flush();
      return;
    }
    table_ = DefinitionTable();
    pending_.clear();
    reported_.clear();
    forEachDefinition(map_.rootElement(), options_,
                      [&](DefinitionKind kind, const MemoryMapElement& element, std::string_view name) {
                        if (!isFieldDefinition(kind) || clashing_.contains(hashOf(name))) define({&element, kind}, name);
                      });
    flush();
  }

private:
  // A definition's name, in a buffer kept from name to name.
  std::string_view named(DefinitionKind kind, std::string_view stem) {
    name_.clear();
    names_.append(name_, kind, stem);
    return name_;
  }

  // The hash of a value line, whose name, when it ends like a bit-field
  // line, may be that line of the field named by the rest.
  uint64_t screenValue(std::string_view name) {
    const uint64_t hash = hashOf(name);
    for (const std::string_view end : kFieldLineEnds) {
      if (name.ends_with(end)) clashing_.insert(hash);
    }
    return hash;
  }

  // Every line a field or field alias of this name (prefix included) has,
  // as a name that may clash.
  void mayClash(uint64_t stem) {
    clashing_.insert(stem);
    for (const std::string_view end : kFieldLineEnds) clashing_.insert(NameHash(stem).add(end).value());
  }

  // False for a register line whose name a register defined before. A
  // register's name joins the table even when it clashes, for that test.
  bool define(const Definition& definition, std::string_view name) {
    for (const std::string_view end : kFieldLineEnds) {
      if (name.ends_with(end)) lineEnded_.emplace(name.substr(0, name.size() - end.size()));
    }
    const uint64_t hash = hashOf(name);
    const DefinitionTable::Found found = table_.find(hash, name, names_);
    if (!found.first) {
      table_.add(hash, definition);
      return true;
    }
    if (definition.kind == DefinitionKind::Register) {
      if (found.registerLine) return false;
      table_.add(hash, definition);
    }
    // A line without a name is broken on its own: the identifier check
    // says so.
    if (!name.empty()) report(definition, *found.first, name);
    return true;
  }

  // Names of fields and field aliases (prefix included) that lines of
  // other definitions may share: a table name that ends like a bit-field
  // line without that end, and every alias. An alias named twice clashes;
  // for the rest, a field of that name is looked for. Its name is its
  // register's, "_" and its own, so without -noprependreg and aliases it
  // is enough to look up registers of the right names; else the fields
  // are gone through once more.
  void screenStems() {
    std::vector<uint64_t> aliases = aliases_;
    std::sort(aliases.begin(), aliases.end());
    for (auto twin = std::adjacent_find(aliases.begin(), aliases.end()); twin != aliases.end();
         twin = std::adjacent_find(twin + 1, aliases.end())) {
      mayClash(*twin);
    }
    if (aliases_.empty() && !options_.noPrependReg) {
      for (const std::string& stem : lineEnded_) {
        if (fieldOfRegisterMayBeNamed(stem)) mayClash(hashOf(stem));
      }
      return;
    }
    HashSet named;
    for (const uint64_t alias : aliases) named.insert(alias);
    for (const std::string& stem : lineEnded_) named.insert(hashOf(stem));
    class FieldNames : public HeaderVisitor {
    public:
      FieldNames(NameClashCheck& check, const HashSet& named) : check_(check), named_(named) {}
      void reg(const HeaderRegister& reg) override {
        for (const HeaderField& field : reg.fields) {
          if (!field.defined) continue;
          const uint64_t stem = hashOf(check_.named(DefinitionKind::Value, field.name));
          if (named_.contains(stem)) check_.mayClash(stem);
        }
      }

    private:
      NameClashCheck& check_;
      const HashSet& named_;
    } fieldNames(*this, named);
    HeaderModel(options_).walk(map_.rootElement(), fieldNames);
  }

  // Whether a register's name, with "_" and a field's, may give `stem`.
  // The register lines of every name before an "_" are looked up by a hash
  // that runs along the stem once, so a name of many underscores costs no
  // more than its length.
  bool fieldOfRegisterMayBeNamed(std::string_view stem) const {
    const std::string& prefix = options_.defPrefixString;
    if (!stem.starts_with(prefix)) return false;
    const std::string_view name = stem.substr(prefix.size());
    NameHash before;
    before.add(prefix);
    size_t hashed = 0;
    for (size_t end = name.find('_'); end != std::string_view::npos; end = name.find('_', end + 1)) {
      before.add(name.substr(hashed, end - hashed));
      hashed = end;
      const uint64_t hash = NameHash(before).add(options_.regString).value();
      if (!table_.mayHold(hash)) continue;
      const std::string line = prefix + std::string(name.substr(0, end)) + options_.regString;
      if (table_.find(hash, line, names_).registerLine) return true;
    }
    return false;
  }

  void flush() {
    for (auto& [element, message] : pending_) findings_.add(*element, "name-clash", std::move(message));
  }

  // Same-kind repeats that mean no harm: a group base written twice with
  // one value, the same vector twice (the vector check reports its number).
  static bool harmless(const Definition& later, const Definition& first) {
    if (later.kind != first.kind) return false;
    if (later.kind == DefinitionKind::GroupBase) return later.element->start() == first.element->start();
    if (later.kind == DefinitionKind::Vector) return later.element->startText() == first.element->startText();
    return false;
  }

  // One finding per pair of elements (a register and its alias clash in
  // their offsets too), and none for bit fields whose registers clash
  // already (two registers with one alias clash in every field alias).
  void report(const Definition& later, const Definition& first, std::string_view name) {
    if (harmless(later, first)) return;
    if (!reported_.insert(pairOf(later.element, first.element)).second) return;
    if (isFieldDefinition(later.kind) && isFieldDefinition(first.kind) &&
        reported_.contains(pairOf(later.element->parent, first.element->parent))) {
      return;
    }
    pending_.emplace_back(later.element, describe(later.kind, *later.element, names_) + " defines " +
                                             std::string(name) + ", which " +
                                             describe(first.kind, *first.element, names_) + " (" +
                                             findings_.where(*first.element) + ") defines too");
  }

  static std::pair<const void*, const void*> pairOf(const void* a, const void* b) {
    return a < b ? std::pair(a, b) : std::pair(b, a);
  }

  // Gone through again from its root once the map is loaded.
  const MemoryMap& map_;
  const DefinitionNames& names_;
  const HeaderOptions& options_;
  Findings& findings_;
  DefinitionTable table_;
  // The names in the table that end like a bit-field line, without that
  // end: few, in any map.
  std::set<std::string, std::less<>> lineEnded_;
  // Hashes of names of lines that may clash, for the second pass.
  HashSet clashing_;
  // Hashes of the value lines of single-bit fields and of field alias
  // lines, to look up once the table is complete, and of alias names.
  std::vector<uint64_t> values_;
  std::vector<uint64_t> aliasLines_;
  std::vector<uint64_t> aliases_;
  std::set<std::pair<const void*, const void*>> reported_;
  std::vector<std::pair<const MemoryMapElement*, std::string>> pending_;
  std::string name_;
};

}  // namespace

std::unique_ptr<Check> nameClashCheck(const MemoryMap& map, const DefinitionNames& names, Findings& findings) {
  return std::make_unique<NameClashCheck>(map, names, findings);
}

}  // namespace rw::checks

#include "header/struct_layout.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "expr/integer_literal.h"
#include "header/header_model.h"

namespace rw {

namespace {

// Clusters inside clusters, as the loaded map records them: the SVD reader
// nests them no deeper, and a hand-written map is held to the same.
constexpr size_t kMaxClusterDepth = 32;

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// `text` split at `separator`; one empty part for empty text.
std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (size_t begin = 0;;) {
    const size_t end = text.find(separator, begin);
    parts.push_back(text.substr(begin, end - begin));
    if (end == std::string_view::npos) return parts;
    begin = end + 1;
  }
}

// A whole decimal or "0x" hexadecimal number, as the loaded map's structure
// attributes are written.
std::optional<uint64_t> attributeNumber(std::string_view text) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    const int digit = digitValue(c, base);
    if (digit < 0 || value > (UINT64_MAX - static_cast<uint64_t>(digit)) / base) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
  }
  return value;
}

// An array's name as the struct spells it: without its "[%s]" or "%s".
std::string withoutIndex(std::string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size();) {
    if (name.substr(i).starts_with("[%s]")) {
      i += 4;
    } else if (name.substr(i).starts_with("%s")) {
      i += 2;
    } else {
      out += name[i++];
    }
  }
  return out;
}

// A register as the header model gave it, with what its struct needs.
struct Captured {
  const MemoryMapElement* element;
  uint64_t address;
  std::vector<const MemoryMapElement*> fields;
  // Its own name, without the clusters' in front ("CCR2"), and for an
  // element of a dim array that array's name as written ("CCR[%s]").
  std::string member;
  std::string array;
  std::optional<uint64_t> arrayIndex;
  uint64_t arrayCount = 1;
  uint64_t arrayIncrement = 0;
  std::vector<ClusterLevel> clusters;
};

struct Holder {
  const MemoryMapElement* element;
  std::vector<Captured> registers;
};

// The holders and vectors of the header, in its order. The struct names
// its own members and fields, so the flat header's names are never formed.
class Collector {
public:
  bool reached(const HeaderOrder::Reached& reached) {
    const MemoryMapElement& element = *reached.element;
    switch (element.kind()) {
      case ElementKind::RegisterGroup:
        holderOf(&element);
        break;
      case ElementKind::Register:
        reg(element);
        break;
      case ElementKind::Vector:
        vectors.push_back(&element);
        break;
      default:
        break;
    }
    return true;
  }

  std::vector<Holder> holders;
  std::vector<const MemoryMapElement*> vectors;

private:
  void reg(const MemoryMapElement& element) {
    Captured& captured = holders[holderOf(asMemoryMapElement(element.parent))].registers.emplace_back(
        Captured{&element, element.start(), {}, {}, {}, {}, 1, 0, {}});
    for (const XMLNode* child = element.firstChild; child != nullptr; child = child->nextSibling) {
      const MemoryMapElement* field = asMemoryMapElement(child);
      if (isDefinedField(field)) captured.fields.push_back(field);
    }
  }
  size_t holderOf(const MemoryMapElement* element) {
    const auto [known, added] = index_.try_emplace(element, holders.size());
    if (added) holders.push_back(Holder{element, {}});
    return known->second;
  }
  std::unordered_map<const MemoryMapElement*, size_t> index_;
};

std::optional<uint32_t> memberBytes(const MemoryMapElement& reg) {
  // A register without a size is the header's plain "unsigned": 32 bits.
  if (!reg.hasSize()) return 4;
  switch (reg.size()) {
    case 1:
    case 2:
    case 4:
    case 8:
      return reg.size();
    default:
      return std::nullopt;
  }
}

class LayoutBuilder {
public:
  LayoutBuilder(StructLayouts& out, const ElementLocation& locate) : out_(out), locate_(locate) {}

  void build(Collector& collected);
  void vectors(const std::vector<const MemoryMapElement*>& vectors);

private:
  struct Key {
    std::string text;
    bool operator<(const Key& other) const { return text < other.text; }
  };

  void warn(const MemoryMapElement& at, const std::string& message) {
    out_.warnings.push_back({&at, message});
  }
  std::string where(const MemoryMapElement& element) const { return locate_(element); }

  uint64_t baseOf(const Holder& holder) const;
  bool capture(Captured& reg, std::string_view holderName);
  std::string keyOf(const Holder& holder, uint64_t base) const;
  std::string typeName(const Holder& source, const std::vector<const Holder*>& sharing);
  // Builds the struct type of `registers` (relative to `base`, at cluster
  // depth `depth`) into out_.types and returns its index.
  std::optional<size_t> buildType(const std::string& name, const std::string& memberPrefix,
                                  std::vector<const Captured*> registers, uint64_t base, size_t depth,
                                  uint64_t stride);
  StructRegister registerMember(const Captured& reg, uint64_t offset, uint32_t bytes) const;

  StructLayouts& out_;
  const ElementLocation& locate_;
  std::vector<Holder> holders_;
  std::set<std::string> typeNames_;
};

uint64_t LayoutBuilder::baseOf(const Holder& holder) const {
  if (holder.element != nullptr && holder.element->hasStart()) return holder.element->start();
  uint64_t lowest = UINT64_MAX;
  for (const Captured& reg : holder.registers) lowest = std::min(lowest, reg.address);
  return lowest == UINT64_MAX ? 0 : lowest;
}

// Reads the structure attributes of `reg`; false, with a warning, when they
// cannot be read.
bool LayoutBuilder::capture(Captured& reg, std::string_view holderName) {
  const MemoryMapElement& element = *reg.element;
  reg.member = std::string(textOf(element.getAttribute("member")));
  if (reg.member.empty()) {
    // A map that names its registers after their group (RCC_CR in RCC)
    // means the member CR.
    std::string_view name = textOf(element.name());
    if (!holderName.empty() && name.size() > holderName.size() + 1 && name.starts_with(holderName) &&
        name[holderName.size()] == '_') {
      name.remove_prefix(holderName.size() + 1);
    }
    reg.member = std::string(name);
  }
  if (element.hasAttribute("array")) {
    const std::optional<ArrayPosition> position = arrayPosition(element);
    if (!position) {
      warn(element, "-structs leaves out register " + std::string(textOf(element.name())) +
                        ": its array_index, array_count and array_increment do not make it an element of " +
                        std::string(textOf(element.getAttribute("array"))));
      return false;
    }
    reg.array = position->array;
    reg.arrayIndex = position->index;
    reg.arrayCount = position->count;
    reg.arrayIncrement = position->increment;
  }
  std::optional<std::vector<ClusterLevel>> clusters = clusterLevels(element);
  if (!clusters) {
    warn(element, "-structs leaves out register " + std::string(textOf(element.name())) +
                      ": its cluster attributes do not describe clusters it lies in");
    return false;
  }
  reg.clusters = std::move(*clusters);
  return true;
}

// What makes two holders share a type: the layout an SVD file names, else
// everything the type and its macros say.
std::string LayoutBuilder::keyOf(const Holder& holder, uint64_t base) const {
  if (holder.element != nullptr) {
    if (const std::optional<std::string_view> layout = holder.element->getAttribute("layout")) {
      return "layout " + std::string(*layout);
    }
  }
  std::string key = "map";
  for (const Captured& reg : holder.registers) {
    key += '\n';
    key += reg.member + ' ' + reg.array;
    key += ' ' + std::to_string(reg.address - base) + ' ' + std::to_string(reg.element->size()) + ' ' +
           lower(textOf(reg.element->getAttribute("access")));
    for (const ClusterLevel& level : reg.clusters) key += ' ' + level.name + '#' + std::to_string(level.index);
    for (const MemoryMapElement* field : reg.fields) {
      key += " [" + std::string(textOf(field->name())) + ' ' + std::to_string(field->start()) + ' ' +
             std::to_string(field->size());
      for (const XMLNode* child = field->firstChild; child != nullptr; child = child->nextSibling) {
        const MemoryMapElement* item = asMemoryMapElement(child);
        if (item != nullptr && item->kind() == ElementKind::Enum) {
          key += " " + std::string(textOf(item->name())) + "=" + std::string(textOf(item->startText()));
        }
      }
      key += ']';
    }
  }
  return key;
}

std::string LayoutBuilder::typeName(const Holder& source, const std::vector<const Holder*>& sharing) {
  const MemoryMapElement* element = source.element;
  std::string name;
  if (element != nullptr) {
    name = std::string(textOf(element->getAttribute("header_struct_name")));
    const std::string_view group = textOf(element->getAttribute("group_name"));
    if (name.empty() && !group.empty()) {
      // The group name serves when it names exactly the peripherals of
      // this layout, as vendor-style code expects (GPIO_Type for GPIOA..).
      size_t inGroup = 0;
      for (const Holder& other : holders_) {
        if (other.element != nullptr && textOf(other.element->getAttribute("group_name")) == group) ++inGroup;
      }
      const bool allSharing = std::all_of(sharing.begin(), sharing.end(), [&](const Holder* holder) {
        return holder->element != nullptr && textOf(holder->element->getAttribute("group_name")) == group;
      });
      if (allSharing && inGroup == sharing.size()) name = std::string(group);
    }
    if (name.empty()) name = withoutIndex(textOf(element->getAttribute("layout")));
    if (name.empty()) name = std::string(textOf(element->name()));
  }
  name = structIdentifier(name);
  if (name.empty()) name = "REGISTERS";
  std::string unique = name;
  for (int n = 2; !typeNames_.insert(unique).second; ++n) unique = name + "_" + std::to_string(n);
  return unique;
}

StructRegister LayoutBuilder::registerMember(const Captured& reg, uint64_t offset, uint32_t bytes) const {
  StructRegister member;
  member.elements.push_back(reg.element);
  member.name = structIdentifier(reg.member);
  member.offset = offset;
  member.bytes = bytes;
  member.access = memberAccess(textOf(reg.element->getAttribute("access")));
  for (const MemoryMapElement* field : reg.fields) {
    member.fields.push_back({field, structIdentifier(textOf(field->name())), field->start(), field->size()});
  }
  return member;
}

std::optional<size_t> LayoutBuilder::buildType(const std::string& name, const std::string& memberPrefix,
                                               std::vector<const Captured*> registers, uint64_t base,
                                               size_t depth, uint64_t stride) {
  StructType type;
  type.name = name + "_Type";
  type.memberPrefix = memberPrefix;
  // Registers that lie in clusters at this depth, by the cluster's name.
  std::map<std::string, std::vector<const Captured*>> clustered;
  std::vector<std::string> clusterOrder;
  // "[%s]" arrays, by their name, gathered before they become members.
  std::map<std::string, std::vector<const Captured*>> arrays;
  struct Candidate {
    uint64_t offset;
    uint64_t size;
    uint64_t alignment;
    size_t order;
    std::optional<StructRegister> reg;
    std::optional<size_t> cluster;
    std::string clusterName;
    uint32_t clusterCount = 1;
    const MemoryMapElement* element;
  };
  std::vector<Candidate> candidates;

  const auto innerOffset = [&](const Captured& reg) {
    uint64_t offset = reg.address - base;
    for (size_t level = 0; level < depth; ++level) {
      offset -= reg.clusters[level].offset + reg.clusters[level].index * reg.clusters[level].increment;
    }
    return offset;
  };

  for (const Captured* reg : registers) {
    if (reg->clusters.size() > depth) {
      const ClusterLevel& level = reg->clusters[depth];
      // The cluster's type comes from its first element.
      if (level.index != 0) continue;
      auto [known, added] = clustered.try_emplace(level.name);
      if (added) clusterOrder.push_back(level.name);
      known->second.push_back(reg);
      continue;
    }
    const std::optional<uint32_t> bytes = memberBytes(*reg->element);
    if (!bytes) {
      warn(*reg->element, "-structs leaves out register " + std::string(textOf(reg->element->name())) +
                              ": its size " + std::string(textOf(reg->element->getAttribute("size"))) +
                              " is not 1, 2, 4 or 8 bytes");
      continue;
    }
    // A "[%s]" array whose elements follow each other is one member; the
    // elements of "%s" lists, and of arrays with gaps, are members of their
    // own, by their own names.
    if (reg->arrayIndex && reg->array.find("[%s]") != std::string::npos && reg->arrayIncrement == *bytes) {
      arrays[reg->array].push_back(reg);
      continue;
    }
    const uint64_t offset = innerOffset(*reg);
    candidates.push_back({offset, *bytes, *bytes, candidates.size(), registerMember(*reg, offset, *bytes), {}, {}, 1,
                          reg->element});
  }

  for (auto& [arrayName, elements] : arrays) {
    std::sort(elements.begin(), elements.end(),
              [](const Captured* a, const Captured* b) { return *a->arrayIndex < *b->arrayIndex; });
    const Captured& first = *elements.front();
    const uint32_t bytes = *memberBytes(*first.element);
    bool whole = elements.size() == first.arrayCount && *first.arrayIndex == 0;
    for (size_t k = 0; whole && k < elements.size(); ++k) whole = *elements[k]->arrayIndex == k;
    if (!whole) {
      warn(*first.element, "-structs leaves out the array " + arrayName + ": not all of its " +
                               std::to_string(first.arrayCount) + " elements are in the map");
      continue;
    }
    const uint64_t offset = innerOffset(first);
    StructRegister member = registerMember(first, offset, bytes);
    member.name = structIdentifier(withoutIndex(arrayName));
    member.count = static_cast<uint32_t>(elements.size());
    member.elements.clear();
    for (const Captured* element : elements) member.elements.push_back(element->element);
    candidates.push_back({offset, uint64_t{bytes} * member.count, bytes, candidates.size(), std::move(member), {}, {},
                          1, first.element});
  }

  for (const std::string& clusterName : clusterOrder) {
    const std::vector<const Captured*>& inside = clustered[clusterName];
    const ClusterLevel& level = inside.front()->clusters[depth];
    const std::string plain = structIdentifier(withoutIndex(clusterName));
    const std::optional<size_t> clusterType = buildType(name + "_" + plain, memberPrefix + plain + "_", inside, base,
                                                        depth + 1, level.count > 1 ? level.increment : 0);
    if (!clusterType) continue;
    const StructType& built = out_.types[*clusterType];
    candidates.push_back({level.offset, built.size * level.count, built.alignment, candidates.size(), std::nullopt,
                          clusterType, plain, static_cast<uint32_t>(level.count), inside.front()->element});
  }

  // In address order; at one offset, the earlier in the map first.
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    return a.offset != b.offset ? a.offset < b.offset : a.order < b.order;
  });
  std::set<std::string> memberNames;
  for (Candidate& candidate : candidates) {
    const std::string shown = candidate.reg ? candidate.reg->name : candidate.clusterName;
    const std::string what = candidate.reg ? "register " + shown : "cluster " + shown;
    if (candidate.offset % candidate.alignment != 0) {
      warn(*candidate.element, "-structs leaves out " + what + ": its offset " + hexLiteral(candidate.offset) +
                                   " is not a multiple of its alignment, " + std::to_string(candidate.alignment) +
                                   " bytes, where a C struct would put it");
      continue;
    }
    StructMember* last = type.members.empty() ? nullptr : &type.members.back();
    const uint64_t end = last != nullptr ? last->offset + last->size : 0;
    const bool sameRegisterView = last != nullptr && candidate.reg && last->clusters.empty() &&
                                  last->offset == candidate.offset && last->size == candidate.size &&
                                  type.registers[last->registers.front()].count == candidate.reg->count;
    // Alternate clusters are views of one block: a union when they cover it
    // alike.
    const bool sameClusterView = last != nullptr && candidate.cluster && !last->clusters.empty() &&
                                 last->offset == candidate.offset && last->size == candidate.size;
    const bool sameView = sameRegisterView || sameClusterView;
    if (last != nullptr && candidate.offset < end && !sameView) {
      const std::string other =
          !last->clusters.empty() ? "cluster " + last->clusters.back().name
                                  : "register " + type.registers[last->registers.back()].name;
      const MemoryMapElement& otherElement =
          !last->clusters.empty() ? firstElementOf(out_, last->clusters.back().type)
                                  : *type.registers[last->registers.back()].elements.front();
      warn(*candidate.element, "-structs leaves out " + what + ": it partly overlaps " + other + " (" +
                                   where(otherElement) + "), which a C struct cannot hold");
      continue;
    }
    if (!memberNames.insert(shown).second) {
      warn(*candidate.element, "-structs leaves out " + what + ": the struct " + type.name + " has a member " +
                                   shown + " already");
      continue;
    }
    if (candidate.reg) {
      type.registers.push_back(std::move(*candidate.reg));
      if (sameView) {
        last->registers.push_back(type.registers.size() - 1);
      } else {
        StructMember member;
        member.offset = candidate.offset;
        member.size = candidate.size;
        member.registers.push_back(type.registers.size() - 1);
        type.members.push_back(std::move(member));
      }
    } else if (sameView) {
      last->clusters.push_back({*candidate.cluster, candidate.clusterName, candidate.clusterCount});
    } else {
      StructMember member;
      member.offset = candidate.offset;
      member.size = candidate.size;
      member.clusters.push_back({*candidate.cluster, candidate.clusterName, candidate.clusterCount});
      type.members.push_back(std::move(member));
    }
    type.alignment = std::max(type.alignment, candidate.alignment);
  }
  if (!type.members.empty()) type.size = type.members.back().offset + type.members.back().size;
  if (stride != 0) {
    // An array of clusters steps by its increment: the type fills it, and C
    // rounds a struct's size up to its alignment, so the two must agree.
    if (stride < type.size || stride % type.alignment != 0) {
      const Captured& first = *registers.front();
      warn(*first.element, "-structs leaves out the cluster " + first.clusters[depth - 1].name + ": its increment " +
                               hexLiteral(stride) + " does not step by whole copies of what it holds");
      return std::nullopt;
    }
    type.size = stride;
  }
  if (type.members.empty()) return std::nullopt;
  out_.types.push_back(std::move(type));
  return out_.types.size() - 1;
}

void LayoutBuilder::build(Collector& collected) {
  holders_ = std::move(collected.holders);
  // Holders by layout, in the order their first holder comes.
  std::vector<std::string> keys;
  std::map<std::string, std::vector<size_t>> sharing;
  std::vector<uint64_t> bases;
  for (size_t h = 0; h < holders_.size(); ++h) {
    Holder& holder = holders_[h];
    // A group that names a layout already built from another group takes
    // its type: its registers' structure is not read a second time (most
    // peripherals of an SVD file are derived from another).
    if (holder.element != nullptr && !holder.registers.empty()) {
      if (const std::optional<std::string_view> layout = holder.element->getAttribute("layout")) {
        std::string key = "layout " + std::string(*layout);
        if (const auto known = sharing.find(key); known != sharing.end()) {
          bases.push_back(baseOf(holder));
          known->second.push_back(h);
          keys.push_back(std::move(key));
          continue;
        }
      }
    }
    std::vector<Captured> usable;
    const std::string_view holderName = holder.element != nullptr ? textOf(holder.element->name()) : "";
    for (Captured& reg : holder.registers) {
      if (capture(reg, holderName)) usable.push_back(std::move(reg));
    }
    holder.registers = std::move(usable);
    bases.push_back(baseOf(holder));
    if (holder.registers.empty()) {
      keys.emplace_back();
      continue;
    }
    keys.push_back(keyOf(holder, bases.back()));
    sharing[keys.back()].push_back(h);
  }
  std::map<std::string, std::optional<size_t>> typeOf;
  std::set<std::string> instanceNames;
  for (size_t h = 0; h < holders_.size(); ++h) {
    const Holder& holder = holders_[h];
    if (holder.registers.empty()) continue;
    auto [known, added] = typeOf.try_emplace(keys[h]);
    if (added) {
      std::vector<const Holder*> all;
      for (const size_t other : sharing[keys[h]]) all.push_back(&holders_[other]);
      std::vector<const Captured*> registers;
      for (const Captured& reg : holder.registers) registers.push_back(&reg);
      known->second = buildType(typeName(holder, all), "", registers, bases[h], 0, 0);
    }
    if (!known->second) continue;
    std::string name = structIdentifier(holder.element != nullptr ? textOf(holder.element->name()) : "");
    if (name.empty()) name = "REGISTERS";
    if (!instanceNames.insert(name).second) {
      warn(*holder.registers.front().element,
           "-structs leaves out the peripheral " + name + ": a peripheral of that name came before");
      continue;
    }
    out_.instances.push_back({holder.element, name, bases[h], *known->second});
  }
}

// A vector's number: a whole decimal or "0x" hexadecimal number, negative
// for the core's exceptions.
std::optional<int64_t> vectorNumber(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  const std::optional<uint64_t> magnitude = attributeNumber(text);
  if (!magnitude || *magnitude > static_cast<uint64_t>(INT32_MAX)) return std::nullopt;
  return negative ? -static_cast<int64_t>(*magnitude) : static_cast<int64_t>(*magnitude);
}

void LayoutBuilder::vectors(const std::vector<const MemoryMapElement*>& vectors) {
  std::set<std::string> names;
  for (const MemoryMapElement* vector : vectors) {
    const std::string name = structIdentifier(textOf(vector->name()));
    const std::optional<int64_t> number = vectorNumber(textOf(vector->startText()));
    if (name.empty() || !number) {
      warn(*vector, "-structs leaves out vector " + std::string(textOf(vector->name())) + ": its number " +
                        std::string(textOf(vector->startText())) + " is not a whole decimal or 0x number");
      continue;
    }
    if (!names.insert(name).second) {
      warn(*vector, "-structs leaves out vector " + name + ": a vector of that name came before");
      continue;
    }
    out_.vectors.push_back({vector, name, *number});
  }
}

// The Cortex-M core a CPU name stands for, as its core header names it.
std::optional<std::string> cortexCore(std::string_view cpuName) {
  std::string name = lower(cpuName);
  if (name.starts_with("cortex-m")) name = "cm" + name.substr(8);
  if (name == "cm0+") name = "cm0plus";
  static constexpr std::string_view kCores[] = {"cm0", "cm0plus", "cm1", "cm3", "cm4", "cm7",
                                                "cm23", "cm33", "cm35p", "cm55", "cm85"};
  for (const std::string_view core : kCores) {
    if (name == core) {
      std::string upper(core);
      for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
      return upper;
    }
  }
  return std::nullopt;
}

// "r1p2" as the core header's revision macro takes it: 0x0102.
std::optional<uint32_t> cpuRevision(std::string_view text) {
  if (text.size() < 4 || (text[0] != 'r' && text[0] != 'R')) return std::nullopt;
  const size_t p = text.find_first_of("pP");
  if (p == std::string_view::npos) return std::nullopt;
  const std::optional<uint64_t> major = attributeNumber(text.substr(1, p - 1));
  const std::optional<uint64_t> minor = attributeNumber(text.substr(p + 1));
  if (!major || !minor || *major > 0xFF || *minor > 0xFF) return std::nullopt;
  return static_cast<uint32_t>(*major << 8 | *minor);
}

std::optional<StructCpu> cpuOf(const MemoryMapElement* root) {
  if (root == nullptr) return std::nullopt;
  const std::optional<std::string> core = cortexCore(textOf(root->getAttribute("cpu_name")));
  if (!core) return std::nullopt;
  StructCpu cpu;
  cpu.core = *core;
  cpu.revision = cpuRevision(textOf(root->getAttribute("cpu_revision")));
  const auto flag = [&](const char* attribute) -> std::optional<std::string> {
    const std::string_view text = textOf(root->getAttribute(attribute));
    if (text == "true" || text == "1") return "1";
    if (text == "false" || text == "0") return "0";
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos) return std::string(text);
    return std::nullopt;
  };
  cpu.mpuPresent = flag("cpu_mpu_present");
  cpu.fpuPresent = flag("cpu_fpu_present");
  cpu.nvicPrioBits = flag("cpu_nvic_prio_bits");
  cpu.vendorSysTickConfig = flag("cpu_vendor_systick_config");
  return cpu;
}

}  // namespace

std::optional<std::vector<ClusterLevel>> clusterLevels(const MemoryMapElement& reg) {
  std::vector<ClusterLevel> levels;
  static constexpr AttributeName kClusters{"clusters"};
  static constexpr AttributeName kOffsets{"cluster_offsets"};
  static constexpr AttributeName kIndices{"cluster_indices"};
  static constexpr AttributeName kCounts{"cluster_counts"};
  static constexpr AttributeName kIncrements{"cluster_increments"};
  static constexpr AttributeName kDimIndices{"cluster_dim_indices"};
  static constexpr AttributeName kAlternates{"cluster_alternates"};
  const std::optional<std::string_view> clusters = reg.getAttribute(kClusters);
  if (!clusters) return levels;
  const std::vector<std::string_view> names = split(*clusters, ';');
  const auto list = [&](const AttributeName& attribute) { return split(textOf(reg.getAttribute(attribute)), ';'); };
  const std::vector<std::string_view> offsets = list(kOffsets);
  const std::vector<std::string_view> indices = list(kIndices);
  const std::vector<std::string_view> counts = list(kCounts);
  const std::vector<std::string_view> increments = list(kIncrements);
  const std::vector<std::string_view> dimIndexes = list(kDimIndices);
  const std::vector<std::string_view> alternates = list(kAlternates);
  if (names.size() > kMaxClusterDepth || offsets.size() != names.size() || indices.size() != names.size() ||
      counts.size() != names.size() || increments.size() != names.size()) {
    return std::nullopt;
  }
  for (size_t i = 0; i < names.size(); ++i) {
    const std::optional<uint64_t> offset = attributeNumber(offsets[i]);
    const std::optional<uint64_t> index = attributeNumber(indices[i]);
    const std::optional<uint64_t> count = attributeNumber(counts[i]);
    const std::optional<uint64_t> increment = attributeNumber(increments[i]);
    if (names[i].empty() || !offset || !index || !count || !increment || *index >= *count) return std::nullopt;
    levels.push_back({std::string(names[i]), *offset, *index, *count, *increment,
                      i < dimIndexes.size() ? std::string(dimIndexes[i]) : std::string(),
                      i < alternates.size() ? std::string(alternates[i]) : std::string()});
  }
  return levels;
}

std::optional<ArrayPosition> arrayPosition(const MemoryMapElement& element) {
  const std::string_view array = textOf(element.getAttribute("array"));
  const std::optional<uint64_t> index = attributeNumber(textOf(element.getAttribute("array_index")));
  const std::optional<uint64_t> count = attributeNumber(textOf(element.getAttribute("array_count")));
  const std::optional<uint64_t> increment = attributeNumber(textOf(element.getAttribute("array_increment")));
  if (array.empty() || !index || !count || !increment || *index >= *count) return std::nullopt;
  return ArrayPosition{std::string(array), *index, *count, *increment,
                       std::string(textOf(element.getAttribute("array_dim_index")))};
}

const MemoryMapElement& firstElementOf(const StructLayouts& layouts, size_t type) {
  // A type is built only with a member, and a cluster's type before the
  // type that holds it: the descent ends.
  for (;;) {
    const StructType& holder = layouts.types[type];
    const StructMember& first = holder.members.front();
    if (first.clusters.empty()) return *holder.registers[first.registers.front()].elements.front();
    type = first.clusters.front().type;
  }
}

MemberAccess memberAccess(std::string_view access) {
  const std::string word = lower(access);
  if (word == "read-only" || word == "ro" || word == "r") return MemberAccess::ReadOnly;
  if (word == "write-only" || word == "wo" || word == "w" || word == "writeonce") return MemberAccess::WriteOnly;
  return MemberAccess::ReadWrite;
}

std::string structIdentifier(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (!isLetter(c) && !isDigit(c) && c != '_') c = '_';
  }
  if (!out.empty() && isDigit(out[0])) out.insert(out.begin(), '_');
  return out;
}

StructLayouts buildStructLayouts(const MemoryMapElement* root, const ElementLocation& locate) {
  StructLayouts out;
  Collector collected;
  walkInHeaderOrder(root, [&](const HeaderOrder::Reached& reached) { return collected.reached(reached); });
  LayoutBuilder builder(out, locate);
  builder.build(collected);
  builder.vectors(collected.vectors);
  out.cpu = cpuOf(root);
  return out;
}

}  // namespace rw

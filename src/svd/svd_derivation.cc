#include "svd/svd_derivation.h"

#include <algorithm>
#include <cstring>

#include "svd/svd_values.h"

namespace rw {

namespace {

// Real files chain two or three elements (a timer derived from a timer
// derived from the first timer); a chain this long is a mistake or an attack.
constexpr size_t kMaxChainLength = 32;

// A reference that is a path makes the chains of the elements on the path
// count too, and their references may be paths again. Each level is one
// chainOf inside another; legitimate files need two or three.
constexpr size_t kMaxReferenceNesting = 64;

// The elements a name may point at, and so the ones indexed by name.
constexpr const char* kNamedTags[] = {"peripheral", "cluster", "register", "field", "enumeratedValues"};

bool isNamedTag(const char* tag) {
  return std::any_of(std::begin(kNamedTags), std::end(kNamedTags),
                     [tag](const char* named) { return std::strcmp(tag, named) == 0; });
}

// The tag a child name stands for; Count for the names the reader does not
// ask for by tag. Most children are asked for by tag, so telling them apart
// costs one or two comparisons each.
SvdTag tagOf(const char* name) {
  const auto is = [name](const char* tag) { return std::strcmp(name, tag) == 0; };
  switch (name[0]) {
    case 'n': return is("name") ? SvdTag::Name : SvdTag::Count;
    case 'd':
      if (is("description")) return SvdTag::Description;
      if (is("dim")) return SvdTag::Dim;
      if (is("dimIncrement")) return SvdTag::DimIncrement;
      return is("dimIndex") ? SvdTag::DimIndex : SvdTag::Count;
    case 'a':
      if (is("addressOffset")) return SvdTag::AddressOffset;
      return is("access") ? SvdTag::Access : SvdTag::Count;
    case 'b':
      if (is("bitOffset")) return SvdTag::BitOffset;
      if (is("bitWidth")) return SvdTag::BitWidth;
      if (is("bitRange")) return SvdTag::BitRange;
      return is("baseAddress") ? SvdTag::BaseAddress : SvdTag::Count;
    case 's': return is("size") ? SvdTag::Size : SvdTag::Count;
    case 'r':
      if (is("resetValue")) return SvdTag::ResetValue;
      return is("registers") ? SvdTag::Registers : SvdTag::Count;
    case 'f': return is("fields") ? SvdTag::Fields : SvdTag::Count;
    case 'l': return is("lsb") ? SvdTag::Lsb : SvdTag::Count;
    case 'm': return is("msb") ? SvdTag::Msb : SvdTag::Count;
    case 'v': return is("value") ? SvdTag::Value : SvdTag::Count;
    case 'i': return is("isDefault") ? SvdTag::IsDefault : SvdTag::Count;
    default: return SvdTag::Count;
  }
}

// The tags of the members an element holds, by its own tag; none for the
// other elements.
std::pair<const char*, const char*> memberTags(std::string_view tag) {
  if (tag == "registers" || tag == "cluster") return {"register", "cluster"};
  if (tag == "fields") return {"field", nullptr};
  if (tag == "field") return {"enumeratedValues", nullptr};
  if (tag == "enumeratedValues") return {"enumeratedValue", nullptr};
  return {nullptr, nullptr};
}

pugi::xml_node enclosingPeripheral(pugi::xml_node element) {
  while (element && std::strcmp(element.name(), "peripheral") != 0) element = element.parent();
  return element;
}

}  // namespace

std::string_view svdChildText(pugi::xml_node element, const char* tag) {
  return trimmed(element.child(tag).text().get());
}

std::string svdElementPath(pugi::xml_node element) {
  std::vector<std::string_view> names;
  for (pugi::xml_node node = element; node; node = node.parent()) {
    if (!isNamedTag(node.name())) continue;
    const std::string_view name = svdChildText(node, "name");
    names.push_back(name.empty() ? std::string_view("?") : name);
    if (std::strcmp(node.name(), "peripheral") == 0) break;
  }
  std::string path = element.name();
  path += ' ';
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (name != names.rbegin()) path += '.';
    path += *name;
  }
  return path;
}

SvdElement readSvdElement(pugi::xml_node node) {
  SvdElement element;
  if (!node) return element;
  element.node = node;
  element.derivedFrom = trimmed(node.attribute("derivedFrom").value());
  const auto [memberA, memberB] = memberTags(node.name());
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    const char* name = child.name();
    const SvdTag tag = tagOf(name);
    if (tag != SvdTag::Count) {
      if (!element[tag]) element.tagged[static_cast<size_t>(tag)] = child;
    } else if (memberA != nullptr &&
               (std::strcmp(name, memberA) == 0 || (memberB != nullptr && std::strcmp(name, memberB) == 0))) {
      element.members.push_back(child);
    }
  }
  return element;
}

const SvdElement& SvdDerivation::element(pugi::xml_node node) {
  auto [slot, fresh] = elements_.try_emplace(node.internal_object());
  if (fresh) slot->second = readSvdElement(node);
  return slot->second;
}

void SvdDerivation::fail(pugi::xml_node at, std::string problem) {
  if (failed()) return;
  problem_ = std::move(problem);
  problemNode_ = at;
}

bool SvdDerivation::chainOf(pugi::xml_node element, SvdChain& chain) {
  chain.assign(1, element);
  if (failed()) return false;
  if (this->element(element).derivedFrom.empty()) return true;
  if (const auto cached = chains_.find(element.internal_object()); cached != chains_.end()) {
    chain = cached->second;
    return true;
  }
  // A path may lead through the element whose chain is being found: a
  // cycle too, only through members rather than bases.
  if (std::find(inProgress_.begin(), inProgress_.end(), element) != inProgress_.end()) {
    fail(element, "the derivedFrom chain of " + svdElementPath(element) + " runs in a cycle");
    return false;
  }
  if (inProgress_.size() >= kMaxReferenceNesting) {
    fail(element, "the derivedFrom references of " + svdElementPath(element) + " nest more than " +
                      std::to_string(kMaxReferenceNesting) + " deep");
    return false;
  }
  inProgress_.push_back(element);
  SvdChain found{element};
  for (pugi::xml_node node = element;;) {
    const std::string_view reference = this->element(node).derivedFrom;
    if (reference.empty()) break;
    if (found.size() > kMaxChainLength) {
      fail(element, "the derivedFrom chain of " + svdElementPath(element) + " is longer than " +
                        std::to_string(kMaxChainLength));
      break;
    }
    const pugi::xml_node base = findBase(node, reference);
    if (failed()) break;
    if (!base) {
      fail(node, svdElementPath(node) + " derives from " + std::string(reference) + ", which does not exist");
      break;
    }
    if (std::find(found.begin(), found.end(), base) != found.end()) {
      fail(element, "the derivedFrom chain of " + svdElementPath(element) + " runs in a cycle");
      break;
    }
    found.push_back(base);
    node = base;
  }
  inProgress_.pop_back();
  if (failed()) return false;
  chain = found;
  chains_.emplace(element.internal_object(), std::move(found));
  return true;
}

pugi::xml_node SvdDerivation::findBase(pugi::xml_node element, std::string_view reference) {
  if (reference.find('.') != std::string_view::npos) return findByPath(element, reference);
  const NameIndex& siblings = namedChildren(element.parent());
  if (const auto found = siblings.find(std::string(reference)); found != siblings.end()) {
    if (std::strcmp(found->second.name(), element.name()) == 0) return found->second;
  }
  // Value sets are shared across fields by name more often than between the
  // sets of one field.
  if (std::strcmp(element.name(), "enumeratedValues") == 0) return findEnumeratedValuesInPeripheral(element, reference);
  return {};
}

// A path starts at a peripheral; one whose first name is no peripheral is
// taken to start inside the element's own peripheral (but a peripheral's
// path cannot start inside itself).
pugi::xml_node SvdDerivation::findByPath(pugi::xml_node element, std::string_view path) {
  std::vector<std::string_view> parts;
  for (size_t begin = 0; begin <= path.size();) {
    const size_t dot = std::min(path.find('.', begin), path.size());
    parts.push_back(path.substr(begin, dot - begin));
    begin = dot + 1;
  }
  const NameIndex& peripherals = namedChildren(peripherals_);
  pugi::xml_node current;
  size_t next = 0;
  if (const auto found = peripherals.find(std::string(parts[0])); found != peripherals.end()) {
    current = found->second;
    next = 1;
  } else if (std::strcmp(element.name(), "peripheral") != 0) {
    current = enclosingPeripheral(element);
  }
  for (; current && next < parts.size(); ++next) current = findMember(current, parts[next]);
  if (current && std::strcmp(current.name(), element.name()) != 0) return {};
  return current;
}

// A member of a peripheral, cluster, register or field by name, as its
// derivation makes it: the nearest element of its chain that has it wins.
pugi::xml_node SvdDerivation::findMember(pugi::xml_node container, std::string_view name) {
  SvdChain chain;
  if (!chainOf(container, chain)) return {};
  const std::string key(name);
  const std::string_view tag = container.name();
  for (const pugi::xml_node link : chain) {
    pugi::xml_node holder = link;
    if (tag == "peripheral") {
      holder = element(link)[SvdTag::Registers];
    } else if (tag == "register") {
      holder = element(link)[SvdTag::Fields];
    } else if (tag != "cluster" && tag != "field") {
      return {};
    }
    if (tag != "cluster" && element(holder).members.empty()) continue;
    const NameIndex& members = namedChildren(holder);
    if (const auto found = members.find(key); found != members.end()) return found->second;
    // Registers, fields and value sets are taken wholesale: the nearest
    // holder that has any decides.
    if (tag != "cluster") return {};
  }
  return {};
}

pugi::xml_node SvdDerivation::findEnumeratedValuesInPeripheral(pugi::xml_node element, std::string_view name) {
  const pugi::xml_node peripheral = enclosingPeripheral(element);
  if (!peripheral) return {};
  auto [slot, fresh] = enumIndexes_.try_emplace(peripheral.internal_object());
  if (fresh) {
    // Every value set of the peripheral, first to last: a walk in document
    // order over the handful of levels above them, without recursion.
    std::vector<pugi::xml_node> pending{peripheral};
    std::vector<pugi::xml_node> sets;
    while (!pending.empty()) {
      const pugi::xml_node node = pending.back();
      pending.pop_back();
      const std::string_view tag = node.name();
      if (tag == "enumeratedValues") {
        sets.push_back(node);
        continue;
      }
      if (tag != "peripheral" && tag != "registers" && tag != "cluster" && tag != "register" && tag != "fields" &&
          tag != "field") {
        continue;
      }
      for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) pending.push_back(child);
    }
    for (const pugi::xml_node set : sets) slot->second.try_emplace(std::string(svdChildText(set, "name")), set);
  }
  const auto found = slot->second.find(std::string(name));
  return found != slot->second.end() ? found->second : pugi::xml_node();
}

// Children that may be named in a reference, by their name and, for an
// array, by the name of each of its elements; the first of a name wins. The
// elements of arrays past the budget are not indexed: a file that asks for
// more is refused for its size when its tree is built anyway, and indexing
// them first would make a small file cost unbounded memory.
const SvdDerivation::NameIndex& SvdDerivation::namedChildren(pugi::xml_node holder) {
  auto [slot, fresh] = indexes_.try_emplace(holder.internal_object());
  if (!fresh) return slot->second;
  NameIndex& index = slot->second;
  for (pugi::xml_node child = holder.first_child(); child; child = child.next_sibling()) {
    if (!isNamedTag(child.name())) continue;
    const std::string_view name = svdChildText(child, "name");
    index.try_emplace(std::string(name), child);
    const std::optional<uint64_t> dim = parseSvdNumber(svdChildText(child, "dim"));
    if (!dim || *dim > kMaxSvdDimension || *dim > budget_.maxElements() - indexedNames_) continue;
    indexedNames_ += *dim;
    const DimIndex names(svdChildText(child, "dimIndex"));
    for (uint64_t k = 0; k < *dim; ++k) {
      const std::string indexName = names.name(k);
      if (!budget_.spendText(substitutedSize(name, indexName))) {
        fail(child, budget_.textProblem());
        return index;
      }
      index.try_emplace(substituteIndex(name, indexName), child);
    }
  }
  return index;
}

namespace {

const std::vector<pugi::xml_node> kNoMembers;

}  // namespace

const std::vector<pugi::xml_node>& SvdDerivation::peripheralMembers(const SvdChain& chain) {
  for (const pugi::xml_node link : chain) {
    const SvdElement& registers = element(element(link)[SvdTag::Registers]);
    if (!registers.members.empty()) return registers.members;
  }
  return kNoMembers;
}

const std::vector<pugi::xml_node>& SvdDerivation::clusterMembers(const SvdChain& chain) {
  const std::vector<pugi::xml_node>& base = element(chain.back()).members;
  if (chain.size() == 1) return base;
  auto [slot, fresh] = mergedMembers_.try_emplace(chain.front().internal_object(), base);
  std::vector<pugi::xml_node>& members = slot->second;
  if (!fresh) return members;
  std::unordered_map<std::string_view, size_t> position;
  for (size_t i = 0; i < members.size(); ++i) position.try_emplace(svdChildText(members[i], "name"), i);
  for (size_t link = chain.size() - 1; link-- > 0;) {
    for (const pugi::xml_node own : element(chain[link]).members) {
      const std::string_view name = svdChildText(own, "name");
      if (const auto found = position.find(name); found != position.end()) {
        members[found->second] = own;
      } else {
        position.emplace(name, members.size());
        members.push_back(own);
      }
    }
  }
  return members;
}

const std::vector<pugi::xml_node>& SvdDerivation::fields(const SvdChain& chain) {
  for (const pugi::xml_node link : chain) {
    const SvdElement& fields = element(element(link)[SvdTag::Fields]);
    if (!fields.members.empty()) return fields.members;
  }
  return kNoMembers;
}

const std::vector<pugi::xml_node>& SvdDerivation::enumeratedValueSets(const SvdChain& chain) {
  for (const pugi::xml_node link : chain) {
    const SvdElement& field = element(link);
    if (!field.members.empty()) return field.members;
  }
  return kNoMembers;
}

pugi::xml_node SvdDerivation::enumeratedValueHolder(pugi::xml_node set) {
  SvdChain chain;
  if (!chainOf(set, chain)) return {};
  for (const pugi::xml_node link : chain) {
    if (!element(link).members.empty()) return link;
  }
  return {};
}

}  // namespace rw

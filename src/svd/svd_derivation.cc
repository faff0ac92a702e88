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

bool isTagged(pugi::xml_node node, const char* tagA, const char* tagB) {
  return std::strcmp(node.name(), tagA) == 0 || (tagB != nullptr && std::strcmp(node.name(), tagB) == 0);
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

void SvdDerivation::countReads(pugi::xml_node at, size_t count) {
  if (!budget_.spendNodeReads(count)) fail(at, budget_.nodeReadsProblem());
}

bool SvdDerivation::hasChild(pugi::xml_node element, const char* tagA, const char* tagB) {
  size_t count = 0;
  bool found = false;
  for (pugi::xml_node child = element.first_child(); child && !found; child = child.next_sibling()) {
    ++count;
    found = isTagged(child, tagA, tagB);
  }
  countReads(element, count);
  return found;
}

std::vector<pugi::xml_node> SvdDerivation::childrenTagged(pugi::xml_node holder, const char* tagA, const char* tagB) {
  std::vector<pugi::xml_node> out;
  size_t count = 0;
  for (pugi::xml_node child = holder.first_child(); child; child = child.next_sibling()) {
    ++count;
    if (isTagged(child, tagA, tagB)) out.push_back(child);
  }
  countReads(holder, count);
  return out;
}

pugi::xml_node SvdDerivation::childNamed(pugi::xml_node element, const char* tag) {
  size_t count = 0;
  pugi::xml_node child = element.first_child();
  for (; child; child = child.next_sibling()) {
    ++count;
    if (std::strcmp(child.name(), tag) == 0) break;
  }
  countReads(element, count);
  return child;
}

std::string_view SvdDerivation::childText(pugi::xml_node element, const char* tag) {
  return trimmed(childNamed(element, tag).text().get());
}

std::string_view SvdDerivation::derivedFrom(pugi::xml_node element) {
  size_t count = 0;
  pugi::xml_attribute attribute = element.first_attribute();
  for (; attribute; attribute = attribute.next_attribute()) {
    ++count;
    if (std::strcmp(attribute.name(), "derivedFrom") == 0) break;
  }
  countReads(element, count);
  return trimmed(attribute.value());
}

void SvdDerivation::fail(pugi::xml_node at, std::string problem) {
  if (failed()) return;
  problem_ = std::move(problem);
  problemNode_ = at;
}

bool SvdDerivation::chainOf(pugi::xml_node element, SvdChain& chain) {
  chain.assign(1, element);
  if (failed()) return false;
  if (derivedFrom(element).empty()) return true;
  if (const auto cached = chains_.find(element.internal_object()); cached != chains_.end()) {
    chain = cached->second;
    return true;
  }
  // Found once, kept: what finding it reads is not read again.
  const SpentOnce once(budget_);
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
    const std::string_view reference = derivedFrom(node);
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

// A name is looked for where a vendor writing it would look: among the
// element's siblings, then from each enclosing cluster, register, field and
// the peripheral outwards (so "ctl.sms.MODE" inside a cluster array names a
// register of that cluster), then from the device's peripherals.
pugi::xml_node SvdDerivation::findBase(pugi::xml_node element, std::string_view reference) {
  const bool isPath = reference.find('.') != std::string_view::npos;
  if (!isPath) {
    const NameIndex& siblings = namedChildren(element.parent());
    if (const auto found = siblings.find(std::string(reference)); found != siblings.end()) {
      if (std::strcmp(found->second.name(), element.name()) == 0) return found->second;
    }
  }
  std::vector<std::string_view> parts;
  for (size_t begin = 0; begin <= reference.size();) {
    const size_t dot = std::min(reference.find('.', begin), reference.size());
    parts.push_back(reference.substr(begin, dot - begin));
    begin = dot + 1;
  }
  // A peripheral's path cannot start inside itself.
  if (std::strcmp(element.name(), "peripheral") != 0) {
    for (pugi::xml_node scope = element.parent(); scope && !failed(); scope = scope.parent()) {
      const bool isPeripheral = std::strcmp(scope.name(), "peripheral") == 0;
      if (isPeripheral || isTagged(scope, "cluster", "register") || std::strcmp(scope.name(), "field") == 0) {
        if (const pugi::xml_node found = findFrom(scope, parts, element)) return found;
      }
      if (isPeripheral) break;
    }
  }
  if (failed()) return {};
  const NameIndex& peripherals = namedChildren(peripherals_);
  if (const auto found = peripherals.find(std::string(parts[0])); found != peripherals.end() && parts.size() > 1) {
    std::vector<std::string_view> rest(parts.begin() + 1, parts.end());
    if (const pugi::xml_node base = findFrom(found->second, rest, element)) return base;
  }
  // Value sets are shared across fields by name more often than between the
  // sets of one field.
  if (!isPath && std::strcmp(element.name(), "enumeratedValues") == 0) {
    return findEnumeratedValuesInPeripheral(element, reference);
  }
  return {};
}

pugi::xml_node SvdDerivation::findFrom(pugi::xml_node scope, const std::vector<std::string_view>& parts,
                                       pugi::xml_node element) {
  pugi::xml_node current = scope;
  for (size_t next = 0; current && next < parts.size(); ++next) current = findMember(current, parts[next]);
  if (!current || std::strcmp(current.name(), element.name()) != 0) return {};
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
    pugi::xml_node holder;
    if (tag == "peripheral") {
      holder = childNamed(link, "registers");
      if (!hasChild(holder, "register", "cluster")) continue;
    } else if (tag == "cluster") {
      holder = link;
    } else if (tag == "register") {
      holder = childNamed(link, "fields");
      if (!hasChild(holder, "field")) continue;
    } else if (tag == "field") {
      if (!hasChild(link, "enumeratedValues")) continue;
      holder = link;
    } else {
      return {};
    }
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

std::vector<pugi::xml_node> SvdDerivation::peripheralMembers(const SvdChain& chain, size_t& from) {
  for (from = 0; from < chain.size(); ++from) {
    std::vector<pugi::xml_node> members = childrenTagged(childNamed(chain[from], "registers"), "register", "cluster");
    if (!members.empty()) return members;
  }
  from = 0;
  return {};
}

std::vector<pugi::xml_node> SvdDerivation::clusterMembers(const SvdChain& chain) {
  std::vector<pugi::xml_node> members = childrenTagged(chain.back(), "register", "cluster");
  if (chain.size() == 1) return members;
  std::unordered_map<std::string_view, size_t> position;
  for (size_t i = 0; i < members.size(); ++i) position.try_emplace(childText(members[i], "name"), i);
  for (size_t link = chain.size() - 1; link-- > 0;) {
    for (const pugi::xml_node own : childrenTagged(chain[link], "register", "cluster")) {
      const std::string_view name = childText(own, "name");
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

std::vector<pugi::xml_node> SvdDerivation::fields(const SvdChain& chain) {
  for (const pugi::xml_node link : chain) {
    std::vector<pugi::xml_node> fields = childrenTagged(childNamed(link, "fields"), "field");
    if (!fields.empty()) return fields;
  }
  return {};
}

std::vector<pugi::xml_node> SvdDerivation::enumeratedValueSets(const SvdChain& chain) {
  for (const pugi::xml_node link : chain) {
    std::vector<pugi::xml_node> sets = childrenTagged(link, "enumeratedValues");
    if (!sets.empty()) return sets;
  }
  return {};
}

std::vector<pugi::xml_node> SvdDerivation::enumeratedValues(pugi::xml_node set) {
  SvdChain chain;
  if (!chainOf(set, chain)) return {};
  for (const pugi::xml_node link : chain) {
    std::vector<pugi::xml_node> values = childrenTagged(link, "enumeratedValue");
    if (!values.empty()) return values;
  }
  return {};
}

}  // namespace rw

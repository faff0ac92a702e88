// `derivedFrom` in a parsed CMSIS-SVD document: which elements an element
// takes what it does not say itself from, and what its registers, fields and
// enumerated values are once those are taken into account.
//
// Internal to the SVD reader.
#pragma once

#include <pugixml.hpp>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "svd/svd_reader_budget.h"

namespace rw {

// The children of an element that the reader reads by name.
enum class SvdTag {
  Name, Description, Dim, DimIncrement, DimIndex, BaseAddress, AddressOffset, Size, Access, ResetValue,
  BitOffset, BitWidth, Lsb, Msb, BitRange, Value, IsDefault, Registers, Fields, Count
};

// One element as the reader sees it, found in one pass over its children:
// its first child of each tag, its members (the registers and clusters of a
// cluster or of <registers>, the fields of <fields>, the value sets of a
// field, the values of a set) and the reference it derives from.
struct SvdElement {
  pugi::xml_node node;
  std::array<pugi::xml_node, static_cast<size_t>(SvdTag::Count)> tagged;
  std::vector<pugi::xml_node> members;
  std::string_view derivedFrom;

  // The first child of that tag, or a null node.
  pugi::xml_node operator[](SvdTag tag) const { return tagged[static_cast<size_t>(tag)]; }
};

// The element of `node`, read from its children.
SvdElement readSvdElement(pugi::xml_node node);

// An element followed by its base, that base's base and so on: for every
// child it does not have itself, an element takes the nearest one's.
using SvdChain = std::vector<pugi::xml_node>;

class SvdDerivation {
public:
  // Names that references may use, of elements of arrays too, and the text
  // of those names are spent from `budget`.
  SvdDerivation(pugi::xml_node peripherals, SvdBudget& budget) : peripherals_(peripherals), budget_(budget) {}

  // The element of `node`, read once and kept: an element is visited for
  // every element of each array around it and for every element derived
  // from it, and reading its children each time would let a small file
  // ask for work without bound.
  const SvdElement& element(pugi::xml_node node);

  // Into `chain`: the chain of `element` (just `element` when it derives
  // from nothing). False when a reference names nothing, runs in a cycle or
  // nests too deep: problem() and problemNode() then say why and where.
  bool chainOf(pugi::xml_node element, SvdChain& chain);

  // The registers and clusters of a peripheral: those of the nearest element
  // of its chain that has any, wholesale.
  const std::vector<pugi::xml_node>& peripheralMembers(const SvdChain& chain);
  // The registers and clusters of a cluster: its base's, each replaced by the
  // derived cluster's own of the same name, and its own new ones after them.
  const std::vector<pugi::xml_node>& clusterMembers(const SvdChain& chain);
  // The fields of a register or the enumerated-value sets of a field: those
  // of the nearest element of its chain that has any, wholesale.
  const std::vector<pugi::xml_node>& fields(const SvdChain& chain);
  const std::vector<pugi::xml_node>& enumeratedValueSets(const SvdChain& chain);
  // The set whose values a set has after its own derivation: the nearest
  // of its chain that has any; null when none has.
  pugi::xml_node enumeratedValueHolder(pugi::xml_node set);

  const std::string& problem() const { return problem_; }
  pugi::xml_node problemNode() const { return problemNode_; }
  bool failed() const { return !problem_.empty(); }

private:
  using NameIndex = std::unordered_map<std::string, pugi::xml_node>;

  pugi::xml_node findBase(pugi::xml_node element, std::string_view reference);
  pugi::xml_node findByPath(pugi::xml_node element, std::string_view path);
  pugi::xml_node findMember(pugi::xml_node container, std::string_view name);
  pugi::xml_node findEnumeratedValuesInPeripheral(pugi::xml_node element, std::string_view name);
  const NameIndex& namedChildren(pugi::xml_node holder);
  void fail(pugi::xml_node at, std::string problem);

  pugi::xml_node peripherals_;
  SvdBudget& budget_;
  size_t indexedNames_ = 0;
  std::unordered_map<const void*, SvdElement> elements_;
  std::unordered_map<const void*, SvdChain> chains_;
  // The members of derived clusters, merged with their bases'.
  std::unordered_map<const void*, std::vector<pugi::xml_node>> mergedMembers_;
  std::unordered_map<const void*, NameIndex> indexes_;
  std::unordered_map<const void*, NameIndex> enumIndexes_;
  // The elements whose chains are being found, outermost first: chainOf
  // calls nest through references that are paths.
  std::vector<pugi::xml_node> inProgress_;
  std::string problem_;
  pugi::xml_node problemNode_;
};

// "register UART0.CR" for a peripheral, cluster, register, field or value
// set: its tag, then the names of it and what holds it, from the peripheral.
std::string svdElementPath(pugi::xml_node element);

// The trimmed text of the first child `tag` of `element`; empty when none.
std::string_view svdChildText(pugi::xml_node element, const char* tag);

}  // namespace rw

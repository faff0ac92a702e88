// `derivedFrom` in a parsed CMSIS-SVD document: which elements an element
// takes what it does not say itself from, and what its registers, fields and
// enumerated values are once those are taken into account.
//
// Internal to the SVD reader.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "svd/svd_reader_budget.h"

namespace rw {

// An element followed by its base, that base's base and so on: for every
// child it does not have itself, an element takes the nearest one's.
using SvdChain = std::vector<pugi::xml_node>;

class SvdDerivation {
public:
  // References may name as many elements of arrays as `budget` allows
  // elements; the nodes looked at and the names made are spent from it.
  SvdDerivation(pugi::xml_node peripherals, SvdBudget& budget) : peripherals_(peripherals), budget_(budget) {}

  // Into `chain`: the chain of `element` (just `element` when it derives
  // from nothing). False when a reference names nothing, runs in a cycle or
  // nests too deep: problem() and problemNode() then say why and where.
  bool chainOf(pugi::xml_node element, SvdChain& chain);

  // The registers and clusters of a peripheral: those of the nearest element
  // of its chain that has any, wholesale. `from` is that element's place in
  // the chain (0 when none has any).
  std::vector<pugi::xml_node> peripheralMembers(const SvdChain& chain, size_t& from);
  // The registers and clusters of a cluster: its base's, each replaced by the
  // derived cluster's own of the same name, and its own new ones after them.
  std::vector<pugi::xml_node> clusterMembers(const SvdChain& chain);
  // The fields of a register or the enumerated-value sets of a field: those
  // of the nearest element of its chain that has any, wholesale.
  std::vector<pugi::xml_node> fields(const SvdChain& chain);
  std::vector<pugi::xml_node> enumeratedValueSets(const SvdChain& chain);
  // The values of one enumerated-value set, after its own derivation.
  std::vector<pugi::xml_node> enumeratedValues(pugi::xml_node set);

  const std::string& problem() const { return problem_; }
  pugi::xml_node problemNode() const { return problemNode_; }
  bool failed() const { return !problem_.empty(); }

private:
  using NameIndex = std::unordered_map<std::string, pugi::xml_node>;

  pugi::xml_node findBase(pugi::xml_node element, std::string_view reference);
  // The element of `element`'s kind that `parts` name, starting among the
  // members of `scope`; null for none.
  pugi::xml_node findFrom(pugi::xml_node scope, const std::vector<std::string_view>& parts, pugi::xml_node element);
  pugi::xml_node findMember(pugi::xml_node container, std::string_view name);
  pugi::xml_node findEnumeratedValuesInPeripheral(pugi::xml_node element, std::string_view name);
  const NameIndex& namedChildren(pugi::xml_node holder);
  // Reading children and attributes, each one looked at spent from the
  // budget: an element is read again for every element of each array around
  // it and for every element derived from it.
  bool hasChild(pugi::xml_node element, const char* tagA, const char* tagB = nullptr);
  // The children of `holder` with one of the two tags, in document order.
  std::vector<pugi::xml_node> childrenTagged(pugi::xml_node holder, const char* tagA, const char* tagB = nullptr);
  pugi::xml_node childNamed(pugi::xml_node element, const char* tag);
  std::string_view childText(pugi::xml_node element, const char* tag);
  std::string_view derivedFrom(pugi::xml_node element);
  void countReads(pugi::xml_node at, size_t count);
  void fail(pugi::xml_node at, std::string problem);

  pugi::xml_node peripherals_;
  SvdBudget& budget_;
  size_t indexedNames_ = 0;
  std::unordered_map<const void*, SvdChain> chains_;
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

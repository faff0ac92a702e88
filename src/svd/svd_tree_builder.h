// Turns the device element of a parsed CMSIS-SVD document into the loaded
// map's tree, by the rules a hand-written map of the same device follows.
//
// Internal to the SVD reader.
#pragma once

#include <pugixml.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "svd/svd_derivation.h"
#include "svd/svd_reader.h"
#include "svd/svd_reader_budget.h"
#include "svd/svd_values.h"
#include "memorymap/memory_map_element.h"
#include "xml/large_memory.h"

namespace rw {

// The children of one SVD element that the builder reads, found in one pass
// over them: asking pugixml for each by name passes over all of them again,
// most often for a child that is not there.
enum class SvdTag {
  Name, Description, Dim, DimIncrement, DimIndex, BaseAddress, AddressOffset, Size, Access, ResetValue,
  BitOffset, BitWidth, Lsb, Msb, BitRange, Value, IsDefault, HeaderStructName, GroupName, AlternatePeripheral,
  AlternateRegister, AlternateGroup, AlternateCluster, Count
};

class SvdChildren {
public:
  explicit SvdChildren(pugi::xml_node element);
  // The first child of that tag, or a null node.
  pugi::xml_node operator[](SvdTag tag) const { return nodes_[static_cast<size_t>(tag)]; }
  // The children looked at to find them: all of them.
  size_t count() const { return count_; }

private:
  std::array<pugi::xml_node, static_cast<size_t>(SvdTag::Count)> nodes_;
  size_t count_ = 0;
};

// An element followed by the elements of its derivation chain, by their
// children.
using SvdLinks = std::vector<SvdChildren>;

// Byte offsets of the line ends of a text, to give a node its line.
class SvdLines {
public:
  explicit SvdLines(std::string_view text);
  // The newlines before byte `offset`: the line, counted from 0.
  uint32_t linesBefore(ptrdiff_t offset) const;

private:
  LargeBuffer<uint32_t> newlines_;
  size_t count_ = 0;
  size_t capacity_ = 0;
  // The answer last given.
  mutable size_t hint_ = 0;
};

class SvdTreeBuilder {
public:
  // With `copyRepeats`, a peripheral whose registers another made the same
  // takes copies of them (see MadeMembers), and the registers of an array of
  // clusters find their fields once (KnownFields); without, everything is
  // made anew. The tree is the same either way.
  SvdTreeBuilder(pugi::xml_node device, const SvdLines& lines, const SvdBudget& budget, bool copyRepeats = true);

  // Null on failure; problem() and line() then say why and where (1-based).
  std::unique_ptr<MemoryMapElement> build();
  const std::string& problem() const { return problem_; }
  int line() const { return line_; }
  // In the order found, each once.
  const std::vector<SvdWarning>& warnings() const { return warnings_; }

private:
  using Attribute = std::pair<std::string_view, std::string_view>;
  // Where an element of a `dim` array lies in it, as the structure
  // attributes say it; empty texts for an element of no array.
  struct ArrayText {
    std::string_view name;
    std::string count;
    std::string increment;
    std::string_view dimIndex;
  };
  // One level of clusters around the registers being added.
  struct ClusterLevelText {
    std::string_view name;
    uint64_t offset = 0;
    uint64_t index = 0;
    uint64_t count = 1;
    uint64_t increment = 0;
    std::string_view dimIndex;
    std::string_view alternate;
  };
  // The cluster attributes of every register at the current level, made once
  // per element of a cluster rather than once per register.
  struct ClusterText {
    std::string names, offsets, indices, counts, increments, dimIndices, alternates;
  };
  // The register properties in force: the device's, then each enclosing
  // level's where it says them.
  struct RegisterProperties {
    std::optional<uint64_t> sizeBits;
    std::string_view access;
    std::optional<uint64_t> resetValue;
    bool operator==(const RegisterProperties&) const = default;
  };
  // What doing some work again would spend: from the bounds, and elements of
  // arrays. Work whose result is reused spends this instead of being done.
  struct RepeatCost {
    SvdBudget::Spent spent;
    size_t arrayElements = 0;
  };
  struct RepeatMark {
    SvdBudget::Spent spent;
    SvdBudget::Spent once;
    size_t arrayElements = 0;
  };
  RepeatMark repeatMark() const { return {budget_.spent(), budget_.spentOnce(), arrayElements_}; }
  // Since `mark`.
  RepeatCost repeatCost(const RepeatMark& mark) const {
    return {budget_.spentAgain(mark.spent, mark.once), arrayElements_ - mark.arrayElements};
  }
  // All of `cost`, or nothing and false when doing the work would pass a
  // bound (it is then done, and fails where it should).
  bool spendRepeat(const RepeatCost& cost);
  // A peripheral's registers as they were first made. Another peripheral
  // with the same members and register properties (one derived from it, the
  // next element of an array) would make the same elements again, as they
  // lie against its own start: it takes copies of them, and spends from the
  // bounds what making them again would have spent.
  struct MadeMembers {
    std::vector<pugi::xml_node> members;
    RegisterProperties properties;
    const MemoryMapElement* group = nullptr;
    size_t groupNameBytes = 0;
    RepeatCost again;
    // The furthest address checked while making them, from the group's
    // start.
    uint64_t reach = 0;
  };
  // The elements of a `dim` array, or the one element of anything else.
  struct Dimension {
    uint64_t count = 1;
    uint64_t increment = 0;
    // Nothing when the element is no array.
    std::optional<DimIndex> index;
  };
  struct EnumeratedItem {
    std::string name;
    std::string value;
    std::string description;
    bool isDefault = false;
  };
  // A field as all instances of its register share it.
  struct FieldShape {
    pugi::xml_node source;
    std::string_view name;
    Dimension dimension;
    uint64_t offset = 0;
    uint64_t width = 0;
    std::string description;
    std::string_view access;
    std::vector<EnumeratedItem> values;
  };

  void addPeripheral(MemoryMapElement& root, pugi::xml_node peripheral, const RegisterProperties& device);
  // The peripheral's name as the structure attributes refer to it: an
  // array's as written, else the name its group takes.
  std::string peripheralReference(const SvdChildren& peripheral);
  void addArrayAttributes(const ArrayText& array, const std::string& index);
  ArrayText arrayText(const SvdChildren& own, const Dimension& dimension);
  // The registers added until leaveCluster() lie in `level` too.
  void enterCluster(const ClusterLevelText& level);
  void leaveCluster();
  // clusterText_ for clusters_, made once for all the registers of one
  // element of a cluster; false, and a failure at `reg`, past the text bound.
  bool makeClusterText(pugi::xml_node reg);
  // The cluster attributes of a register in `clusters`; their size in bytes.
  static size_t clusterTextOf(const std::vector<ClusterLevelText>& clusters, ClusterText& text);
  // The peripheral's members into `group`, made or copied.
  // The fields of a register in an array of clusters, found for its first
  // element: the others have the same (see MadeMembers for the spending).
  struct KnownFields {
    std::vector<FieldShape> fields;
    RepeatCost again;
  };
  // The shapes of `fieldNodes`, the fields of `reg`, that make bit fields:
  // null on failure.
  const std::vector<FieldShape>* fieldShapes(pugi::xml_node reg, const std::vector<pugi::xml_node>& fieldNodes,
                                             bool makesElements, std::vector<FieldShape>& scratch);
  void addPeripheralMembers(MemoryMapElement& group, const std::vector<pugi::xml_node>& members,
                            const RegisterProperties& properties);
  // False, and nothing copied, when making them again would fail.
  bool copyMade(const MadeMembers& made, MemoryMapElement& group);
  void addMembers(MemoryMapElement& group, const std::vector<pugi::xml_node>& members, const std::string& prefix,
                  uint64_t address, const RegisterProperties& outer, int depth);
  void addCluster(MemoryMapElement& group, pugi::xml_node cluster, const std::string& prefix, uint64_t address,
                  const RegisterProperties& outer, int depth);
  void addRegister(MemoryMapElement& group, pugi::xml_node reg, const std::string& prefix, uint64_t address,
                   const RegisterProperties& outer);
  // The field as registers that make elements (`makesElements`) or none
  // need it.
  bool fieldShape(pugi::xml_node field, bool makesElements, FieldShape& shape);
  bool bitPosition(pugi::xml_node field, const SvdLinks& links, uint64_t& offset, uint64_t& width);
  // `reference` is the peripheral as the structure attributes name it.
  void addInterrupts(pugi::xml_node peripheral, const std::string& reference);

  RegisterProperties within(const RegisterProperties& outer, const SvdLinks& links);
  bool dimensionOf(pugi::xml_node element, const SvdChildren& own, Dimension& dimension);
  // `text` with the index name of element k of `dimension` put in, for an
  // array; a failure (and an empty text) past the text bound.
  std::string elementName(pugi::xml_node element, std::string_view text, const Dimension& dimension, uint64_t k);
  // The number in the text of `value` (a child of `element`), or a failure
  // that names the element when the text is absent or no number.
  std::optional<uint64_t> requiredNumber(pugi::xml_node element, pugi::xml_node value, const char* what);
  // `from` + `offset` + k * `increment` as an address; a failure that names
  // `element` when that is past 32 bits.
  std::optional<uint64_t> checkedAddress(pugi::xml_node element, uint64_t from, uint64_t offset, uint64_t k,
                                         uint64_t increment);
  // The trimmed text of `node`, its bytes spent from the text bound: an
  // element's texts are read again for each element of each array around
  // it and for each element derived from it.
  std::string_view textOf(pugi::xml_node node);
  std::string descriptionOf(const SvdLinks& links);
  // The children of `element`, the ones looked at spent from the bound.
  SvdChildren childrenOf(pugi::xml_node element);

  // A new element from `source`, with `attributes`, then `more` (those with
  // an empty value are left out); null, and a failure, past the element or
  // the text bound. `qualifierBytes` is the size of the names the header
  // puts in front of the element's own.
  MemoryMapElement* make(std::string_view tag, pugi::xml_node source, std::initializer_list<Attribute> attributes,
                         size_t qualifierBytes = 0, std::span<const Attribute> more = {});
  // Spends from the work bound; false, and a failure, past it.
  bool spendWork(pugi::xml_node at, size_t count);
  // The chain of `element`, and the same by children.
  bool chainOf(pugi::xml_node element, SvdChain& chain, SvdLinks& links);
  // False once something failed, taking over the derivation's problem.
  bool ok();
  void fail(pugi::xml_node at, std::string problem);
  // A warning about `at`, once however often it is read.
  void warn(pugi::xml_node at, std::string message);

  pugi::xml_node device_;
  const SvdLines& lines_;
  SvdBudget budget_;
  // Elements of arrays spelled out, whether or not they make elements of the
  // tree (an array of empty clusters makes none), bounded like the elements.
  size_t arrayElements_ = 0;
  SvdDerivation derivation_;
  // The group being filled: where it starts and the size of its name.
  uint64_t groupStart_ = 0;
  size_t groupNameBytes_ = 0;
  // The interrupts as vectors, in document order, and the names they took.
  std::vector<std::unique_ptr<MemoryMapElement>> vectors_;
  std::unordered_set<std::string> vectorNames_;
  // The structure attributes of the element being made, and the list of
  // all its attributes: kept from element to element, so that making one
  // allocates nothing for them.
  std::vector<Attribute> structure_;
  std::vector<XMLAttribute> attributeList_;
  // A field's chain, kept from field to field for the same reason.
  SvdChain fieldChain_;
  SvdLinks fieldLinks_;
  // The clusters around the registers being added, outermost first.
  std::vector<ClusterLevelText> clusters_;
  ClusterText clusterText_;
  bool clusterTextMade_ = true;
  bool copyRepeats_;
  // By the first member: peripherals derived from one base share it.
  std::unordered_map<const void*, std::vector<MadeMembers>> made_;
  // For the registers of the array of clusters being added, by register.
  std::unordered_map<const void*, KnownFields> clusterFields_;
  // The highest address checkedAddress() passed.
  uint64_t highestAddress_ = 0;
  std::vector<SvdWarning> warnings_;
  std::unordered_set<const void*> warned_;
  std::string problem_;
  int line_ = 0;
};

}  // namespace rw

#include "svd/svd_tree_builder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "expr/integer_literal.h"
#include "svd/svd_values.h"

namespace rw {

namespace {

// Clusters inside clusters: real files nest two or three deep. The bound
// keeps the builder's recursion, one level per cluster, far from the stack's
// end.
constexpr int kMaxClusterNesting = 32;

// The register width SVD assumes where no level says one.
constexpr uint64_t kDefaultRegisterBits = 32;

// The header writes every address as a 32-bit number: a register placed
// past that would be written at some other, wrapped address.
constexpr uint64_t kMaxAddress = 0xFFFFFFFF;

// The widest register SVD describes. A field past its own register's size
// but within this is kept: vendors leave out or get wrong a register's size
// more often than its fields' bits, the header has its rules for fields at
// bit 32 and above, and -check reports such a field. Past 64 bits no
// register has the bits, and the header's shifts would wrap.
constexpr uint64_t kMaxFieldBits = 64;

std::string hexText(uint64_t value) {
  std::string text;
  appendHexLiteral(text, value);
  return text;
}

// The tag a child name stands for; Count for the names the builder does not
// read. Most children are asked for by tag, so telling them apart costs one
// or two comparisons each.
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
      if (is("access")) return SvdTag::Access;
      if (is("alternateRegister")) return SvdTag::AlternateRegister;
      if (is("alternateGroup")) return SvdTag::AlternateGroup;
      if (is("alternateCluster")) return SvdTag::AlternateCluster;
      return is("alternatePeripheral") ? SvdTag::AlternatePeripheral : SvdTag::Count;
    case 'h': return is("headerStructName") ? SvdTag::HeaderStructName : SvdTag::Count;
    case 'g': return is("groupName") ? SvdTag::GroupName : SvdTag::Count;
    case 'b':
      if (is("bitOffset")) return SvdTag::BitOffset;
      if (is("bitWidth")) return SvdTag::BitWidth;
      if (is("bitRange")) return SvdTag::BitRange;
      return is("baseAddress") ? SvdTag::BaseAddress : SvdTag::Count;
    case 's': return is("size") ? SvdTag::Size : SvdTag::Count;
    case 'r': return is("resetValue") ? SvdTag::ResetValue : SvdTag::Count;
    case 'l': return is("lsb") ? SvdTag::Lsb : SvdTag::Count;
    case 'm': return is("msb") ? SvdTag::Msb : SvdTag::Count;
    case 'v': return is("value") ? SvdTag::Value : SvdTag::Count;
    case 'i': return is("isDefault") ? SvdTag::IsDefault : SvdTag::Count;
    default: return SvdTag::Count;
  }
}

// The `tag` child of the nearest element of the chain that has one.
pugi::xml_node nearest(const SvdLinks& links, SvdTag tag) {
  for (const SvdChildren& link : links) {
    if (const pugi::xml_node child = link[tag]) return child;
  }
  return {};
}

// An interrupt number: an SVD number, or one with a minus sign in front.
std::optional<int64_t> interruptNumber(std::string_view text) {
  text = trimmed(text);
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  const std::optional<uint64_t> magnitude = parseSvdNumber(text);
  if (!magnitude || *magnitude > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  const int64_t value = static_cast<int64_t>(*magnitude);
  return negative ? -value : value;
}

// `from` + `offset` + k * `increment`; nothing when that does not fit 64
// bits.
std::optional<uint64_t> offsetBy(uint64_t from, uint64_t offset, uint64_t k, uint64_t increment) {
  uint64_t step = 0;
  uint64_t sum = 0;
  if (__builtin_mul_overflow(k, increment, &step) || __builtin_add_overflow(from, offset, &sum) ||
      __builtin_add_overflow(sum, step, &sum)) {
    return std::nullopt;
  }
  return sum;
}

}  // namespace

SvdChildren::SvdChildren(pugi::xml_node element) {
  for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
    ++count_;
    const SvdTag tag = tagOf(child.name());
    if (tag != SvdTag::Count && !nodes_[static_cast<size_t>(tag)]) nodes_[static_cast<size_t>(tag)] = child;
  }
}

SvdLines::SvdLines(std::string_view text) {
  // Room for a line in every eight bytes: lines are longer, and room never
  // written costs nothing, where growing copies what was counted into fresh
  // memory.
  for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', text.data() + text.size() - p)));
       ++p) {
    if (count_ == capacity_) {
      const size_t capacity = std::max(capacity_ * 2, text.size() / 8 + 1);
      LargeBuffer<uint32_t> grown(static_cast<uint32_t*>(allocateLarge(capacity * sizeof(uint32_t))));
      if (grown == nullptr) throw std::bad_alloc();
      if (count_ != 0) std::memcpy(grown.get(), newlines_.get(), count_ * sizeof(uint32_t));
      newlines_ = std::move(grown);
      capacity_ = capacity;
    }
    newlines_[count_++] = static_cast<uint32_t>(p - text.data());
  }
}

uint32_t SvdLines::linesBefore(ptrdiff_t offset) const {
  if (offset <= 0) return 0;
  const uint32_t* const first = newlines_.get();
  const uint32_t* const last = first + count_;
  // Asked mostly for the next element of the document: the answer is near
  // the last one, found in a step or two before searching the whole index.
  const auto wanted = static_cast<uint64_t>(offset);
  const uint32_t* from = first;
  const uint32_t* to = last;
  const uint32_t* const near = first + hint_;
  if (near == first || near[-1] < wanted) {
    from = near;
    if (near + 8 < last && near[8] >= wanted) to = near + 8;
  }
  const uint32_t* const found = std::lower_bound(from, to, wanted);
  hint_ = static_cast<size_t>(found - first);
  return static_cast<uint32_t>(hint_);
}

SvdTreeBuilder::SvdTreeBuilder(pugi::xml_node device, const SvdLines& lines, const SvdBudget& budget,
                               bool copyRepeats)
    : device_(device),
      lines_(lines),
      budget_(budget),
      derivation_(device.child("peripherals"), budget_),
      copyRepeats_(copyRepeats) {}

void SvdTreeBuilder::fail(pugi::xml_node at, std::string problem) {
  if (!problem_.empty()) return;
  problem_ = std::move(problem);
  line_ = static_cast<int>(lines_.linesBefore(at.offset_debug())) + 1;
}

void SvdTreeBuilder::warn(pugi::xml_node at, std::string message) {
  if (!warned_.insert(at.internal_object()).second) return;
  warnings_.push_back({static_cast<int>(lines_.linesBefore(at.offset_debug())) + 1, std::move(message)});
}

bool SvdTreeBuilder::ok() {
  if (problem_.empty() && derivation_.failed()) fail(derivation_.problemNode(), derivation_.problem());
  return problem_.empty();
}

bool SvdTreeBuilder::chainOf(pugi::xml_node element, SvdChain& chain, SvdLinks& links) {
  derivation_.chainOf(element, chain);
  links.clear();
  for (const pugi::xml_node link : chain) links.push_back(childrenOf(link));
  return ok();
}

bool SvdTreeBuilder::spendWork(pugi::xml_node at, size_t count) {
  if (budget_.spendWork(count)) return true;
  fail(at, budget_.workProblem());
  return false;
}

MemoryMapElement* SvdTreeBuilder::make(std::string_view tag, pugi::xml_node source,
                                       std::initializer_list<Attribute> attributes, size_t qualifierBytes,
                                       std::span<const Attribute> more) {
  if (!budget_.spendKept(1)) {
    fail(source, budget_.keptProblem());
    return nullptr;
  }
  size_t textBytes = qualifierBytes;
  for (const auto& [name, value] : attributes) textBytes += value.size();
  for (const auto& [name, value] : more) textBytes += value.size();
  if (!budget_.spendText(textBytes)) {
    fail(source, budget_.textProblem());
    return nullptr;
  }
  attributeList_.clear();
  for (const auto& [name, value] : attributes) {
    if (!value.empty()) attributeList_.push_back(XMLAttribute{name, value, true});
  }
  for (const auto& [name, value] : more) {
    if (!value.empty()) attributeList_.push_back(XMLAttribute{name, value, true});
  }
  auto* element = new MemoryMapElement(tag, attributeList_);
  element->line = lines_.linesBefore(source.offset_debug());
  return element;
}

std::string_view SvdTreeBuilder::textOf(pugi::xml_node node) {
  const char* text = node.text().get();
  const size_t size = std::strlen(text);
  if (!budget_.spendText(size)) {
    fail(node, budget_.textProblem());
    return {};
  }
  return trimmed(std::string_view(text, size));
}

SvdChildren SvdTreeBuilder::childrenOf(pugi::xml_node element) {
  SvdChildren children(element);
  if (!budget_.spendNodeReads(children.count())) fail(element, budget_.nodeReadsProblem());
  return children;
}

std::string SvdTreeBuilder::descriptionOf(const SvdLinks& links) {
  return collapseWhitespace(textOf(nearest(links, SvdTag::Description)));
}

std::optional<uint64_t> SvdTreeBuilder::requiredNumber(pugi::xml_node element, pugi::xml_node value,
                                                       const char* what) {
  if (!value) {
    fail(element, svdElementPath(element) + " has no " + what);
    return std::nullopt;
  }
  const std::string_view text = textOf(value);
  const std::optional<uint64_t> number = parseSvdNumber(text);
  if (!number) fail(value, svdElementPath(element) + " has a " + what + " that is no number: " + std::string(text));
  return number;
}

std::optional<uint64_t> SvdTreeBuilder::checkedAddress(pugi::xml_node element, uint64_t from, uint64_t offset,
                                                       uint64_t k, uint64_t increment) {
  const std::optional<uint64_t> sum = offsetBy(from, offset, k, increment);
  if (sum && *sum <= kMaxAddress) {
    highestAddress_ = std::max(highestAddress_, *sum);
    return sum;
  }
  fail(element, svdElementPath(element) +
                    (sum ? " has address " + hexText(*sum) + ", past 32 bits" : " has an address past 64 bits"));
  return std::nullopt;
}

SvdTreeBuilder::RegisterProperties SvdTreeBuilder::within(const RegisterProperties& outer, const SvdLinks& links) {
  RegisterProperties inner = outer;
  // A size or reset value that is no number says nothing: the enclosing one
  // stays.
  if (const std::optional<uint64_t> bits = parseSvdNumber(textOf(nearest(links, SvdTag::Size)))) inner.sizeBits = bits;
  if (const std::string_view access = textOf(nearest(links, SvdTag::Access)); !access.empty()) inner.access = access;
  if (const std::optional<uint64_t> reset = parseSvdNumber(textOf(nearest(links, SvdTag::ResetValue)))) {
    inner.resetValue = reset;
  }
  return inner;
}

std::string SvdTreeBuilder::elementName(pugi::xml_node element, std::string_view text, const Dimension& dimension,
                                        uint64_t k) {
  if (!dimension.index) return std::string(text);
  const std::string index = dimension.index->name(k);
  if (!budget_.spendText(substitutedSize(text, index))) {
    fail(element, budget_.textProblem());
    return {};
  }
  return substituteIndex(text, index);
}

// Only the element's own dim counts: an array's shape is never inherited.
bool SvdTreeBuilder::dimensionOf(pugi::xml_node element, const SvdChildren& own, Dimension& dimension) {
  dimension = Dimension();
  const pugi::xml_node dim = own[SvdTag::Dim];
  if (!dim) return true;
  const std::optional<uint64_t> count = requiredNumber(element, dim, "dim");
  if (!count) return false;
  if (*count > kMaxSvdDimension) {
    fail(dim, svdElementPath(element) + " has dim " + std::to_string(*count) + ", more than " +
                  std::to_string(kMaxSvdDimension));
    return false;
  }
  arrayElements_ += *count;
  if (arrayElements_ > budget_.maxElements()) {
    fail(dim, "more than " + std::to_string(budget_.maxElements()) + " elements of arrays");
    return false;
  }
  dimension.count = *count;
  if (*count > 1) {
    const pugi::xml_node increment = own[SvdTag::DimIncrement];
    const std::optional<uint64_t> value = parseSvdNumber(textOf(increment));
    if (!value) {
      fail(element, svdElementPath(element) + " has dim " + std::to_string(*count) + " but no usable dimIncrement");
      return false;
    }
    dimension.increment = *value;
  }
  const std::string_view indexText = textOf(own[SvdTag::DimIndex]);
  dimension.index.emplace(indexText);
  // Elements without a name of their own still have their place; only their
  // names need saying.
  const std::optional<uint64_t> names = dimension.index->size();
  if (names && *names != *count && *count != 0) {
    warn(own[SvdTag::DimIndex],
         svdElementPath(element) + " has dim " + std::to_string(*count) + " but its dimIndex " +
             std::string(indexText) + " names " + std::to_string(*names) + " elements: " +
             (*names < *count ? "the others are named by their numbers" : "the names past the dim are not used"));
  }
  return ok();
}

std::unique_ptr<MemoryMapElement> SvdTreeBuilder::build() {
  // The CPU as written, for the outputs that name the core.
  const pugi::xml_node cpu = device_.child("cpu");
  const std::string_view systickConfig = svdChildText(cpu, "vendorSystickConfig");
  std::unique_ptr<MemoryMapElement> root(make("Root", device_,
                                              {{"name", svdChildText(device_, "name")},
                                               {"description", collapseWhitespace(svdChildText(device_, "description"))},
                                               {"cpu_name", svdChildText(cpu, "name")},
                                               {"cpu_revision", svdChildText(cpu, "revision")},
                                               {"cpu_endian", svdChildText(cpu, "endian")},
                                               {"cpu_mpu_present", svdChildText(cpu, "mpuPresent")},
                                               {"cpu_fpu_present", svdChildText(cpu, "fpuPresent")},
                                               {"cpu_nvic_prio_bits", svdChildText(cpu, "nvicPrioBits")},
                                               {"cpu_vendor_systick_config", systickConfig}}));
  if (root == nullptr) return nullptr;
  const RegisterProperties device = within(RegisterProperties(), SvdLinks{childrenOf(device_)});
  for (pugi::xml_node peripheral : device_.child("peripherals").children("peripheral")) {
    addPeripheral(*root, peripheral, device);
    if (!ok()) return nullptr;
  }
  for (std::unique_ptr<MemoryMapElement>& vector : vectors_) root->appendChild(vector.release());
  vectors_.clear();
  return root;
}

void SvdTreeBuilder::addPeripheral(MemoryMapElement& root, pugi::xml_node peripheral, const RegisterProperties& device) {
  SvdChain chain;
  SvdLinks links;
  Dimension dimension;
  if (!chainOf(peripheral, chain, links) || !dimensionOf(peripheral, links[0], dimension)) return;
  const RegisterProperties properties = within(device, links);
  const std::optional<uint64_t> base = requiredNumber(peripheral, nearest(links, SvdTag::BaseAddress), "baseAddress");
  if (!base) return;
  size_t layoutLink = 0;
  const std::vector<pugi::xml_node> members = derivation_.peripheralMembers(chain, layoutLink);
  // A peripheral shares the layout of the base whose registers it takes only
  // when they come out the same there: a size, access or reset value said
  // on the way changes them. The furthest such base is the layout.
  for (; layoutLink != 0; --layoutLink) {
    const RegisterProperties there =
        within(device, SvdLinks(links.begin() + static_cast<ptrdiff_t>(layoutLink), links.end()));
    if (there.sizeBits == properties.sizeBits && there.access == properties.access &&
        there.resetValue == properties.resetValue) {
      break;
    }
  }
  const std::string layout = peripheralReference(links[layoutLink]);
  const std::string reference = peripheralReference(links[0]);
  // The struct's names come with the registers.
  const SvdLinks layoutLinks(links.begin(), links.begin() + static_cast<ptrdiff_t>(layoutLink) + 1);
  const std::string_view headerStructName = textOf(nearest(layoutLinks, SvdTag::HeaderStructName));
  const std::string_view svdGroupName = textOf(nearest(layoutLinks, SvdTag::GroupName));
  const std::string_view alternatePeripheral = textOf(links[0][SvdTag::AlternatePeripheral]);
  const std::string_view derivedFrom = trimmed(peripheral.attribute("derivedFrom").value());
  const ArrayText array = arrayText(links[0], dimension);
  const std::string_view name = textOf(links[0][SvdTag::Name]);
  const std::string description = descriptionOf(links);
  for (uint64_t k = 0; k < dimension.count; ++k) {
    const std::optional<uint64_t> start = checkedAddress(peripheral, *base, 0, k, dimension.increment);
    if (!start) return;
    const std::string groupName = cIdentifier(elementName(peripheral, name, dimension, k));
    const std::string groupDescription = elementName(peripheral, description, dimension, k);
    if (!ok()) return;
    const std::string startText = hexText(*start);
    const std::string index = std::to_string(k);
    structure_.assign({{"layout", layout},
                       {"derived_from", derivedFrom},
                       {"header_struct_name", headerStructName},
                       {"group_name", svdGroupName},
                       {"alternate_peripheral", alternatePeripheral}});
    addArrayAttributes(array, index);
    MemoryMapElement* group = make("RegisterGroup", peripheral,
                                   {{"name", groupName},
                                    {"start", startText},
                                    {"prepend_group_name", "1"},
                                    {"description", groupDescription}},
                                   0, structure_);
    if (group == nullptr) return;
    root.appendChild(group);
    groupStart_ = *start;
    groupNameBytes_ = groupName.size();
    addPeripheralMembers(*group, members, properties);
    if (!ok()) return;
  }
  addInterrupts(peripheral, reference);
}

namespace {

// Peripherals derived from one base with different sizes, access or reset
// values each make theirs: past this many, the others are not remembered,
// so that looking for them stays short.
constexpr size_t kMaxMadePerMembers = 4;

void copyChildren(const XMLNode& from, XMLNode& to) {
  for (const XMLNode* child = from.firstChild; child != nullptr; child = child->nextSibling) {
    const MemoryMapElement* element = asMemoryMapElement(child);
    if (element == nullptr) continue;
    auto* copy = new MemoryMapElement(*element, {});
    copy->line = element->line;
    to.appendChild(copy);
    copyChildren(*element, *copy);
  }
}

}  // namespace

void SvdTreeBuilder::addPeripheralMembers(MemoryMapElement& group, const std::vector<pugi::xml_node>& members,
                                          const RegisterProperties& properties) {
  if (members.empty()) return;
  std::vector<MadeMembers>* alike = nullptr;
  if (copyRepeats_) {
    alike = &made_[members.front().internal_object()];
    for (const MadeMembers& made : *alike) {
      if (made.members == members && made.properties == properties) {
        // When copying would pass a bound, making them fails where it should.
        if (copyMade(made, group)) return;
        alike = nullptr;
        break;
      }
    }
  }
  const RepeatMark mark = repeatMark();
  highestAddress_ = groupStart_;
  addMembers(group, members, std::string(), groupStart_, properties, 0);
  if (alike == nullptr || alike->size() >= kMaxMadePerMembers || !ok()) return;
  alike->push_back(
      {members, properties, &group, groupNameBytes_, repeatCost(mark), highestAddress_ - groupStart_});
}

bool SvdTreeBuilder::spendRepeat(const RepeatCost& cost) {
  if (cost.arrayElements > budget_.maxElements() - arrayElements_ || !budget_.spendAll(cost.spent)) return false;
  arrayElements_ += cost.arrayElements;
  return true;
}

bool SvdTreeBuilder::copyMade(const MadeMembers& made, MemoryMapElement& group) {
  // Every element made says the group's name in its text bytes.
  RepeatCost cost = made.again;
  SvdBudget::Spent& spent = cost.spent;
  spent.textBytes = spent.textBytes - made.groupNameBytes * spent.kept + groupNameBytes_ * spent.kept;
  if (made.reach > kMaxAddress - groupStart_ || !spendRepeat(cost)) return false;
  copyChildren(*made.group, group);
  return true;
}

std::string SvdTreeBuilder::peripheralReference(const SvdChildren& peripheral) {
  const std::string_view name = textOf(peripheral[SvdTag::Name]);
  return peripheral[SvdTag::Dim] ? std::string(name) : cIdentifier(name);
}

SvdTreeBuilder::ArrayText SvdTreeBuilder::arrayText(const SvdChildren& own, const Dimension& dimension) {
  if (!dimension.index) return {};
  return {textOf(own[SvdTag::Name]), std::to_string(dimension.count), hexText(dimension.increment),
          textOf(own[SvdTag::DimIndex])};
}

void SvdTreeBuilder::addArrayAttributes(const ArrayText& array, const std::string& index) {
  if (array.name.empty()) return;
  structure_.insert(structure_.end(), {{"array", array.name},
                                       {"array_index", index},
                                       {"array_count", array.count},
                                       {"array_increment", array.increment},
                                       {"array_dim_index", array.dimIndex}});
}

// Interrupts belong to the peripheral that names them, never to one derived
// from it; an array of peripherals names each of them once.
void SvdTreeBuilder::addInterrupts(pugi::xml_node peripheral, const std::string& reference) {
  for (pugi::xml_node interrupt : peripheral.children("interrupt")) {
    const std::optional<int64_t> number = interruptNumber(svdChildText(interrupt, "value"));
    if (!number) continue;
    std::string name = cIdentifier(svdChildText(interrupt, "name")) + "_IRQn";
    if (!vectorNames_.insert(name).second) continue;
    MemoryMapElement* vector = make("Vector", interrupt,
                                    {{"name", name},
                                     {"start", std::to_string(*number)},
                                     {"description", collapseWhitespace(svdChildText(interrupt, "description"))},
                                     {"peripheral", reference}});
    if (vector == nullptr) return;
    vectors_.emplace_back(vector);
  }
}

// The texts are made when a register needs them: an array of empty
// clusters makes none.
void SvdTreeBuilder::enterCluster(const ClusterLevelText& level) {
  clusters_.push_back(level);
  clusterTextMade_ = false;
}

void SvdTreeBuilder::leaveCluster() {
  clusters_.pop_back();
  clusterTextMade_ = false;
}

bool SvdTreeBuilder::makeClusterText(pugi::xml_node reg) {
  if (clusterTextMade_) return true;
  clusterTextMade_ = true;
  if (budget_.spendText(clusterTextOf(clusters_, clusterText_))) return true;
  fail(reg, budget_.textProblem());
  return false;
}

size_t SvdTreeBuilder::clusterTextOf(const std::vector<ClusterLevelText>& clusters, ClusterText& text) {
  text = ClusterText();
  bool anyDimIndex = false;
  bool anyAlternate = false;
  for (const ClusterLevelText& level : clusters) {
    anyDimIndex = anyDimIndex || !level.dimIndex.empty();
    anyAlternate = anyAlternate || !level.alternate.empty();
  }
  for (size_t i = 0; i < clusters.size(); ++i) {
    const ClusterLevelText& level = clusters[i];
    const std::string_view separator = i == 0 ? "" : ";";
    text.names.append(separator).append(level.name);
    text.offsets.append(separator);
    appendHexLiteral(text.offsets, level.offset);
    text.indices.append(separator).append(std::to_string(level.index));
    text.counts.append(separator).append(std::to_string(level.count));
    text.increments.append(separator);
    appendHexLiteral(text.increments, level.increment);
    if (anyDimIndex) text.dimIndices.append(separator).append(level.dimIndex);
    if (anyAlternate) text.alternates.append(separator).append(level.alternate);
  }
  return text.names.size() + text.offsets.size() + text.indices.size() + text.counts.size() +
         text.increments.size() + text.dimIndices.size() + text.alternates.size();
}

// Each member looked at counts as work, whether it makes any element (a
// register of dim 0 makes none): an array of clusters repeats all of its
// members.
void SvdTreeBuilder::addMembers(MemoryMapElement& group, const std::vector<pugi::xml_node>& members,
                                const std::string& prefix, uint64_t address, const RegisterProperties& outer,
                                int depth) {
  for (const pugi::xml_node member : members) {
    if (!spendWork(member, 1)) return;
    if (std::strcmp(member.name(), "register") == 0) {
      addRegister(group, member, prefix, address, outer);
    } else {
      addCluster(group, member, prefix, address, outer, depth);
    }
    if (!ok()) return;
  }
}

// A cluster is spelled out: its registers join the group, named after the
// cluster and placed from the cluster's offset.
void SvdTreeBuilder::addCluster(MemoryMapElement& group, pugi::xml_node cluster, const std::string& prefix,
                                uint64_t address, const RegisterProperties& outer, int depth) {
  if (depth >= kMaxClusterNesting) {
    fail(cluster, svdElementPath(cluster) + " nests clusters more than " + std::to_string(kMaxClusterNesting) + " deep");
    return;
  }
  SvdChain chain;
  SvdLinks links;
  Dimension dimension;
  if (!chainOf(cluster, chain, links) || !dimensionOf(cluster, links[0], dimension)) return;
  const std::optional<uint64_t> clusterOffset =
      requiredNumber(cluster, nearest(links, SvdTag::AddressOffset), "addressOffset");
  if (!clusterOffset) return;
  const RegisterProperties properties = within(outer, links);
  if (dimension.count == 0) return;
  const std::vector<pugi::xml_node> members = derivation_.clusterMembers(chain);
  const std::string_view name = textOf(links[0][SvdTag::Name]);
  ClusterLevelText level{name,
                         *clusterOffset,
                         0,
                         dimension.count,
                         dimension.increment,
                         dimension.index ? textOf(links[0][SvdTag::DimIndex]) : std::string_view(),
                         textOf(links[0][SvdTag::AlternateCluster])};
  for (uint64_t k = 0; k < dimension.count; ++k) {
    const std::optional<uint64_t> start = checkedAddress(cluster, address, *clusterOffset, k, dimension.increment);
    if (!start) return;
    const std::string clusterName = elementName(cluster, name, dimension, k);
    if (!budget_.spendText(prefix.size() + 1)) fail(cluster, budget_.textProblem());
    if (!ok()) return;
    // An empty cluster holds no register to say it lies in it.
    if (members.empty()) continue;
    level.index = k;
    enterCluster(level);
    addMembers(group, members, prefix + clusterName + "_", *start, properties, depth + 1);
    leaveCluster();
    if (!ok()) return;
  }
  if (clusters_.empty()) clusterFields_.clear();
}

void SvdTreeBuilder::addRegister(MemoryMapElement& group, pugi::xml_node reg, const std::string& prefix,
                                 uint64_t address, const RegisterProperties& outer) {
  SvdChain chain;
  SvdLinks links;
  Dimension dimension;
  if (!chainOf(reg, chain, links) || !dimensionOf(reg, links[0], dimension)) return;
  const std::optional<uint64_t> registerOffset =
      requiredNumber(reg, nearest(links, SvdTag::AddressOffset), "addressOffset");
  if (!registerOffset) return;
  const RegisterProperties properties = within(outer, links);
  // Every field is looked at, also for a register of dim 0, whose fields
  // must still be well-formed; only those that make bit fields are kept.
  const std::vector<pugi::xml_node> fieldNodes = derivation_.fields(chain);
  if (!spendWork(reg, fieldNodes.size())) return;
  std::vector<FieldShape> scratch;
  const std::vector<FieldShape>* const shapes = fieldShapes(reg, fieldNodes, dimension.count != 0, scratch);
  if (shapes == nullptr) return;
  const std::vector<FieldShape>& fields = *shapes;
  const uint64_t bits = properties.sizeBits.value_or(kDefaultRegisterBits);
  const std::string size = std::to_string(bits / 8 + (bits % 8 != 0 ? 1 : 0));
  const std::string resetText = properties.resetValue ? hexText(*properties.resetValue) : std::string();
  const std::string_view name = textOf(links[0][SvdTag::Name]);
  const std::string description = descriptionOf(links);
  const ArrayText array = arrayText(links[0], dimension);
  // Alternates are the element's own: a base's names registers beside the
  // base.
  const std::string_view alternateRegister = textOf(links[0][SvdTag::AlternateRegister]);
  const std::string_view alternateGroup = textOf(links[0][SvdTag::AlternateGroup]);
  if (!clusters_.empty() && !makeClusterText(reg)) return;
  for (uint64_t k = 0; k < dimension.count; ++k) {
    const std::optional<uint64_t> start = checkedAddress(reg, address, *registerOffset, k, dimension.increment);
    if (!start) return;
    const std::string member = elementName(reg, name, dimension, k);
    const std::string registerName = cIdentifier(prefix + member);
    const std::string registerDescription = elementName(reg, description, dimension, k);
    if (!ok()) return;
    const std::string startText = "+" + hexText(*start - groupStart_);
    const std::string index = std::to_string(k);
    structure_.assign(
        {{"member", member}, {"alternate_register", alternateRegister}, {"alternate_group", alternateGroup}});
    addArrayAttributes(array, index);
    if (!clusters_.empty()) {
      structure_.insert(structure_.end(), {{"clusters", clusterText_.names},
                                           {"cluster_offsets", clusterText_.offsets},
                                           {"cluster_indices", clusterText_.indices},
                                           {"cluster_counts", clusterText_.counts},
                                           {"cluster_increments", clusterText_.increments},
                                           {"cluster_dim_indices", clusterText_.dimIndices},
                                           {"cluster_alternates", clusterText_.alternates}});
    }
    MemoryMapElement* element = make("Register", reg,
                                     {{"name", registerName},
                                      {"start", startText},
                                      {"size", size},
                                      {"description", registerDescription},
                                      {"access", properties.access},
                                      {"reset_value", resetText}},
                                     groupNameBytes_, structure_);
    if (element == nullptr) return;
    group.appendChild(element);
    const size_t registerQualifier = groupNameBytes_ + registerName.size();
    for (const FieldShape& field : fields) {
      for (uint64_t j = 0; j < field.dimension.count; ++j) {
        const std::string fieldName = cIdentifier(elementName(field.source, field.name, field.dimension, j));
        const std::string fieldDescription = elementName(field.source, field.description, field.dimension, j);
        if (!ok()) return;
        MemoryMapElement* bitField = make("BitField", field.source,
                                          {{"name", fieldName},
                                           {"start", std::to_string(field.offset + j * field.dimension.increment)},
                                           {"size", std::to_string(field.width)},
                                           {"description", fieldDescription},
                                           {"access", field.access}},
                                          registerQualifier);
        if (bitField == nullptr) return;
        element->appendChild(bitField);
        for (const EnumeratedItem& value : field.values) {
          MemoryMapElement* item = make("Enum", field.source,
                                        {{"name", value.name},
                                         {"start", value.value},
                                         {"description", value.description},
                                         {"is_default", value.isDefault ? "1" : ""}},
                                        registerQualifier + fieldName.size());
          if (item == nullptr) return;
          bitField->appendChild(item);
        }
      }
    }
  }
}

const std::vector<SvdTreeBuilder::FieldShape>* SvdTreeBuilder::fieldShapes(
    pugi::xml_node reg, const std::vector<pugi::xml_node>& fieldNodes, bool makesElements,
    std::vector<FieldShape>& scratch) {
  KnownFields* known = nullptr;
  if (copyRepeats_ && !clusters_.empty()) {
    const auto [slot, fresh] = clusterFields_.try_emplace(reg.internal_object());
    known = &slot->second;
    // When finding them again would pass a bound, finding them fails where
    // it should.
    if (!fresh && spendRepeat(known->again)) return &known->fields;
    if (!fresh) known = nullptr;
  }
  const RepeatMark mark = repeatMark();
  std::vector<FieldShape>& fields = known != nullptr ? known->fields : scratch;
  for (const pugi::xml_node field : fieldNodes) {
    if (!fieldShape(field, makesElements, fields.emplace_back())) return nullptr;
    if (fields.back().width == 0 || fields.back().dimension.count == 0) fields.pop_back();
  }
  if (known != nullptr) known->again = repeatCost(mark);
  return &fields;
}

bool SvdTreeBuilder::fieldShape(pugi::xml_node field, bool makesElements, FieldShape& shape) {
  SvdChain& chain = fieldChain_;
  SvdLinks& links = fieldLinks_;
  if (!chainOf(field, chain, links) || !dimensionOf(field, links[0], shape.dimension) ||
      !bitPosition(field, links, shape.offset, shape.width)) {
    return false;
  }
  const Dimension& dimension = shape.dimension;
  if (shape.width != 0 && dimension.count > 1) {
    const std::optional<uint64_t> last = offsetBy(shape.offset, 0, dimension.count - 1, dimension.increment);
    if (!last || *last > kMaxFieldBits - shape.width) {
      fail(field, svdElementPath(field) + " has element " + std::to_string(dimension.count - 1) + " past bit " +
                      std::to_string(kMaxFieldBits - 1));
      return false;
    }
  }
  shape.source = field;
  shape.name = textOf(links[0][SvdTag::Name]);
  shape.description = descriptionOf(links);
  shape.access = textOf(nearest(links, SvdTag::Access));
  // The values of a field that makes no bit field are not copied, nor looked
  // at, but their sets must still be found.
  const bool copiesValues = makesElements && shape.width != 0 && dimension.count != 0;
  for (const pugi::xml_node set : derivation_.enumeratedValueSets(chain)) {
    if (!copiesValues) {
      SvdChain setChain;
      if (!derivation_.chainOf(set, setChain) || !ok()) return false;
      continue;
    }
    const std::vector<pugi::xml_node> values = derivation_.enumeratedValues(set);
    if (!ok()) return false;
    // Every value copied counts as work: fields of many registers may share
    // a set of thousands.
    if (!spendWork(set, values.size())) return false;
    shape.values.reserve(shape.values.size() + values.size());
    for (const pugi::xml_node value : values) {
      const SvdChildren own = childrenOf(value);
      EnumeratedItem& item = shape.values.emplace_back();
      item.name = cIdentifier(textOf(own[SvdTag::Name]));
      // A value with don't-care bits ("#1x0") is no number; it is kept as
      // written.
      const std::string_view text = textOf(own[SvdTag::Value]);
      const std::optional<uint64_t> number = parseSvdNumber(text);
      item.value = number ? hexText(*number) : std::string(text);
      item.description = collapseWhitespace(textOf(own[SvdTag::Description]));
      const std::string_view isDefault = textOf(own[SvdTag::IsDefault]);
      item.isDefault = isDefault == "true" || isDefault == "1";
    }
    if (!ok()) return false;
  }
  return ok();
}

// The nearest element of the chain that says where the field lies decides
// the form; parts it leaves out come from further up the chain.
bool SvdTreeBuilder::bitPosition(pugi::xml_node field, const SvdLinks& links, uint64_t& offset, uint64_t& width) {
  static constexpr SvdTag kPositionTags[] = {SvdTag::BitRange, SvdTag::Lsb, SvdTag::Msb, SvdTag::BitOffset,
                                             SvdTag::BitWidth};
  const auto decider = std::find_if(links.begin(), links.end(), [](const SvdChildren& link) {
    return std::any_of(std::begin(kPositionTags), std::end(kPositionTags), [&link](SvdTag tag) { return link[tag]; });
  });
  if (decider == links.end()) {
    fail(field, svdElementPath(field) + " has no bit position");
    return false;
  }
  uint64_t lsb = 0;
  uint64_t msb = 0;
  if (const pugi::xml_node range = (*decider)[SvdTag::BitRange]) {
    const std::string_view text = textOf(range);
    const size_t colon = text.find(':');
    std::optional<uint64_t> high;
    std::optional<uint64_t> low;
    if (text.starts_with('[') && text.ends_with(']') && colon != std::string_view::npos) {
      high = parseSvdNumber(text.substr(1, colon - 1));
      low = parseSvdNumber(text.substr(colon + 1, text.size() - colon - 2));
    }
    if (!high || !low) {
      fail(range, svdElementPath(field) + " has a bitRange that is not [msb:lsb]: " + std::string(text));
      return false;
    }
    msb = *high;
    lsb = *low;
  } else if ((*decider)[SvdTag::Lsb] || (*decider)[SvdTag::Msb]) {
    const std::optional<uint64_t> low = requiredNumber(field, nearest(links, SvdTag::Lsb), "lsb");
    const std::optional<uint64_t> high = low ? requiredNumber(field, nearest(links, SvdTag::Msb), "msb") : std::nullopt;
    if (!high) return false;
    msb = *high;
    lsb = *low;
  } else {
    const std::optional<uint64_t> bitOffset = requiredNumber(field, nearest(links, SvdTag::BitOffset), "bitOffset");
    if (!bitOffset) return false;
    const pugi::xml_node bitWidth = nearest(links, SvdTag::BitWidth);
    const std::optional<uint64_t> bits = bitWidth ? requiredNumber(field, bitWidth, "bitWidth") : uint64_t{1};
    if (!bits) return false;
    // Width 0 makes no bit field, wherever it starts.
    if (*bits != 0 && (*bits > kMaxFieldBits || *bitOffset > kMaxFieldBits - *bits)) {
      fail(field, svdElementPath(field) + " has bitOffset " + std::to_string(*bitOffset) + " and bitWidth " +
                      std::to_string(*bits) + ", past bit " + std::to_string(kMaxFieldBits - 1));
      return false;
    }
    offset = *bitOffset;
    width = *bits;
    return true;
  }
  if (msb < lsb) {
    fail(field, svdElementPath(field) + " has its msb " + std::to_string(msb) + " below its lsb " + std::to_string(lsb));
    return false;
  }
  if (msb >= kMaxFieldBits) {
    fail(field, svdElementPath(field) + " has its msb " + std::to_string(msb) + ", past bit " +
                    std::to_string(kMaxFieldBits - 1));
    return false;
  }
  offset = lsb;
  width = msb - lsb + 1;
  return true;
}

}  // namespace rw

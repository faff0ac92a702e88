#include "formats/svd_tree_builder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "expr/integer_literal.h"
#include "formats/svd_values.h"

namespace rw {

namespace {

// Clusters inside clusters: real files nest two or three deep. The bound
// keeps the builder's recursion, one level per cluster, far from the stack's
// end.
constexpr int kMaxClusterNesting = 32;

// The register width SVD assumes where no level says one.
constexpr uint64_t kDefaultRegisterBits = 32;

std::string hexText(uint64_t value) {
  std::string text;
  appendHexLiteral(text, value);
  return text;
}

// The first child `tag` of the nearest element of `chain` that has one.
pugi::xml_node nearest(const SvdChain& chain, const char* tag) {
  for (const pugi::xml_node link : chain) {
    if (const pugi::xml_node child = link.child(tag)) return child;
  }
  return {};
}

std::string_view textOf(pugi::xml_node element) { return trimmed(element.text().get()); }

std::string descriptionOf(const SvdChain& chain) { return collapseWhitespace(nearest(chain, "description").text().get()); }

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

}  // namespace

SvdLines::SvdLines(std::string_view text) {
  for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', text.data() + text.size() - p)));
       ++p) {
    newlines_.push_back(static_cast<uint32_t>(p - text.data()));
  }
}

uint32_t SvdLines::linesBefore(ptrdiff_t offset) const {
  if (offset <= 0) return 0;
  return static_cast<uint32_t>(std::lower_bound(newlines_.begin(), newlines_.end(), static_cast<uint64_t>(offset)) -
                               newlines_.begin());
}

SvdTreeBuilder::SvdTreeBuilder(pugi::xml_node device, const SvdLines& lines, size_t maxElements)
    : device_(device), lines_(lines), maxElements_(maxElements), derivation_(device.child("peripherals")) {}

void SvdTreeBuilder::fail(pugi::xml_node at, std::string problem) {
  if (!problem_.empty()) return;
  problem_ = std::move(problem);
  line_ = static_cast<int>(lines_.linesBefore(at.offset_debug())) + 1;
}

bool SvdTreeBuilder::ok() {
  if (problem_.empty() && derivation_.failed()) fail(derivation_.problemNode(), derivation_.problem());
  return problem_.empty();
}

bool SvdTreeBuilder::chainOf(pugi::xml_node element, SvdChain& chain) {
  derivation_.chainOf(element, chain);
  return ok();
}

MemoryMapElement* SvdTreeBuilder::make(std::string_view tag, pugi::xml_node source,
                                       std::initializer_list<std::pair<std::string_view, std::string_view>> attributes) {
  if (++elements_ > maxElements_) {
    fail(source, "more than " + std::to_string(maxElements_) + " registers, bit fields and values");
    return nullptr;
  }
  std::array<XMLAttribute, 8> list;
  size_t count = 0;
  for (const auto& [name, value] : attributes) {
    if (!value.empty() && count < list.size()) list[count++] = XMLAttribute{name, value, true};
  }
  auto* element = new MemoryMapElement(tag);
  element->setAttributes(std::span<const XMLAttribute>(list.data(), count));
  element->line = lines_.linesBefore(source.offset_debug());
  return element;
}

std::optional<uint64_t> SvdTreeBuilder::requiredNumber(pugi::xml_node element, pugi::xml_node value,
                                                       const char* what) {
  if (!value) {
    fail(element, svdElementPath(element) + " has no " + what);
    return std::nullopt;
  }
  const std::optional<uint64_t> number = parseSvdNumber(textOf(value));
  if (!number) fail(value, svdElementPath(element) + " has a " + what + " that is no number: " + std::string(textOf(value)));
  return number;
}

SvdTreeBuilder::RegisterProperties SvdTreeBuilder::RegisterProperties::within(const SvdChain& chain) const {
  RegisterProperties inner = *this;
  // A size or reset value that is no number says nothing: the enclosing one
  // stays.
  if (const std::optional<uint64_t> bits = parseSvdNumber(textOf(nearest(chain, "size")))) inner.sizeBits = bits;
  if (const std::string_view access = textOf(nearest(chain, "access")); !access.empty()) inner.access = access;
  if (const std::optional<uint64_t> reset = parseSvdNumber(textOf(nearest(chain, "resetValue")))) inner.resetValue = reset;
  return inner;
}

std::string SvdTreeBuilder::Dimension::name(std::string_view text, uint64_t k) const {
  return indexNames.empty() ? std::string(text) : substituteIndex(text, indexNames[k]);
}

// Only the element's own dim counts: an array's shape is never inherited.
bool SvdTreeBuilder::dimensionOf(pugi::xml_node element, Dimension& dimension) {
  dimension = Dimension();
  const pugi::xml_node dim = element.child("dim");
  if (!dim) return true;
  const std::optional<uint64_t> count = requiredNumber(element, dim, "dim");
  if (!count) return false;
  if (*count > kMaxSvdDimension) {
    fail(dim, svdElementPath(element) + " has dim " + std::to_string(*count) + ", more than " +
                  std::to_string(kMaxSvdDimension));
    return false;
  }
  dimension.count = *count;
  if (*count > 1) {
    const pugi::xml_node increment = element.child("dimIncrement");
    const std::optional<uint64_t> value = parseSvdNumber(textOf(increment));
    if (!value) {
      fail(element, svdElementPath(element) + " has dim " + std::to_string(*count) + " but no usable dimIncrement");
      return false;
    }
    dimension.increment = *value;
  }
  dimension.indexNames = dimIndexNames(svdChildText(element, "dimIndex"), *count);
  return true;
}

std::unique_ptr<MemoryMapElement> SvdTreeBuilder::build() {
  std::unique_ptr<MemoryMapElement> root(make("Root", device_,
                                              {{"name", svdChildText(device_, "name")},
                                               {"description", collapseWhitespace(svdChildText(device_, "description"))}}));
  RegisterProperties device;
  device = device.within(SvdChain{device_});
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
  Dimension dimension;
  if (!chainOf(peripheral, chain) || !dimensionOf(peripheral, dimension)) return;
  const RegisterProperties properties = device.within(chain);
  const std::optional<uint64_t> base = requiredNumber(peripheral, nearest(chain, "baseAddress"), "baseAddress");
  if (!base) return;
  const std::vector<pugi::xml_node> members = derivation_.peripheralMembers(chain);
  const std::string_view name = svdChildText(peripheral, "name");
  const std::string description = descriptionOf(chain);
  for (uint64_t k = 0; k < dimension.count; ++k) {
    const std::string groupName = cIdentifier(dimension.name(name, k));
    MemoryMapElement* group = make("RegisterGroup", peripheral,
                                   {{"name", groupName},
                                    {"start", hexText(*base + k * dimension.increment)},
                                    {"prepend_group_name", "1"},
                                    {"description", dimension.name(description, k)}});
    if (group == nullptr) return;
    root.appendChild(group);
    addMembers(*group, members, std::string(), 0, properties, 0);
    if (!ok()) return;
  }
  addInterrupts(peripheral);
}

// Interrupts belong to the peripheral that names them, never to one derived
// from it; an array of peripherals names each of them once.
void SvdTreeBuilder::addInterrupts(pugi::xml_node peripheral) {
  for (pugi::xml_node interrupt : peripheral.children("interrupt")) {
    const std::optional<int64_t> number = interruptNumber(svdChildText(interrupt, "value"));
    if (!number) continue;
    std::string name = cIdentifier(svdChildText(interrupt, "name")) + "_IRQn";
    if (!vectorNames_.insert(name).second) continue;
    MemoryMapElement* vector = make("Vector", interrupt,
                                    {{"name", name},
                                     {"start", std::to_string(*number)},
                                     {"description", collapseWhitespace(svdChildText(interrupt, "description"))}});
    if (vector == nullptr) return;
    vectors_.emplace_back(vector);
  }
}

void SvdTreeBuilder::addMembers(MemoryMapElement& group, const std::vector<pugi::xml_node>& members,
                                const std::string& prefix, uint64_t offset, const RegisterProperties& outer, int depth) {
  for (const pugi::xml_node member : members) {
    if (std::strcmp(member.name(), "register") == 0) {
      addRegister(group, member, prefix, offset, outer);
    } else {
      addCluster(group, member, prefix, offset, outer, depth);
    }
    if (!ok()) return;
  }
}

// A cluster is spelled out: its registers join the group, named after the
// cluster and placed from the cluster's offset.
void SvdTreeBuilder::addCluster(MemoryMapElement& group, pugi::xml_node cluster, const std::string& prefix,
                                uint64_t offset, const RegisterProperties& outer, int depth) {
  if (depth >= kMaxClusterNesting) {
    fail(cluster, svdElementPath(cluster) + " nests clusters more than " + std::to_string(kMaxClusterNesting) + " deep");
    return;
  }
  SvdChain chain;
  Dimension dimension;
  if (!chainOf(cluster, chain) || !dimensionOf(cluster, dimension)) return;
  const std::optional<uint64_t> clusterOffset = requiredNumber(cluster, nearest(chain, "addressOffset"), "addressOffset");
  if (!clusterOffset) return;
  const RegisterProperties properties = outer.within(chain);
  const std::vector<pugi::xml_node> members = derivation_.clusterMembers(chain);
  const std::string_view name = svdChildText(cluster, "name");
  for (uint64_t k = 0; k < dimension.count; ++k) {
    addMembers(group, members, prefix + dimension.name(name, k) + "_", offset + *clusterOffset + k * dimension.increment,
               properties, depth + 1);
    if (!ok()) return;
  }
}

void SvdTreeBuilder::addRegister(MemoryMapElement& group, pugi::xml_node reg, const std::string& prefix,
                                 uint64_t offset, const RegisterProperties& outer) {
  SvdChain chain;
  Dimension dimension;
  if (!chainOf(reg, chain) || !dimensionOf(reg, dimension)) return;
  const std::optional<uint64_t> registerOffset = requiredNumber(reg, nearest(chain, "addressOffset"), "addressOffset");
  if (!registerOffset) return;
  const RegisterProperties properties = outer.within(chain);
  std::vector<FieldSpec> fields;
  for (const pugi::xml_node field : derivation_.fields(chain)) {
    fields.emplace_back();
    if (!ok() || !fieldSpec(field, fields.back())) return;
  }
  if (!ok()) return;
  const uint64_t bits = properties.sizeBits.value_or(kDefaultRegisterBits);
  const std::string size = std::to_string(bits / 8 + (bits % 8 != 0 ? 1 : 0));
  const std::string resetText = properties.resetValue ? hexText(*properties.resetValue) : std::string();
  const std::string_view name = svdChildText(reg, "name");
  const std::string description = descriptionOf(chain);
  for (uint64_t k = 0; k < dimension.count; ++k) {
    MemoryMapElement* element = make("Register", reg,
                                     {{"name", cIdentifier(prefix + dimension.name(name, k))},
                                      {"start", "+" + hexText(offset + *registerOffset + k * dimension.increment)},
                                      {"size", size},
                                      {"description", dimension.name(description, k)},
                                      {"access", properties.access},
                                      {"reset_value", resetText}});
    if (element == nullptr) return;
    group.appendChild(element);
    for (const FieldSpec& field : fields) {
      if (field.width == 0) continue;
      for (uint64_t j = 0; j < field.dimension.count; ++j) {
        MemoryMapElement* bitField = make("BitField", field.source,
                                          {{"name", cIdentifier(field.dimension.name(field.name, j))},
                                           {"start", std::to_string(field.offset + j * field.dimension.increment)},
                                           {"size", std::to_string(field.width)},
                                           {"description", field.dimension.name(field.description, j)},
                                           {"access", field.access}});
        if (bitField == nullptr) return;
        element->appendChild(bitField);
        for (const EnumSpec& value : field.values) {
          MemoryMapElement* item = make("Enum", field.source,
                                        {{"name", value.name},
                                         {"start", value.value},
                                         {"description", value.description},
                                         {"is_default", value.isDefault ? "1" : ""}});
          if (item == nullptr) return;
          bitField->appendChild(item);
        }
      }
    }
  }
}

bool SvdTreeBuilder::fieldSpec(pugi::xml_node field, FieldSpec& spec) {
  SvdChain chain;
  if (!chainOf(field, chain) || !dimensionOf(field, spec.dimension) ||
      !bitPosition(field, chain, spec.offset, spec.width)) {
    return false;
  }
  spec.source = field;
  spec.name = svdChildText(field, "name");
  spec.description = descriptionOf(chain);
  spec.access = textOf(nearest(chain, "access"));
  for (const pugi::xml_node set : derivation_.enumeratedValueSets(chain)) {
    for (const pugi::xml_node value : derivation_.enumeratedValues(set)) {
      EnumSpec item;
      item.name = cIdentifier(svdChildText(value, "name"));
      // A value with don't-care bits ("#1x0") is no number; it is kept as
      // written.
      const std::string_view text = svdChildText(value, "value");
      const std::optional<uint64_t> number = parseSvdNumber(text);
      item.value = number ? hexText(*number) : std::string(text);
      item.description = collapseWhitespace(svdChildText(value, "description"));
      const std::string_view isDefault = svdChildText(value, "isDefault");
      item.isDefault = isDefault == "true" || isDefault == "1";
      spec.values.push_back(std::move(item));
    }
    if (!ok()) return false;
  }
  return ok();
}

// The nearest element of the chain that says where the field lies decides
// the form; parts it leaves out come from further up the chain.
bool SvdTreeBuilder::bitPosition(pugi::xml_node field, const SvdChain& chain, uint64_t& offset, uint64_t& width) {
  static constexpr const char* kPositionTags[] = {"bitRange", "lsb", "msb", "bitOffset", "bitWidth"};
  const auto decider = std::find_if(chain.begin(), chain.end(), [](pugi::xml_node link) {
    return std::any_of(std::begin(kPositionTags), std::end(kPositionTags), [link](const char* tag) { return link.child(tag); });
  });
  if (decider == chain.end()) {
    fail(field, svdElementPath(field) + " has no bit position");
    return false;
  }
  uint64_t lsb = 0;
  uint64_t msb = 0;
  if (const pugi::xml_node range = decider->child("bitRange")) {
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
  } else if (decider->child("lsb") || decider->child("msb")) {
    const std::optional<uint64_t> low = requiredNumber(field, nearest(chain, "lsb"), "lsb");
    const std::optional<uint64_t> high = low ? requiredNumber(field, nearest(chain, "msb"), "msb") : std::nullopt;
    if (!high) return false;
    msb = *high;
    lsb = *low;
  } else {
    const std::optional<uint64_t> bitOffset = requiredNumber(field, nearest(chain, "bitOffset"), "bitOffset");
    if (!bitOffset) return false;
    const pugi::xml_node bitWidth = nearest(chain, "bitWidth");
    const std::optional<uint64_t> bits = bitWidth ? requiredNumber(field, bitWidth, "bitWidth") : uint64_t{1};
    if (!bits) return false;
    offset = *bitOffset;
    width = *bits;
    return true;
  }
  if (msb < lsb) {
    fail(field, svdElementPath(field) + " has its msb " + std::to_string(msb) + " below its lsb " + std::to_string(lsb));
    return false;
  }
  offset = lsb;
  width = msb - lsb + 1;
  return true;
}

}  // namespace rw

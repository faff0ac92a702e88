#include "svd/svd_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "expr/integer_literal.h"
#include "expr/whole_number.h"
#include "header/header_model.h"
#include "header/struct_layout.h"
#include "svd/svd_values.h"
#include "xml/utf8_text.h"

namespace rw {

namespace {

constexpr std::string_view kVectorSuffix = "_IRQn";

// SVD names are C identifiers: the reader's rule, and an "_" in front of a
// leading digit or for no name at all.
std::string svdName(std::string_view name) {
  std::string identifier = cIdentifier(name);
  if (identifier.empty() || (identifier[0] >= '0' && identifier[0] <= '9')) identifier.insert(0, "_");
  return identifier;
}

// Names within one scope (the peripherals of the device, the registers of a
// peripheral, ...) must differ: a repeated one gets "_2", "_3", ... .
class UniqueNames {
public:
  std::string take(std::string name) {
    if (used_.insert(name).second) return name;
    unsigned& suffix = nextSuffix_[name];
    for (;;) {
      std::string candidate = name + "_" + std::to_string(suffix < 2 ? (suffix = 2) : ++suffix);
      if (used_.insert(candidate).second) return candidate;
    }
  }

private:
  std::unordered_set<std::string> used_;
  std::unordered_map<std::string, unsigned> nextSuffix_;
};

// The map's access words and the usual short forms, to the five SVD knows.
std::optional<std::string_view> svdAccess(std::string_view access) {
  struct Word {
    std::string_view from;
    std::string_view to;
  };
  static constexpr Word kWords[] = {
      {"read-only", "read-only"},   {"ro", "read-only"},       {"r", "read-only"},
      {"write-only", "write-only"}, {"wo", "write-only"},      {"w", "write-only"},
      {"read-write", "read-write"}, {"rw", "read-write"},      {"r/w", "read-write"},
      {"writeonce", "writeOnce"},   {"read-writeonce", "read-writeOnce"},
  };
  std::string lower(trimmed(access));
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  for (const Word& word : kWords) {
    if (word.from == lower) return word.to;
  }
  return std::nullopt;
}

// An enumerated value as SVD writes it: a number, or binary digits with
// don't-care bits ("#1x0", from "0b1x0" too), each bit as written.
std::optional<std::string> enumeratedValue(std::string_view text) {
  if (const std::optional<uint64_t> number = wholeNumber(text)) return hexLiteral(*number);
  if (!isDontCarePattern(text)) return std::nullopt;
  text = trimmed(text);
  return "#" + std::string(text.substr(text.starts_with('#') ? 1 : 2));
}

// Printable ASCII that XML takes as it is: a table, so that the scan over
// a description is one load and test per byte in any build.
constexpr std::array<bool, 256> kPlainText = [] {
  std::array<bool, 256> plain{};
  for (int c = ' '; c <= '~'; ++c) plain[static_cast<size_t>(c)] = c != '&' && c != '<' && c != '>';
  return plain;
}();

// Text for an SVD element: escaped, and only of the Basic Latin and Latin-1
// characters SVD descriptions may hold. Others become "?"; control
// characters, which XML cannot carry, become blanks.
void appendText(std::string& out, std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  for (size_t i = 0; i < text.size();) {
    // Runs of printable ASCII, nearly all of a description, go out whole.
    const char* run = begin + i;
    const char* p = run;
    while (p != end && kPlainText[static_cast<unsigned char>(*p)]) ++p;
    out.append(run, p);
    i = static_cast<size_t>(p - begin);
    if (p == end) break;
    const char32_t c = nextCharacter(text, i);
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') out += ' ';
    else if (c <= 0xFF) appendUtf8(out, c);
    else out += '?';
  }
}

// A register and its fields with a width (the header passes over the
// others too).
struct SvdRegister {
  const MemoryMapElement* element;
  std::vector<const MemoryMapElement*> fields;
};

// The name an SVD file gave a peripheral: an array's as written
// ("GPIO%s"), else the group's own.
std::string_view svdNameOf(const MemoryMapElement& holder) {
  const std::string_view array = textOf(holder.getAttribute("array"));
  return !array.empty() ? array : textOf(holder.name());
}

// The registers and interrupts that become one peripheral.
struct Peripheral {
  // The register group, or the other element that holds the registers;
  // null for the one made up when the map has none.
  const MemoryMapElement* holder = nullptr;
  std::vector<SvdRegister> registers;
  std::vector<const MemoryMapElement*> vectors;
};

// The peripherals of the map in the header's order: a group where it
// starts, the registers outside any group by the element that holds them,
// where the first of them is. Vectors join the peripheral begun last before
// them (the first one, if none was), so that reading the peripherals back
// in order gives the vectors in their order.
class PeripheralCollector : public HeaderVisitor {
public:
  void group(const HeaderGroup& group) override { begin(group.element); }
  void reg(const HeaderRegister& reg) override {
    if (!byHolder_.contains(reg.group)) begin(reg.group);
    SvdRegister entry{reg.element, {}};
    expectedBytes_ += kRegisterBytes + descriptionBytes(*reg.element);
    for (const HeaderField& field : reg.fields) {
      entry.fields.push_back(field.element);
      expectedBytes_ += kFieldBytes + descriptionBytes(*field.element);
    }
    peripherals_[byHolder_[reg.group]].registers.push_back(std::move(entry));
  }
  void vector(const HeaderVector& vector) override {
    // An interrupt an SVD file declared goes back to its peripheral.
    if (vector.element->hasAttribute("peripheral")) {
      declared_.push_back(vector.element);
      return;
    }
    (peripherals_.empty() ? early_ : peripherals_.back().vectors).push_back(vector.element);
  }

  // About the size of the file, so that its text is not grown by doubling,
  // which copies it again and again and touches twice its memory.
  size_t expectedBytes() const { return expectedBytes_; }

  std::vector<Peripheral> finish() {
    if (peripherals_.empty()) peripherals_.emplace_back();
    std::vector<const MemoryMapElement*>& first = peripherals_.front().vectors;
    first.insert(first.begin(), early_.begin(), early_.end());
    for (const MemoryMapElement* vector : declared_) {
      const std::string_view owner = textOf(vector->getAttribute("peripheral"));
      const auto holder = std::find_if(peripherals_.begin(), peripherals_.end(), [&](const Peripheral& p) {
        return p.holder != nullptr && (svdNameOf(*p.holder) == owner);
      });
      (holder != peripherals_.end() ? *holder : peripherals_.front()).vectors.push_back(vector);
    }
    return std::move(peripherals_);
  }

private:
  // The lines of a register and of a bit field besides their text, about as
  // long as they come out: a 200,000-register map with eight fields each
  // gives 461 MB, 426 MB of them such lines.
  static constexpr size_t kRegisterBytes = 320;
  static constexpr size_t kFieldBytes = 230;

  static size_t descriptionBytes(const MemoryMapElement& element) {
    return textOf(element.getAttribute("description")).size();
  }

  void begin(const MemoryMapElement* holder) {
    byHolder_.emplace(holder, peripherals_.size());
    peripherals_.push_back(Peripheral{holder, {}, {}});
  }

  size_t expectedBytes_ = 0;
  std::vector<Peripheral> peripherals_;
  std::unordered_map<const MemoryMapElement*, size_t> byHolder_;
  std::vector<const MemoryMapElement*> early_;
  std::vector<const MemoryMapElement*> declared_;
};

class SvdWriter {
public:
  explicit SvdWriter(SvdBounds bounds) : bounds_(bounds) {}
  SvdFile write(const MemoryMapElement* root, const std::string& deviceName);

private:
  void peripheral(const Peripheral& peripheral, const std::vector<const Peripheral*>& elements,
                  UniqueNames& peripheralNames, std::unordered_set<std::string>& vectors);
  void interrupts(const Peripheral& peripheral, std::unordered_set<std::string>& vectorNames);
  void cpu(const MemoryMapElement& root);
  // The registers of one level of a peripheral (`depth` clusters deep), at
  // offsets from `base`: dim arrays and clusters as the SVD file had them.
  void members(const std::vector<const SvdRegister*>& registers, size_t depth, uint64_t base, UniqueNames& names);
  void registerElement(const SvdRegister& reg, uint64_t base, UniqueNames& names,
                       const std::optional<ArrayPosition>& array = std::nullopt);
  void dimension(uint64_t count, uint64_t increment, std::string_view dimIndex);
  // <tag NAME="VALUE">
  void openWith(std::string_view tag, std::string_view name, std::string_view value);
  void field(const MemoryMapElement& field, UniqueNames& names);
  void enumeratedValues(const MemoryMapElement& field);

  void open(std::string_view tag);
  void close(std::string_view tag);
  // <tag>text</tag>, or nothing when `text` is empty.
  void element(std::string_view tag, std::string_view text);

  // Checked once per register, so that a file past a bound is not made
  // whole before it is refused.
  bool pastBounds() const { return out_.size() > bounds_.bytes || elements_ > bounds_.elements; }
  std::string boundPassed() const;

  const SvdBounds bounds_;
  std::string out_;
  size_t depth_ = 0;
  // The elements the file gives when read, as the reader counts them.
  size_t elements_ = 0;
  std::string deviceName_;
};

std::string SvdWriter::boundPassed() const {
  constexpr size_t kMiB = size_t{1} << 20;
  constexpr std::string_view kReadLimit = ", more than regwright reads as SVD input";
  if (elements_ > bounds_.elements) {
    return "the file would hold more than " + std::to_string(bounds_.elements) + " registers, bit fields and values" +
           std::string(kReadLimit);
  }
  const std::string size = bounds_.bytes % kMiB == 0 ? std::to_string(bounds_.bytes / kMiB) + " MiB"
                                                      : std::to_string(bounds_.bytes) + " bytes";
  return "the file would be larger than " + size + std::string(kReadLimit);
}

void SvdWriter::open(std::string_view tag) {
  out_.append(2 * depth_++, ' ');
  out_ += '<';
  out_ += tag;
  out_ += ">\n";
}

void SvdWriter::openWith(std::string_view tag, std::string_view name, std::string_view value) {
  out_.append(2 * depth_++, ' ');
  out_ += '<';
  out_ += tag;
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  appendText(out_, value);
  out_ += "\">\n";
}

void SvdWriter::close(std::string_view tag) {
  out_.append(2 * --depth_, ' ');
  out_ += "</";
  out_ += tag;
  out_ += ">\n";
}

void SvdWriter::element(std::string_view tag, std::string_view text) {
  if (text.empty()) return;
  out_.append(2 * depth_, ' ');
  out_ += '<';
  out_ += tag;
  out_ += '>';
  appendText(out_, text);
  out_ += "</";
  out_ += tag;
  out_ += ">\n";
}

SvdFile SvdWriter::write(const MemoryMapElement* root, const std::string& deviceName) {
  const std::string_view rootName = root != nullptr ? textOf(root->name()) : std::string_view();
  deviceName_ = svdName(!deviceName.empty() ? deviceName : !rootName.empty() ? rootName : "DEVICE");
  const std::string_view rootDescription = root != nullptr ? trimmed(textOf(root->getAttribute("description"))) : "";
  out_ = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<device schemaVersion=\"1.3\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xs:noNamespaceSchemaLocation=\"CMSIS-SVD.xsd\">\n";
  depth_ = 1;
  elements_ = 1;
  element("name", deviceName_);
  element("version", "1.0");
  element("description", !rootDescription.empty() ? std::string(rootDescription) : deviceName_ + " registers");
  if (root != nullptr) cpu(*root);
  element("addressUnitBits", "8");
  element("width", "32");
  open("peripherals");
  UniqueNames peripheralNames;
  std::unordered_set<std::string> vectorNames;
  PeripheralCollector collector;
  HeaderModel(HeaderOptions()).walk(root, collector);
  out_.reserve(std::min(out_.size() + collector.expectedBytes(), bounds_.bytes + 1));
  const std::vector<Peripheral> peripherals = collector.finish();
  std::vector<const Peripheral*> elements;
  for (size_t i = 0; i < peripherals.size();) {
    // The elements of a dim array of peripherals, when the map still holds
    // all of them in order, go back as one.
    elements.assign(1, &peripherals[i]);
    const Peripheral& first = peripherals[i];
    const std::optional<ArrayPosition> array =
        first.holder != nullptr ? arrayPosition(*first.holder) : std::optional<ArrayPosition>();
    if (array && array->index == 0) {
      while (elements.size() < array->count && i + elements.size() < peripherals.size()) {
        const Peripheral& next = peripherals[i + elements.size()];
        const std::optional<ArrayPosition> position =
            next.holder != nullptr ? arrayPosition(*next.holder) : std::optional<ArrayPosition>();
        if (!position || position->array != array->array || position->index != elements.size() ||
            next.holder->start() != first.holder->start() + elements.size() * array->increment) {
          break;
        }
        elements.push_back(&next);
      }
      if (elements.size() != array->count) elements.resize(1);
    }
    peripheral(first, elements, peripheralNames, vectorNames);
    i += elements.size();
    if (pastBounds()) return {{}, boundPassed()};
  }
  close("peripherals");
  out_ += "</device>\n";
  if (pastBounds()) return {{}, boundPassed()};
  return {std::move(out_), {}};
}

void SvdWriter::peripheral(const Peripheral& peripheral, const std::vector<const Peripheral*>& elements,
                           UniqueNames& peripheralNames, std::unordered_set<std::string>& vectorNames) {
  const MemoryMapElement* holder = peripheral.holder;
  const std::string_view holderName = holder != nullptr ? textOf(holder->name()) : std::string_view();
  const uint32_t base = holder != nullptr ? holder->start() : 0;
  const auto attribute = [&](const char* name) { return holder != nullptr ? textOf(holder->getAttribute(name)) : ""; };
  // A peripheral that takes its registers from the one it derives from
  // says only what differs.
  const std::string_view derivedFrom = attribute("derived_from");
  const bool derived = !derivedFrom.empty() && attribute("layout") != svdNameOf(*holder);
  ++elements_;
  if (!derivedFrom.empty()) {
    openWith("peripheral", "derivedFrom", derivedFrom);
  } else {
    open("peripheral");
  }
  if (elements.size() > 1) {
    const ArrayPosition array = *arrayPosition(*holder);
    dimension(array.count, array.increment, array.dimIndex);
    element("name", peripheralNames.take(array.array));
  } else {
    element("name", peripheralNames.take(svdName(!holderName.empty() ? holderName : deviceName_)));
  }
  if (holder != nullptr) element("description", trimmed(textOf(holder->getAttribute("description"))));
  element("alternatePeripheral", attribute("alternate_peripheral"));
  element("groupName", attribute("group_name"));
  element("headerStructName", attribute("header_struct_name"));
  element("baseAddress", hexLiteral(base));
  if (!peripheral.registers.empty() && !derived) {
    uint64_t low = UINT64_MAX;
    uint64_t high = 0;
    for (const SvdRegister& reg : peripheral.registers) {
      const uint64_t offset = static_cast<uint32_t>(reg.element->start() - base);
      low = std::min(low, offset);
      high = std::max(high, offset + (reg.element->hasSize() ? reg.element->size() : 4));
    }
    open("addressBlock");
    element("offset", hexLiteral(low));
    element("size", hexLiteral(high - low));
    element("usage", "registers");
    close("addressBlock");
  }
  for (const Peripheral* each : elements) interrupts(*each, vectorNames);
  if (!peripheral.registers.empty() && !derived) {
    open("registers");
    UniqueNames registerNames;
    std::vector<const SvdRegister*> registers;
    for (const SvdRegister& reg : peripheral.registers) registers.push_back(&reg);
    members(registers, 0, base, registerNames);
    close("registers");
  }
  close("peripheral");
}

void SvdWriter::interrupts(const Peripheral& peripheral, std::unordered_set<std::string>& vectorNames) {
  for (const MemoryMapElement* vector : peripheral.vectors) {
    const std::string_view name = textOf(vector->name());
    const std::optional<uint64_t> number = wholeNumber(textOf(vector->startText()));
    if (!name.ends_with(kVectorSuffix) || name.size() == kVectorSuffix.size() || !number) continue;
    const std::string interrupt = svdName(name.substr(0, name.size() - kVectorSuffix.size()));
    if (!vectorNames.insert(interrupt).second) continue;
    ++elements_;
    open("interrupt");
    element("name", interrupt);
    element("description", trimmed(textOf(vector->getAttribute("description"))));
    element("value", std::to_string(static_cast<int64_t>(*number)));
    close("interrupt");
  }
}

// The CPU as the SVD file described it, with the format's defaults for what
// it left out.
void SvdWriter::cpu(const MemoryMapElement& root) {
  const auto attribute = [&](const char* name, std::string_view fallback) {
    const std::string_view text = textOf(root.getAttribute(name));
    return text.empty() ? fallback : text;
  };
  if (textOf(root.getAttribute("cpu_name")).empty()) return;
  open("cpu");
  element("name", attribute("cpu_name", ""));
  element("revision", attribute("cpu_revision", "r0p0"));
  element("endian", attribute("cpu_endian", "little"));
  element("mpuPresent", attribute("cpu_mpu_present", "false"));
  element("fpuPresent", attribute("cpu_fpu_present", "false"));
  element("nvicPrioBits", attribute("cpu_nvic_prio_bits", "4"));
  element("vendorSystickConfig", attribute("cpu_vendor_systick_config", "false"));
  close("cpu");
}

void SvdWriter::dimension(uint64_t count, uint64_t increment, std::string_view dimIndex) {
  element("dim", std::to_string(count));
  element("dimIncrement", hexLiteral(increment));
  element("dimIndex", dimIndex);
}

void SvdWriter::members(const std::vector<const SvdRegister*>& registers, size_t depth, uint64_t base,
                        UniqueNames& names) {
  for (size_t i = 0; i < registers.size() && !pastBounds();) {
    const SvdRegister& reg = *registers[i];
    const std::vector<ClusterLevel> clusters = clusterLevels(*reg.element).value_or(std::vector<ClusterLevel>());
    if (clusters.size() > depth) {
      // A run of registers of one cluster: its element 0's registers say
      // what every element holds.
      const ClusterLevel level = clusters[depth];
      size_t end = i;
      std::vector<const SvdRegister*> inside;
      std::set<uint64_t> indices;
      for (; end < registers.size(); ++end) {
        const std::vector<ClusterLevel> other =
            clusterLevels(*registers[end]->element).value_or(std::vector<ClusterLevel>());
        if (other.size() <= depth || other[depth].name != level.name) break;
        indices.insert(other[depth].index);
        if (other[depth].index == 0) inside.push_back(registers[end]);
      }
      if (indices.size() == level.count && !inside.empty()) {
        ++elements_;
        open("cluster");
        if (level.count > 1) dimension(level.count, level.increment, level.dimIndex);
        element("name", level.name);
        element("alternateCluster", level.alternate);
        element("addressOffset", hexLiteral(level.offset));
        UniqueNames clusterNames;
        members(inside, depth + 1, base + level.offset, clusterNames);
        close("cluster");
        i = end;
        continue;
      }
    }
    // A run of the elements of one dim array of registers, when the map
    // still holds all of them in order.
    const std::optional<ArrayPosition> array = arrayPosition(*reg.element);
    if (array && array->index == 0 && i + array->count <= registers.size()) {
      bool whole = true;
      for (uint64_t k = 1; whole && k < array->count; ++k) {
        const std::optional<ArrayPosition> position = arrayPosition(*registers[i + k]->element);
        whole = position && position->array == array->array && position->index == k &&
                registers[i + k]->element->start() == reg.element->start() + k * array->increment;
      }
      if (whole) {
        registerElement(reg, base, names, array);
        i += array->count;
        continue;
      }
    }
    registerElement(reg, base, names);
    ++i;
  }
}

void SvdWriter::registerElement(const SvdRegister& entry, uint64_t base, UniqueNames& names,
                                const std::optional<ArrayPosition>& array) {
  const MemoryMapElement& reg = *entry.element;
  elements_ += (array ? array->count : 1) * (1 + entry.fields.size());
  open("register");
  if (array) dimension(array->count, array->increment, array->dimIndex);
  // A register in a cluster is named in it by its own name.
  const std::string_view member = textOf(reg.getAttribute("member"));
  element("name", array ? names.take(array->array) : names.take(svdName(!member.empty() ? member : textOf(reg.name()))));
  element("description", trimmed(textOf(reg.getAttribute("description"))));
  element("alternateGroup", textOf(reg.getAttribute("alternate_group")));
  element("alternateRegister", textOf(reg.getAttribute("alternate_register")));
  element("addressOffset", hexLiteral(static_cast<uint32_t>(reg.start() - base)));
  if (reg.hasSize()) element("size", std::to_string(uint64_t{reg.size()} * 8));
  element("access", svdAccess(textOf(reg.getAttribute("access"))).value_or(""));
  if (const std::optional<uint64_t> reset = wholeNumber(textOf(reg.getAttribute("reset_value")))) {
    element("resetValue", hexLiteral(*reset));
  }
  if (!entry.fields.empty()) {
    open("fields");
    UniqueNames fieldNames;
    for (const MemoryMapElement* bitField : entry.fields) field(*bitField, fieldNames);
    close("fields");
  }
  close("register");
}

void SvdWriter::field(const MemoryMapElement& bitField, UniqueNames& names) {
  open("field");
  element("name", names.take(svdName(textOf(bitField.name()))));
  element("description", trimmed(textOf(bitField.getAttribute("description"))));
  element("bitOffset", std::to_string(bitField.start()));
  element("bitWidth", std::to_string(bitField.size()));
  element("access", svdAccess(textOf(bitField.getAttribute("access"))).value_or(""));
  enumeratedValues(bitField);
  close("field");
}

void SvdWriter::enumeratedValues(const MemoryMapElement& bitField) {
  bool any = false;
  UniqueNames names;
  for (const XMLNode* child = bitField.firstChild; child != nullptr; child = child->nextSibling) {
    const MemoryMapElement* item = asMemoryMapElement(child);
    if (item == nullptr || item->kind() != ElementKind::Enum) continue;
    // SVD has a value or the default mark, one of them; a value that says
    // neither cannot be written.
    const bool isDefault = item->hasAttribute("is_default");
    const std::optional<std::string> value = enumeratedValue(textOf(item->startText()));
    if (!isDefault && !value) continue;
    if (!any) open("enumeratedValues");
    any = true;
    ++elements_;
    open("enumeratedValue");
    element("name", names.take(svdName(textOf(item->name()))));
    element("description", trimmed(textOf(item->getAttribute("description"))));
    if (isDefault) element("isDefault", "true");
    else element("value", *value);
    close("enumeratedValue");
  }
  if (any) close("enumeratedValues");
}

}  // namespace

SvdFile writeSvd(const MemoryMapElement* root, const std::string& deviceName, SvdBounds bounds) {
  return SvdWriter(bounds).write(root, deviceName);
}

}  // namespace rw

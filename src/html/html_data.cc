#include "html/html_data.h"

#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "expr/integer_literal.h"
#include "expr/whole_number.h"
#include "header/header_model.h"
#include "html/html_text.h"

namespace rw {

namespace {

// Hands out numbers in order of first use, each distinct text once. The
// texts are views of the map and the page model, which outlive the table: a
// vendor device's hundred thousand fields look up their names and
// descriptions without a copy.
class StringTable {
public:
  explicit StringTable(size_t expected) { numbers_.reserve(expected); }
  size_t take(std::string_view text) {
    const auto [entry, added] = numbers_.try_emplace(text, texts_.size());
    if (added) texts_.push_back(text);
    return entry->second;
  }
  const std::vector<std::string_view>& texts() const { return texts_; }

private:
  std::unordered_map<std::string_view, size_t> numbers_;
  std::vector<std::string_view> texts_;
};

// The definition patterns: few, and made as they are met.
class PatternTable {
public:
  size_t take(std::string json) {
    const auto [entry, added] = numbers_.try_emplace(std::move(json), keys_.size());
    // Keys of an unordered_map stay where they are as it grows.
    if (added) keys_.push_back(&entry->first);
    return entry->second;
  }
  const std::vector<const std::string*>& keys() const { return keys_; }

private:
  std::unordered_map<std::string, size_t> numbers_;
  std::vector<const std::string*> keys_;
};

// One record: a JSON array whose items are written in turn.
class Record {
public:
  Record(std::string& out, StringTable& strings) : out_(out), strings_(strings) {}
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;
  ~Record() { out_ += first_ ? "[]" : "]"; }

  Record& text(std::string_view value) { return number(strings_.take(value)); }
  Record& attribute(const MemoryMapElement* element, std::string_view name) {
    return text(element != nullptr ? textOf(element->getAttribute(name)) : std::string_view());
  }
  Record& number(uint64_t value) {
    next();
    out_ += std::to_string(value);
    return *this;
  }
  Record& none() {
    next();
    out_ += "-1";
    return *this;
  }
  // Hexadecimal digits without "0x", or "" for a number the map leaves out.
  Record& hexDigits(std::optional<uint64_t> value) {
    next();
    out_ += '"';
    if (value) out_ += std::string_view(hexLiteral(*value)).substr(2);
    out_ += '"';
    return *this;
  }

private:
  void next() {
    out_ += first_ ? '[' : ',';
    first_ = false;
  }

  std::string& out_;
  StringTable& strings_;
  bool first_ = true;
};

class RecordList {
public:
  explicit RecordList(std::string_view key) : json_("\"" + std::string(key) + "\":[") {}
  std::string& next() {
    if (count_++ != 0) json_ += ",\n";
    return json_;
  }
  // The list's JSON text, ending the list; it is given away.
  std::string take() {
    json_ += ']';
    return std::move(json_);
  }

private:
  std::string json_;
  size_t count_ = 0;
};

std::optional<uint64_t> startOf(const MemoryMapElement* element) {
  if (element == nullptr || !element->hasStart()) return std::nullopt;
  return element->start();
}
std::optional<uint64_t> sizeOf(const MemoryMapElement* element) {
  if (element == nullptr || !element->hasSize()) return std::nullopt;
  return element->size();
}

class DataWriter {
public:
  // Most texts are a field's name and description.
  DataWriter(const PageModel& model, const HeaderOptions& options)
      : model_(model), names_(options), strings_(model.fields.size() * 2 + 64) {
    strings_.take("");
  }

  void write(const std::function<void(std::string_view)>& write);

private:
  void segment(const PageSegment& segment);
  void block(const PageBlock& block);
  void registerRecord(const PageRegister& reg);
  void field(const PageRegister& reg, const PageField& field, uint8_t row);
  void vector(const MemoryMapElement& vector) {
    Record(vectors_.next(), strings_).text(textOf(vector.name())).text(textOf(vector.startText()));
  }

  Record record(RecordList& list) { return Record(list.next(), strings_); }
  size_t note(std::string_view text) {
    std::string json;
    appendJsonString(json, text);
    return patterns_.take(std::move(json));
  }
  // The pattern of the definitions `forEach` visits, as (kind, stem) with
  // the stem in use known by the kind.
  template <typename ForEach>
  size_t pattern(ForEach forEach) {
    std::string json = "[";
    forEach([&](DefinitionKind kind, std::string_view /*stem*/) {
      if (json.size() > 1) json += ',';
      json += std::to_string(static_cast<int>(kind));
      json += isAliasDefinition(kind) ? ",1" : ",0";
    });
    json += ']';
    return patterns_.take(std::move(json));
  }
  void affixes(std::string& out) const;

  const PageModel& model_;
  const DefinitionNames names_;
  StringTable strings_;
  PatternTable patterns_;
  RecordList segments_{"g"}, blocks_{"b"}, registers_{"r"}, fields_{"f"}, values_{"e"}, vectors_{"v"};
};

void DataWriter::write(const std::function<void(std::string_view)>& write) {
  for (const PageSegment& s : model_.segments) {
    segment(s);
    for (const size_t b : s.blocks) {
      block(model_.blocks[b]);
      for (const size_t r : model_.blocks[b].registers) registerRecord(model_.registers[r]);
    }
  }
  for (const MemoryMapElement* v : model_.vectors) vector(*v);

  std::string out = "{\"s\":[";
  const std::vector<std::string_view>& strings = strings_.texts();
  for (size_t i = 0; i < strings.size(); ++i) {
    if (i != 0) out += ',';
    appendJsonString(out, strings[i]);
  }
  out += "],\n";
  affixes(out);
  out += ",\n\"d\":[";
  const std::vector<const std::string*>& patterns = patterns_.keys();
  for (size_t i = 0; i < patterns.size(); ++i) {
    if (i != 0) out += ',';
    out += *patterns[i];
  }
  out += "]";
  write(out);
  for (RecordList* list : {&segments_, &blocks_, &registers_, &fields_, &values_, &vectors_}) {
    write(",\n");
    write(list->take());
  }
  write("}");
}

// The names' own writer decides: the prefix is what it puts before an empty
// stem and the kind's suffix.
void DataWriter::affixes(std::string& out) const {
  out += "\"n\":[";
  for (int kind = 0; kind < static_cast<int>(DefinitionKind::Vector); ++kind) {
    const std::string name = names_.name(static_cast<DefinitionKind>(kind), "");
    const std::string_view suffix = definitionSuffix(static_cast<DefinitionKind>(kind), names_.options());
    out += kind == 0 ? "[" : ",[";
    appendJsonString(out, std::string_view(name).substr(0, name.size() - suffix.size()));
    out += ',';
    appendJsonString(out, suffix);
    out += ']';
  }
  out += ']';
}

void DataWriter::segment(const PageSegment& segment) {
  record(segments_)
      .text(segment.label)
      .text(segment.id)
      .hexDigits(startOf(segment.element))
      .hexDigits(sizeOf(segment.element))
      .attribute(segment.element, "description")
      .number(segment.blocks.size());
}

void DataWriter::block(const PageBlock& block) {
  Record out = record(blocks_);
  out.text(block.label).text(block.id).number(block.registers.size());
  const MemoryMapElement* element = block.element;
  if (element == nullptr) return;
  out.hexDigits(startOf(element)).hexDigits(sizeOf(element)).attribute(element, "description");
  if (block.definesBase) {
    out.number(pattern([](auto visit) { visit(DefinitionKind::GroupBase, ""); }));
  } else {
    out.none();
  }
  out.text(textOf(element->name()));
}

void DataWriter::registerRecord(const PageRegister& reg) {
  const MemoryMapElement& element = *reg.element;
  {
    Record out = record(registers_);
    out.text(reg.name);
    if (reg.id == reg.name) {
      out.number(0);
    } else {
      out.text(reg.id);
    }
    out.hexDigits(element.start());
    out.hexDigits(reg.hasOffset ? std::optional<uint64_t>(reg.offset) : std::nullopt);
    if (element.hasSize()) {
      out.number(element.size());
    } else {
      out.none();
    }
    out.attribute(&element, "access");
    // As written, but only when the whole of it is a number: "0x12junk" is
    // no reset value of 0x12, and the SVD file leaves it out too.
    const std::optional<std::string_view> reset = element.getAttribute("reset_value");
    out.text(reset && wholeNumber(*reset) ? *reset : std::string_view());
    out.attribute(&element, "description").text(reg.alias);
    if (!reg.defined) {
      out.number(note("none: an earlier register has this name"));
    } else {
      out.number(pattern([&](auto visit) { forEachRegisterDefinition(reg.name, reg.alias, false, visit); }));
    }
    if (reg.hasOffset && reg.defined && reg.definesOffset) {
      out.number(pattern([&](auto visit) {
        forEachRegisterDefinition(reg.name, reg.alias, true, [&](DefinitionKind kind, std::string_view stem) {
          if (kind == DefinitionKind::RegisterOffset || kind == DefinitionKind::AliasOffset) visit(kind, stem);
        });
      }));
    } else {
      out.none();
    }
    out.number(reg.fieldCount).number(pictureWidth(element));
  }
  const std::vector<uint8_t> rows = pictureRows(model_, reg);
  for (size_t i = 0; i < reg.fieldCount; ++i) field(reg, model_.fields[reg.firstField + i], rows[i]);
}

void DataWriter::field(const PageRegister& reg, const PageField& field, uint8_t row) {
  const MemoryMapElement& element = *field.element;
  const std::string_view name = textOf(element.name());
  size_t values = 0;
  for (const XMLNode* child = element.firstChild; child != nullptr; child = child->nextSibling) {
    const MemoryMapElement* item = asMemoryMapElement(child);
    if (item == nullptr || item->kind() != ElementKind::Enum) continue;
    ++values;
    Record(values_.next(), strings_)
        .text(item->hasAttribute("is_default") ? std::string_view("default") : textOf(item->startText()))
        .text(textOf(item->name()))
        .attribute(item, "description");
  }

  Record out = record(fields_);
  out.text(name);
  const std::string_view idSuffix = std::string_view(field.id).substr(reg.id.size() + 1);
  if (idSuffix == name) {
    out.number(0);
  } else {
    out.text(idSuffix);
  }
  out.number(element.start()).number(element.size()).number(field.mask);
  out.attribute(&element, "access").attribute(&element, "description");
  if (field.name.empty()) {
    out.number(note("none: left out by the options"));
  } else if (!field.defined) {
    out.number(note("none: an earlier field has this name"));
  } else {
    out.number(pattern([&](auto visit) {
      forEachFieldDefinition(field.name, field.alias, element.size() == 1, reg.bitBand, visit);
    }));
  }
  // The usual stem, the register's and the field's name, is left for the
  // script to form: a large map has hundreds of thousands of fields.
  if (field.name.size() == reg.name.size() + 1 + name.size() && field.name.starts_with(reg.name) &&
      field.name[reg.name.size()] == '_' && field.name.ends_with(name)) {
    out.none();
  } else {
    out.text(field.name);
  }
  out.text(field.alias);
  if (row == kNotDrawn) {
    out.none();
  } else {
    out.number(row);
  }
  out.number(values);
}

}  // namespace

void writePageData(const PageModel& model, const HeaderOptions& options,
                   const std::function<void(std::string_view)>& write) {
  DataWriter(model, options).write(write);
}

}  // namespace rw

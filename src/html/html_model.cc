#include "html/html_model.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "html/html_text.h"
#include "header/bit_field_exclusion.h"
#include "header/definition_names.h"
#include "header/name_set.h"

namespace rw {

namespace {

std::string_view textOf(std::optional<std::string_view> text) { return text.value_or(std::string_view()); }

// What a person calls an element: its name, or its tag when it has none.
std::string_view labelOf(const MemoryMapElement& element) {
  const std::string_view name = textOf(element.name());
  return name.empty() ? element.tagName() : name;
}

// Hands out ids that are unique in the page and hold no white space (which
// an id cannot), first come, first served: a name that is taken gets "~2",
// "~3", ... The next number is kept per name, so a thousand fields of the
// same name cost a thousand tries, not half a million.
class IdSet {
public:
  std::string take(std::string_view name) {
    std::string base = validUtf8(name);
    for (char& c : base) {
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') c = '_';
    }
    if (base.empty()) base = "_";
    if (std::string_view(base).starts_with(kPageIdPrefix)) base.insert(base.begin(), '_');
    if (used_.insert(base).second) return base;
    size_t& next = nextSuffix_[base];
    if (next < 2) next = 2;
    for (;;) {
      std::string candidate = base + "~" + std::to_string(next++);
      if (used_.insert(candidate).second) return candidate;
    }
  }

private:
  std::unordered_set<std::string> used_;
  std::unordered_map<std::string, size_t> nextSuffix_;
};

class ModelBuilder {
public:
  explicit ModelBuilder(const HeaderOptions& options)
      : options_(options),
        exclusion_(options.excludeBitFieldPattern),
        excludedRegisters_(options.excludeBitFieldRegisters.begin(), options.excludeBitFieldRegisters.end()) {}

  void walk(const MemoryMapElement* root);
  PageModel finish();

private:
  size_t blockFor(const MemoryMapElement* container, const MemoryMapElement* segment);
  void addRegister(const MemoryMapElement& reg, const MemoryMapElement* segment);
  void addField(const MemoryMapElement& field, const PageRegister& reg, std::optional<std::string_view> aka);

  const HeaderOptions& options_;
  const BitFieldExclusion exclusion_;
  const std::unordered_set<std::string_view> excludedRegisters_;
  // The header's two name sets: a register and a field may share a name.
  NameSet registerNames_;
  NameSet fieldNames_;
  PageModel model_;
  std::unordered_map<const MemoryMapElement*, size_t> blockOf_;
  std::unordered_map<const MemoryMapElement*, size_t> segmentOf_;
};

// As the header's walk: the children of the root, of memory segments,
// processors and register groups are visited, registers and vectors are
// taken, anything else is passed over with what it holds.
void ModelBuilder::walk(const MemoryMapElement* root) {
  struct Frame {
    const XMLNode* next;
    const MemoryMapElement* segment;  // the nearest enclosing one, or null
  };
  std::vector<Frame> stack;
  if (root != nullptr) stack.push_back(Frame{root, nullptr});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const XMLNode* node = frame.next;
    if (node == nullptr) {
      stack.pop_back();
      continue;
    }
    frame.next = node->nextSibling;
    const MemoryMapElement* element = asMemoryMapElement(node);
    if (element == nullptr) continue;
    const MemoryMapElement* segment = frame.segment;
    switch (element->kind()) {
      case ElementKind::MemorySegment:
        stack.push_back(Frame{node->firstChild, element});
        break;
      case ElementKind::RegisterGroup:
        // A group without registers is worth a place only for the base
        // the header defines for it.
        if (options_.regBaseOffs && element->hasStart()) blockFor(element, segment);
        stack.push_back(Frame{node->firstChild, segment});
        break;
      case ElementKind::Root:
      case ElementKind::Processor:
        stack.push_back(Frame{node->firstChild, segment});
        break;
      case ElementKind::Register:
        addRegister(*element, segment);
        break;
      case ElementKind::Vector:
        model_.vectors.push_back(element);
        break;
      default:
        break;
    }
  }
}

size_t ModelBuilder::blockFor(const MemoryMapElement* container, const MemoryMapElement* segment) {
  if (const auto known = blockOf_.find(container); known != blockOf_.end()) return known->second;
  const size_t index = model_.blocks.size();
  blockOf_.emplace(container, index);
  PageBlock block;
  block.element = container;
  if (container == nullptr) {
    block.label = "Registers";
  } else {
    // A nested group is named with its parent group, which is where a
    // reader looks for it; further ancestors would make labels as long as
    // the nesting is deep.
    const MemoryMapElement* parent = asMemoryMapElement(container->parent);
    if (parent != nullptr && parent->kind() == ElementKind::RegisterGroup) {
      block.label = labelOf(*parent);
      block.label += " \u203A ";
    }
    block.label += labelOf(*container);
    block.definesBase =
        options_.regBaseOffs && container->kind() == ElementKind::RegisterGroup && container->hasStart();
  }
  model_.blocks.push_back(std::move(block));

  // A memory segment is the block itself when registers sit right in it.
  if (container != nullptr && container->kind() == ElementKind::MemorySegment) segment = container;
  auto [known, added] = segmentOf_.emplace(segment, model_.segments.size());
  if (added) {
    PageSegment entry;
    entry.element = segment;
    entry.label = segment != nullptr ? std::string(labelOf(*segment)) : std::string("Registers outside segments");
    model_.segments.push_back(std::move(entry));
  }
  model_.segments[known->second].blocks.push_back(index);
  return index;
}

void ModelBuilder::addRegister(const MemoryMapElement& reg, const MemoryMapElement* segment) {
  const MemoryMapElement* parent = asMemoryMapElement(reg.parent);
  PageRegister entry;
  entry.element = &reg;
  registerName(entry.name, reg, parent, options_);
  const std::optional<std::string_view> aka = reg.getAttribute("aka");
  if (aka) {
    entry.alias = *aka;
    fixDefinitionName(entry.alias, options_);
  }
  entry.defined = registerNames_.insert(entry.name);
  if (parent != nullptr && parent->hasStart()) {
    entry.hasOffset = true;
    entry.offset = reg.start() - parent->start();
  }
  entry.firstField = model_.fields.size();
  // The header still visits the fields of a duplicate register.
  const bool fieldsDefined = !options_.noBitFields && !excludedRegisters_.contains(textOf(reg.name()));
  for (const XMLNode* child = reg.firstChild; child != nullptr; child = child->nextSibling) {
    const MemoryMapElement* field = asMemoryMapElement(child);
    if (field == nullptr || field->kind() != ElementKind::BitField || field->size() == 0) continue;
    if (fieldsDefined && !exclusion_.excludes(textOf(field->name()))) {
      addField(*field, entry, aka);
    } else {
      model_.fields.push_back(PageField{field, {}, {}, {}, false});
    }
  }
  entry.fieldCount = model_.fields.size() - entry.firstField;
  const size_t block = blockFor(parent, segment);
  model_.blocks[block].registers.push_back(model_.registers.size());
  model_.registers.push_back(std::move(entry));
}

void ModelBuilder::addField(const MemoryMapElement& field, const PageRegister& reg,
                            std::optional<std::string_view> aka) {
  PageField entry;
  entry.element = &field;
  std::string name(textOf(field.name()));
  fixDefinitionName(name, options_);
  if (options_.noPrependReg) {
    entry.name = name;
  } else {
    entry.name = reg.name;
    entry.name += '_';
    entry.name += name;
  }
  if (aka) {
    entry.alias = *aka;
    entry.alias += '_';
    entry.alias += name;
    fixDefinitionName(entry.alias, options_);
  }
  entry.defined = fieldNames_.insert(entry.name);
  model_.fields.push_back(std::move(entry));
}

// Registers take their ids first, so that a link names a register by its
// name whatever else is called the same; then fields, groups and segments.
PageModel ModelBuilder::finish() {
  IdSet ids;
  for (PageRegister& reg : model_.registers) reg.id = ids.take(reg.name);
  for (const PageRegister& reg : model_.registers) {
    for (size_t i = reg.firstField; i < reg.firstField + reg.fieldCount; ++i) {
      PageField& field = model_.fields[i];
      field.id = ids.take(reg.id + "." + std::string(textOf(field.element->name())));
    }
  }
  for (PageBlock& block : model_.blocks) block.id = ids.take(block.label);
  for (PageSegment& segment : model_.segments) segment.id = ids.take(segment.label);
  return std::move(model_);
}

}  // namespace

PageModel buildPageModel(const MemoryMapElement* root, const HeaderOptions& options) {
  ModelBuilder builder(options);
  builder.walk(root);
  return builder.finish();
}

}  // namespace rw

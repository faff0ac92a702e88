#include "html/html_model.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "header/header_model.h"
#include "html/html_text.h"

namespace rw {

namespace {

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

class ModelBuilder : public HeaderVisitor {
public:
  void group(const HeaderGroup& group) override {
    // A group without registers is worth a place only for the base the
    // header defines for it.
    if (group.definesBase) blockFor(group.element, group.where.segment, true);
  }
  void reg(const HeaderRegister& reg) override;
  void vector(const HeaderVector& vector) override { model_.vectors.push_back(vector.element); }
  PageModel finish();

private:
  // A register's container meets its block after the group record made it,
  // when its base is defined.
  size_t blockFor(const MemoryMapElement* container, const MemoryMapElement* segment, bool definesBase);

  PageModel model_;
  std::unordered_map<const MemoryMapElement*, size_t> blockOf_;
  std::unordered_map<const MemoryMapElement*, size_t> segmentOf_;
};

size_t ModelBuilder::blockFor(const MemoryMapElement* container, const MemoryMapElement* segment, bool definesBase) {
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
    block.definesBase = definesBase;
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

void ModelBuilder::reg(const HeaderRegister& reg) {
  PageRegister entry;
  entry.element = reg.element;
  entry.name = reg.name;
  entry.alias = reg.alias;
  entry.defined = reg.defined;
  entry.hasOffset = reg.hasOffset;
  entry.definesOffset = reg.definesOffset;
  entry.bitBand = reg.bitBand;
  entry.offset = reg.offset;
  entry.firstField = model_.fields.size();
  for (const HeaderField& field : reg.fields) {
    model_.fields.push_back(PageField{field.element, std::string(field.name), std::string(field.alias), {},
                                      field.defined, field.mask});
  }
  entry.fieldCount = reg.fields.size();
  const size_t block = blockFor(reg.group, reg.where.segment, false);
  model_.blocks[block].registers.push_back(model_.registers.size());
  model_.registers.push_back(std::move(entry));
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

uint32_t pictureWidth(const MemoryMapElement& reg) {
  switch (reg.hasSize() ? reg.size() : 0) {
    case 1: return 8;
    case 2: return 16;
    case 8: return 64;
    default: return 32;
  }
}

// Each row keeps which bits are taken, so that placing a field looks at its
// own bits in at most kMaxPictureRows rows: a hostile map's ten thousand
// fields on one bit cost ten thousand short looks, not a square.
std::vector<uint8_t> pictureRows(const PageModel& model, const PageRegister& reg) {
  const uint32_t width = pictureWidth(*reg.element);
  std::vector<uint8_t> rowOf(reg.fieldCount, kNotDrawn);
  std::vector<std::array<bool, 64>> taken;
  for (size_t i = 0; i < reg.fieldCount; ++i) {
    const MemoryMapElement& field = *model.fields[reg.firstField + i].element;
    if (field.start() >= width) continue;
    const uint32_t low = field.start();
    const uint32_t high =
        static_cast<uint32_t>(std::min<uint64_t>(uint64_t{field.start()} + field.size() - 1, width - 1));
    auto fits = [&](const std::array<bool, 64>& row) {
      return std::none_of(row.begin() + low, row.begin() + high + 1, [](bool used) { return used; });
    };
    auto row = std::find_if(taken.begin(), taken.end(), fits);
    if (row == taken.end()) {
      if (taken.size() == kMaxPictureRows) continue;
      row = taken.insert(taken.end(), std::array<bool, 64>{});
    }
    std::fill(row->begin() + low, row->begin() + high + 1, true);
    rowOf[i] = static_cast<uint8_t>(row - taken.begin());
  }
  return rowOf;
}

PageModel buildPageModel(const MemoryMapElement* root, const HeaderOptions& options) {
  ModelBuilder builder;
  HeaderModel(options).walk(root, builder);
  return builder.finish();
}

}  // namespace rw

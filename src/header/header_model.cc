#include "header/header_model.h"

#include "header/definition_names.h"

namespace rw {

namespace {

// The register types the header knows: unsigned char, short and long.
uint32_t typeBytes(const MemoryMapElement& reg) {
  if (!reg.hasSize()) return 0;
  const uint32_t size = reg.size();
  return size == 1 || size == 2 || size == 4 ? size : 0;
}

// Starts of 32 or more have no bit of their own in a 32-bit register; the
// shifts wrap around instead of being undefined, while the bit number and
// the bit-band address keep the start as written.
uint32_t fieldMask(uint32_t start, uint32_t size) {
  const uint32_t width = size > 31u ? 0xFFFFFFFFu : (uint32_t{1} << size) - 1u;
  return width << (start % 32u);
}

}  // namespace

bool isFieldDefinition(DefinitionKind kind) { return kind >= DefinitionKind::Mask && kind <= DefinitionKind::AliasBit; }

bool isAliasDefinition(DefinitionKind kind) { return aliasedKind(kind) != kind; }

DefinitionKind aliasedKind(DefinitionKind alias) {
  switch (alias) {
    case DefinitionKind::RegisterAlias: return DefinitionKind::Register;
    case DefinitionKind::AliasOffset: return DefinitionKind::RegisterOffset;
    case DefinitionKind::AliasMask: return DefinitionKind::Mask;
    case DefinitionKind::AliasValue: return DefinitionKind::Value;
    case DefinitionKind::AliasBit: return DefinitionKind::Bit;
    default: return alias;
  }
}

bool fitsOnOneLine(std::string_view text) {
  // Every name the header writes passes here: one pass over its bytes, not
  // a search for each of the three.
  for (const char c : text) {
    if (c == '\n' || c == '\r' || c == '\0') return false;
  }
  return true;
}

void HeaderOrder::enterSegment(const MemoryMapElement& segment) {
  Surroundings within = inside();
  within.segment = &segment;
  if (segment.hasStart() && segment.size() != 0) within.bounds = &segment;
  segments_.push_back(within);
}

HeaderModel::HeaderModel(const HeaderOptions& options, WarningSink warn, ElementCounts expected)
    : options_(options),
      names_(options),
      warn_(std::move(warn)),
      exclusion_(options.excludeBitFieldPattern),
      excludedRegisters_(options.excludeBitFieldRegisters.begin(), options.excludeBitFieldRegisters.end()),
      registerNames_([this](const void* record, std::string& scratch) -> std::string_view {
                       const auto& reg = *static_cast<const MemoryMapElement*>(record);
                       rw::registerName(scratch, reg, asMemoryMapElement(reg.parent), options_);
                       return scratch;
                     },
                     expected.registers),
      fieldNames_([this](const void* record, std::string& scratch) -> std::string_view {
                    const auto& field = *static_cast<const MemoryMapElement*>(record);
                    const MemoryMapElement& reg = *asMemoryMapElement(field.parent);
                    std::string registerStem;
                    rw::registerName(registerStem, reg, asMemoryMapElement(reg.parent), options_);
                    bitFieldName(scratch, registerStem, textOf(field.name()), options_);
                    return scratch;
                  },
                  options.noBitFields ? 0 : expected.bitFields) {}

void HeaderModel::walk(const MemoryMapElement* first, std::span<HeaderVisitor* const> visitors) {
  walkInHeaderOrder(first, [&](const HeaderOrder::Reached& reached) {
    reach(reached, visitors);
    return problem_.element == nullptr;
  });
}

void HeaderModel::reach(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors) {
  if (problem_.element != nullptr) return;
  switch (reached.element->kind()) {
    case ElementKind::RegisterGroup:
      group(reached, visitors);
      break;
    case ElementKind::Register:
      reg(reached, visitors);
      break;
    case ElementKind::Vector:
      vector(reached, visitors);
      break;
    default:
      break;
  }
}

void HeaderModel::group(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors) {
  const MemoryMapElement& element = *reached.element;
  const HeaderGroup record{&element, reached.where, options_.regBaseOffs && element.hasStart(),
                           textOf(element.name())};
  if (record.definesBase && !writable(element, "name", record.name)) return;
  for (HeaderVisitor* visitor : visitors) visitor->group(record);
}

void HeaderModel::vector(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors) {
  const MemoryMapElement& element = *reached.element;
  const HeaderVector record{&element, reached.where, textOf(element.name()), textOf(element.startText())};
  if (!writable(element, "name", record.name) || !writable(element, "number", record.number)) return;
  for (HeaderVisitor* visitor : visitors) visitor->vector(record);
}

void HeaderModel::reg(const HeaderOrder::Reached& reached, std::span<HeaderVisitor* const> visitors) {
  const MemoryMapElement& reg = *reached.element;
  const MemoryMapElement* group = asMemoryMapElement(reg.parent);
  const std::string_view plainName = textOf(reg.name());
  // Registers come group by group: what the group gives them is worked out
  // once per group, and each name formed as rw::registerName forms it.
  if (group != lastGroup_) {
    lastGroup_ = group;
    lastGroupHasStart_ = group != nullptr && group->hasStart();
    groupPrefix_.clear();
    if (group != nullptr && (options_.prependRegGroup || group->getAttribute(attribute::kPrependGroupName))) {
      groupPrefix_ += textOf(group->name());
      groupPrefix_ += '_';
    }
  }
  registerName_.assign(groupPrefix_);
  registerName_ += plainName;
  fixDefinitionName(registerName_, options_);
  aka_ = reg.getAttribute(attribute::kAka);
  registerAlias(registerAlias_, aka_, options_);
  if (!writable(reg, "name", registerName_) || !writable(reg, "aka", registerAlias_)) return;

  address_ = reg.start();
  // The window's end wraps like every other sum here, so a window that would
  // run past the top of the address space holds nothing.
  const uint32_t bitBandBase = options_.bitBandBase;
  bitBand_ = bitBandBase != 0xFFFFFFFFu && address_ >= bitBandBase &&
             address_ < bitBandBase + options_.bitBandAliasOffset;
  writesFields_ = !options_.noBitFields && !excludedRegisters_.contains(plainName);
  fields_.clear();
  pending_.clear();
  fieldNamesText_.clear();
  fieldAliasesText_.clear();

  // A repeated register still has its fields: they may carry names the
  // first one lacked. The fields' names are looked up before the register's
  // is added, so that all those lookups overlap, unless the exclusion could
  // warn while they are formed: its warning must come after the register's.
  const NameSet::Lookup registerLookup = registerNames_.lookup(registerName_);
  bool defined = false;
  if (!exclusion_.active()) {
    prepareFields(reg.firstChild, SIZE_MAX);
    defined = registerNames_.insert(registerLookup, &reg);
    if (!defined) warnDuplicate(registerName_);
    defineFields(0);
  } else {
    defined = registerNames_.insert(registerLookup, &reg);
    if (!defined) warnDuplicate(registerName_);
    for (const XMLNode* child = reg.firstChild; child != nullptr && problem_.element == nullptr;) {
      const size_t from = pending_.size();
      child = prepareFields(child, 1);
      defineFields(from);
    }
  }
  if (problem_.element != nullptr) return;

  for (const Pending& written : pending_) {
    HeaderField& field = fields_[written.field];
    field.name = std::string_view(fieldNamesText_.data() + written.nameBegin, written.nameLength);
    field.alias = std::string_view(fieldAliasesText_.data() + written.aliasBegin, written.aliasLength);
  }

  const bool hasOffset = lastGroupHasStart_;
  const HeaderRegister record{&reg,
                              group,
                              reached.where,
                              plainName,
                              registerName_,
                              registerAlias_,
                              aka_,
                              defined,
                              address_,
                              typeBytes(reg),
                              hasOffset,
                              hasOffset ? address_ - group->start() : 0,
                              options_.regBaseOffs && hasOffset,
                              bitBand_,
                              writesFields_,
                              fields_};
  for (HeaderVisitor* visitor : visitors) visitor->reg(record);
}

const XMLNode* HeaderModel::prepareFields(const XMLNode* child, size_t limit) {
  const size_t firstPending = pending_.size();
  size_t written = 0;
  for (; child != nullptr && written < limit; child = child->nextSibling) {
    const MemoryMapElement* element = asMemoryMapElement(child);
    if (!isDefinedField(element)) continue;
    const std::string_view plainName = textOf(element->name());
    const uint32_t start = element->start();
    const uint32_t mask = fieldMask(start, element->size());
    const size_t index = fields_.size();
    // Records are set member by member where they lie: one built aside and
    // copied in is read back before its parts are stored, which stalls.
    HeaderField& field = fields_.emplace_back();
    field.element = element;
    field.plainName = plainName;
    field.start = start;
    field.size = element->size();
    field.mask = mask;
    field.value = options_.singleBitFieldNames ? start : uint32_t{1} << (start % 32u);
    field.bitBandAddress = 0;
    field.written = false;
    field.defined = false;
    if (bitBand_) {
      const uint32_t aliasBase = options_.bitBandBase + options_.bitBandAliasOffset;
      field.bitBandAddress = aliasBase + 4u * (8u * (address_ - options_.bitBandBase) + start);
    }
    if (writesFields_ && !exclusion_.excludes(plainName)) {
      std::string_view ownName = plainName;
      if (options_.fixDefs) {
        ownName_.assign(plainName);
        fixDefinitionName(ownName_, options_);
        ownName = ownName_;
      }
      if (!writable(*element, "name", ownName)) return nullptr;
      field.written = true;
      const size_t nameBegin = fieldNamesText_.size();
      if (!options_.noPrependReg) {
        fieldNamesText_ += registerName_;
        fieldNamesText_ += '_';
      }
      fieldNamesText_ += ownName;
      const size_t aliasBegin = fieldAliasesText_.size();
      if (aka_) {
        aliasScratch_.assign(*aka_);
        aliasScratch_ += '_';
        aliasScratch_ += ownName;
        fixDefinitionName(aliasScratch_, options_);
        fieldAliasesText_ += aliasScratch_;
      }
      Pending& pending = pending_.emplace_back();
      pending.field = index;
      pending.nameBegin = nameBegin;
      pending.nameLength = fieldNamesText_.size() - nameBegin;
      pending.aliasBegin = aliasBegin;
      pending.aliasLength = fieldAliasesText_.size() - aliasBegin;
      ++written;
    }
  }
  // Looked up once the names stopped moving.
  for (size_t i = firstPending; i < pending_.size(); ++i) {
    pending_[i].lookup =
        fieldNames_.lookup(std::string_view(fieldNamesText_.data() + pending_[i].nameBegin, pending_[i].nameLength));
  }
  return child;
}

void HeaderModel::defineFields(size_t from) {
  for (size_t i = from; i < pending_.size(); ++i) {
    HeaderField& field = fields_[pending_[i].field];
    field.defined = fieldNames_.insert(pending_[i].lookup, field.element);
    if (!field.defined) warnDuplicate(pending_[i].lookup.name);
  }
}

void HeaderModel::warnDuplicate(std::string_view name) {
  if (warn_) warn_("warning: ignoring multiply defined symbol " + std::string(name) + "\n");
}

bool HeaderModel::writable(const MemoryMapElement& element, const char* what, std::string_view text) {
  if (fitsOnOneLine(text)) return true;
  if (problem_.element == nullptr) problem_ = UnwritableText{&element, what, std::string(text)};
  return false;
}

std::string DefinitionNames::name(DefinitionKind kind, std::string_view stem) const {
  std::string out;
  append(out, kind, stem);
  return out;
}

std::string DefinitionNames::registerName(const MemoryMapElement& reg) const {
  std::string stem;
  rw::registerName(stem, reg, asMemoryMapElement(reg.parent), options_);
  return stem;
}

std::string DefinitionNames::fieldOwnName(std::string_view plainName) const {
  std::string repaired(plainName);
  fixDefinitionName(repaired, options_);
  return repaired;
}

std::string DefinitionNames::fieldName(std::string_view registerStem, std::string_view plainName) const {
  std::string stem;
  bitFieldName(stem, registerStem, plainName, options_);
  return stem;
}

std::string DefinitionNames::fieldAlias(std::optional<std::string_view> aka, std::string_view plainName) const {
  std::string stem;
  bitFieldAlias(stem, aka, plainName, options_);
  return stem;
}

std::string DefinitionNames::nameOf(DefinitionKind kind, const MemoryMapElement& element) const {
  std::string stem;
  switch (kind) {
    case DefinitionKind::GroupBase:
    case DefinitionKind::Vector:
      stem = textOf(element.name());
      break;
    case DefinitionKind::Register:
    case DefinitionKind::RegisterOffset:
      stem = registerName(element);
      break;
    case DefinitionKind::RegisterAlias:
    case DefinitionKind::AliasOffset:
      registerAlias(stem, element.getAttribute(attribute::kAka), options_);
      break;
    default: {
      const MemoryMapElement& reg = *asMemoryMapElement(element.parent);
      stem = isAliasDefinition(kind) ? fieldAlias(reg.getAttribute(attribute::kAka), textOf(element.name()))
                                     : fieldName(registerName(reg), textOf(element.name()));
      break;
    }
  }
  return name(kind, stem);
}

namespace {

class DefinitionLister : public HeaderVisitor {
public:
  DefinitionLister(const DefinitionNames& names, const DefinitionVisit& visit) : names_(names), visit_(visit) {}

  void group(const HeaderGroup& group) override {
    if (group.definesBase) define(DefinitionKind::GroupBase, *group.element, group.name);
  }
  void reg(const HeaderRegister& reg) override {
    if (reg.defined) {
      forEachRegisterDefinition(reg, [&](DefinitionKind kind, std::string_view stem) { define(kind, *reg.element, stem); });
    }
    for (const HeaderField& field : reg.fields) {
      if (!field.defined) continue;
      forEachFieldDefinition(field.name, field.alias, field.singleBit(), reg.bitBand,
                             [&](DefinitionKind kind, std::string_view stem) { define(kind, *field.element, stem); });
    }
  }
  void vector(const HeaderVector& vector) override { define(DefinitionKind::Vector, *vector.element, vector.name); }

private:
  void define(DefinitionKind kind, const MemoryMapElement& element, std::string_view stem) {
    name_.clear();
    names_.append(name_, kind, stem);
    visit_(kind, element, name_);
  }

  const DefinitionNames& names_;
  const DefinitionVisit& visit_;
  std::string name_;
};

}  // namespace

void forEachDefinition(const MemoryMapElement* first, const HeaderOptions& options, const DefinitionVisit& visit) {
  HeaderModel model(options);
  DefinitionLister lister(model.names(), visit);
  model.walk(first, lister);
}

}  // namespace rw

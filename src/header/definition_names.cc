#include "header/definition_names.h"

#include "xml/utf8_text.h"


namespace rw {
namespace {

bool isNumberCharacter(char32_t c) { return (c >= '0' && c <= '9') || (c >= 0x80 && isUnicodeNumber(c)); }

}  // namespace

void fixDefinitionName(std::string& name, const HeaderOptions& options) {
  if (!options.fixDefs) {
    return;
  }
  size_t first = 0;
  const bool needsUnderscore = !name.empty() && isNumberCharacter(nextCharacter(name, first));
  // One pass that drops brackets, maps separators and stops at "(": the
  // cut comes last in the rules, but nothing after the "(" survives anyway.
  size_t kept = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c == '(') {
      break;
    }
    if (c == '[' || c == ']') {
      continue;
    }
    if (c == '-' || c == ':' || c == '/') {
      c = '_';
    }
    name[kept++] = c;
  }
  name.resize(kept);
  if (needsUnderscore) {
    name.insert(name.begin(), '_');
  }
}

void registerName(std::string& out, const MemoryMapElement& reg, const MemoryMapElement* group,
                  const HeaderOptions& options) {
  out.clear();
  if (group != nullptr && (options.prependRegGroup || group->getAttribute(attribute::kPrependGroupName))) {
    if (const std::optional<std::string_view> groupName = group->name()) {
      out += *groupName;
    }
    out += '_';
  }
  if (const std::optional<std::string_view> name = reg.name()) {
    out += *name;
  }
  fixDefinitionName(out, options);
}

void bitFieldName(std::string& out, std::string_view registerName, std::string_view fieldName,
                  const HeaderOptions& options) {
  // Only the field's own part is repaired: a digit after the register's
  // name needs no underscore.
  std::string repaired(fieldName);
  fixDefinitionName(repaired, options);
  out.clear();
  if (!options.noPrependReg) {
    out += registerName;
    out += '_';
  }
  out += repaired;
}

void registerAlias(std::string& out, std::optional<std::string_view> aka, const HeaderOptions& options) {
  out.assign(textOf(aka));
  fixDefinitionName(out, options);
}

void bitFieldAlias(std::string& out, std::optional<std::string_view> aka, std::string_view fieldName,
                   const HeaderOptions& options) {
  out.clear();
  if (!aka) return;
  std::string repaired(fieldName);
  fixDefinitionName(repaired, options);
  out += *aka;
  out += '_';
  out += repaired;
  fixDefinitionName(out, options);
}

}  // namespace rw

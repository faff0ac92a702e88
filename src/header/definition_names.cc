#include "header/definition_names.h"

#include <utf8proc.h>


namespace rw {
namespace {

// The first character of `name`, decoded as UTF-8; a byte that does not start
// a valid sequence stands for the Latin-1 character of the same value, which
// is what the byte most likely meant in an older 8-bit map.
int32_t firstCodePoint(const std::string& name) {
  utf8proc_int32_t codePoint = -1;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(name.data());
  utf8proc_ssize_t length = utf8proc_iterate(bytes, static_cast<utf8proc_ssize_t>(name.size()), &codePoint);
  if (length <= 0 || codePoint < 0) {
    return static_cast<unsigned char>(name[0]);
  }
  return codePoint;
}

bool isNumberCharacter(int32_t codePoint) {
  if (codePoint >= '0' && codePoint <= '9') {
    return true;
  }
  if (codePoint < 0x80) {
    return false;
  }
  switch (utf8proc_category(codePoint)) {
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
    case UTF8PROC_CATEGORY_NO:
      return true;
    default:
      return false;
  }
}

}  // namespace

void fixDefinitionName(std::string& name, const HeaderOptions& options) {
  if (!options.fixDefs) {
    return;
  }
  bool needsUnderscore = !name.empty() && isNumberCharacter(firstCodePoint(name));
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
  if (group != nullptr && (options.prependRegGroup || group->getAttribute("prepend_group_name"))) {
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
  out.assign(aka.value_or(std::string_view()));
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

// How element names become C identifiers: the register name with its optional
// group prefix, and the optional repair of characters that C does not accept.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// With -fixdefs: puts "_" in front of a name whose first character is a
// number (a decimal digit or any Unicode number, read as UTF-8 with invalid
// bytes taken as Latin-1), drops "[" and "]", turns "-", ":" and "/" into "_"
// and cuts the name before its first "(". Without -fixdefs the name is left
// alone.
void fixDefinitionName(std::string& name, const HeaderOptions& options);

// Into `out` (reused by callers in a loop): the register's name, behind
// "<group name>_" when `group` is not null and either -prependreggroup is
// given or the group carries "prepend_group_name"; the whole repaired by
// fixDefinitionName.
void registerName(std::string& out, const MemoryMapElement& reg, const MemoryMapElement* group,
                  const HeaderOptions& options);

// Into `out`: a bit field's name, repaired, behind "<registerName>_" unless
// -noprependreg; `registerName` as registerName gives it.
void bitFieldName(std::string& out, std::string_view registerName, std::string_view fieldName,
                  const HeaderOptions& options);

// Into `out`: the alias a register's "aka" gives it, repaired; empty when
// the register has none (or an empty one).
void registerAlias(std::string& out, std::optional<std::string_view> aka, const HeaderOptions& options);

// Into `out`: the alias of a bit field of a register with an "aka": the raw
// aka, "_" and the repaired field name, repaired as a whole. Empty when the
// register has no "aka"; never empty when it has one, even an empty one.
void bitFieldAlias(std::string& out, std::optional<std::string_view> aka, std::string_view fieldName,
                   const HeaderOptions& options);

}  // namespace rw

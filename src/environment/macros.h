// The system macro table, $(NAME) expansion and NAME=VALUE definition lists.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "environment/paths.h"
#include "environment/property_class.h"

namespace rw {

using MacroMap = std::map<std::string, std::string>;

// A macro table passed by value per nesting level. Copies share one map and a
// write copies it first, so entering a level costs O(1) however many macros
// are defined.
class MacroTable {
public:
  MacroTable() : map_(std::make_shared<MacroMap>()) {}
  explicit MacroTable(MacroMap map) : map_(std::make_shared<MacroMap>(std::move(map))) {}

  const MacroMap& map() const { return *map_; }
  const std::string* find(const std::string& name) const {
    auto it = map_->find(name);
    return it == map_->end() ? nullptr : &it->second;
  }
  bool contains(const std::string& name) const { return map_->count(name) != 0; }
  void set(const std::string& name, std::string value) { mutableMap()[name] = std::move(value); }
  MacroMap& mutableMap() {
    if (map_.use_count() > 1) map_ = std::make_shared<MacroMap>(*map_);
    return *map_;
  }

private:
  std::shared_ptr<MacroMap> map_;
};

// One displayed system macro: key "$(NAME)", group "System Macro Values".
class MacroPropertyClass : public PropertyClass {
public:
  MacroPropertyClass(std::string_view name, std::string_view description);
  std::string macroName;
};

// The group label of displayed macros that are not system macros (build
// macros); the tool itself creates none.
inline constexpr const char* kBuildMacroGroup = "(Build Macro Values)";
inline constexpr const char* kSystemMacroGroup = "System Macro Values";

class PropertyClassList {
public:
  // Fills the fifteen system macros.
  PropertyClassList();
  PropertyClassList(const PropertyClassList&) = delete;
  PropertyClassList& operator=(const PropertyClassList&) = delete;

  // Replaces the value of `name`; a non-empty description also appends a
  // display entry (a second add with a description appends a second one).

  void addMacro(const std::string& name, const std::string& value, const std::string& description);
  void setPathMacro(const std::string& name, PathName path, const std::string& description);

  const MacroMap& systemMacros() const { return systemMacros_; }
  const MacroMap& buildMacros() const { return buildMacros_; }
  const std::vector<std::unique_ptr<MacroPropertyClass>>& entries() const { return entries_; }

  const char sigil = '$';

private:
  std::vector<std::unique_ptr<MacroPropertyClass>> entries_;
  MacroMap systemMacros_;
  MacroMap buildMacros_;
};

// The process-wide system macro table; null until the entry point creates it.
PropertyClassList* systemMacroTable();
void setSystemMacroTable(PropertyClassList* table);

// Replaces $(NAME), $(NAME:DEFAULT) and $(NAME::DEFAULT) references and turns
// "$$" into "$". Names are looked up in `callerMap`, then (when asked) in the
// build macros, then in the system macros; an unknown name without a default
// stays as written.
std::string expandMacros(const PropertyClassList& table, const MacroMap& callerMap, std::string_view text,
                         bool useBuildMacros, bool useSystemMacros);
// The caller's macros when they are not one map (the preprocessor keeps a
// persistent table per nesting level, cheap to copy and to extend).
class MacroLookup {
public:
  virtual ~MacroLookup() = default;
  // The value of `name`, or null when the caller does not define it.
  virtual const std::string* find(const std::string& name) const = 0;
};
std::string expandMacros(const PropertyClassList& table, const MacroLookup& caller, std::string_view text,
                         bool useBuildMacros, bool useSystemMacros);
std::string expandSystemMacros(const PropertyClassList& table, std::string_view text);
// The current date or time text for the eight date and time macro names.
bool dynamicMacroValue(std::string_view name, std::string& out);

// Items of a ';'-separated list; a backslash makes the next character literal.
std::vector<std::string> splitDefinitionList(std::string_view text, bool keepEmpty);
MacroMap parseMacroDefinitions(const std::vector<std::string>& list);
MacroMap mergeMacros(const MacroMap& first, const MacroMap& second);

}  // namespace rw

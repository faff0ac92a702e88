#include "environment/macros.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "environment/product_identity.h"

namespace rw {

namespace {

// Each pass resolves one more level of references written inside defaults
// ($(A:$(B:$(C))) needs three). Real texts nest a handful of levels; the
// bound keeps a hostile text that nests defaults thousands deep, or a macro
// whose value keeps producing new references, from running unbounded.
constexpr int kMaxExpansionPasses = 32;

// A macro whose value contains references to itself can double the text on
// every pass; past this size the text is returned as it stands. File names
// and attribute values, the texts expanded, stay far below it. Every pass
// over a text this long costs a few milliseconds, so one runaway expansion
// stays well under a second.
constexpr size_t kMaxExpandedLength = size_t{1} << 20;

PropertyClassList* gSystemMacroTable = nullptr;

// Where each reference "$(" ends: for every '(' that follows a sigil, the
// index of the ')' that brings its depth back to 0 (npos when none does),
// ordered by the position of the '('. Looking the end up here keeps a pass
// linear even when thousands of unclosed "$(" would each scan to the end of
// the text; memory grows with the references and the nesting, not the text.
class ReferenceEnds {
public:
  // Buffers are kept from one pass to the next.
  void scan(std::string_view text, char sigil) {
    references_.clear();
    open_.clear();
    next_ = 0;
    const char* data = text.data();
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
      const char c = data[i];
      if (c == '(') {
        if (i > 0 && data[i - 1] == sigil) {
          open_.push_back(references_.size());
          references_.push_back({i, std::string_view::npos});
        } else {
          open_.push_back(kPlainParenthesis);
        }
      } else if (c == ')' && !open_.empty()) {
        if (open_.back() != kPlainParenthesis) references_[open_.back()].close = i;
        open_.pop_back();
      }
    }
  }

  // The closing index for the '(' at `openParen`; calls come in increasing
  // order of `openParen`.
  size_t closeOf(size_t openParen) {
    while (next_ < references_.size() && references_[next_].open < openParen) ++next_;
    if (next_ < references_.size() && references_[next_].open == openParen) return references_[next_].close;
    return std::string_view::npos;
  }

private:
  static constexpr size_t kPlainParenthesis = static_cast<size_t>(-1);
  struct Reference {
    size_t open;
    size_t close;
  };
  // In the order of their '('.
  std::vector<Reference> references_;
  // Open parentheses: an index into references_, or kPlainParenthesis.
  std::vector<size_t> open_;
  size_t next_ = 0;
};

class MapLookup : public MacroLookup {
public:
  explicit MapLookup(const MacroMap& map) : map_(map) {}
  const std::string* find(const std::string& name) const override {
    auto it = map_.find(name);
    return it == map_.end() ? nullptr : &it->second;
  }

private:
  const MacroMap& map_;
};

const std::string* lookUp(const PropertyClassList& table, const MacroLookup& caller, const std::string& name,
                          bool useBuildMacros, bool useSystemMacros) {
  if (const std::string* value = caller.find(name)) return value;
  if (useBuildMacros) {
    if (auto it = table.buildMacros().find(name); it != table.buildMacros().end()) return &it->second;
  }
  if (useSystemMacros) {
    if (auto it = table.systemMacros().find(name); it != table.systemMacros().end()) return &it->second;
  }
  return nullptr;
}

// One pass over `text`; returns whether a reference asked for another pass.
bool expandOnePass(const PropertyClassList& table, const MacroLookup& caller, std::string_view text,
                   bool useBuildMacros, bool useSystemMacros, ReferenceEnds& referenceEnds, std::string& out) {
  const char sigil = table.sigil;
  const size_t n = text.size();
  referenceEnds.scan(text, sigil);
  const size_t lastSigil = text.rfind(sigil);
  bool reexpand = false;
  out.clear();
  out.reserve(n);

  size_t i = 0;
  while (i < n) {
    const char c = text[i];
    if (c != sigil) {
      const size_t nextSigil = std::min(text.find(sigil, i), n);
      out.append(text.substr(i, nextSigil - i));
      i = nextSigil;
      continue;
    }
    if (i + 1 == n) {
      out += c;
      break;
    }
    const char next = text[i + 1];
    if (next == sigil) {
      out += sigil;
      i += 2;
      continue;
    }
    if (next != '(') {
      out += c;
      ++i;
      continue;
    }

    const size_t textBegin = i + 2;
    const size_t close = referenceEnds.closeOf(i + 1);
    if (close == std::string_view::npos) {
      // The collection ran to the end of the text; a sigil it passed still
      // counts. Nothing is written for the sigil and the '(' is scanned again.
      if (lastSigil != std::string_view::npos && lastSigil >= textBegin) reexpand = true;
      ++i;
      continue;
    }

    std::string_view reference = text.substr(textBegin, close - textBegin);
    if (reference.find(sigil) != std::string_view::npos) reexpand = true;

    // Without a default, an unknown name reproduces the reference itself.
    std::string_view name = reference;
    std::string_view fallback = text.substr(i, close + 1 - i);
    const size_t colon = reference.find(':');
    if (colon != std::string_view::npos) {
      name = reference.substr(0, colon);
      if (colon + 1 < reference.size() && reference[colon + 1] == ':') {
        // NAME::DEFAULT writes its default literally, and that wins for the
        // whole pass.
        fallback = reference.substr(colon + 2);
        reexpand = false;
      } else {
        fallback = reference.substr(colon + 1);
      }
    }

    const std::string nameText(name);
    if (const std::string* value = lookUp(table, caller, nameText, useBuildMacros, useSystemMacros)) {
      std::string dynamic;
      if (dynamicMacroValue(nameText, dynamic)) {
        out += dynamic;
      } else {
        out += *value;
      }
    } else {
      out += fallback;
    }
    i = close + 1;
  }
  return reexpand;
}

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

std::string twoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

std::string fourDigitYear(int year) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d", year);
  return buffer;
}

}  // namespace

MacroPropertyClass::MacroPropertyClass(std::string_view name, std::string_view description) : macroName(name) {
  key = "$(" + std::string(name) + ")";
  shortName = key;
  group = kSystemMacroGroup;
  page = "Properties";
  type = static_cast<int32_t>(PropertyType::String);
  longText = description;
  defaultValue.clear();
  flags = 0;
}

PropertyClassList::PropertyClassList() {
  const std::string env = product::kEnvironmentName;
  addMacro("Date", "", "Day Month Year e.g. 21 June 2011.");
  addMacro("DateYear", "", "Year e.g. 2011.");
  addMacro("DateMonth", "", "Month e.g. June.");
  addMacro("DateDay", "", "Day e.g. 21.");
  addMacro("Time", "", "Hour:Minutes:Seconds e.g. 15:34:03.");
  addMacro("TimeHour", "", "Hour e.g. 15.");
  // Worded like their neighbours; only a display of the macros shows them.
  addMacro("TimeMinute", "", "Minute e.g. 34.");
  addMacro("TimeSecond", "", "Second e.g. 03.");
  addMacro("HostArch", "x64", "The CPU architecture that " + env + " is running on e.g. x86.");
  addMacro("HostOS", "linux", "The name of the operating system that " + env + " is running on e.g. win.");
  addMacro("Micro", product::kTargetArchitecture, "The " + env + " target e.g. ARM.");
  addMacro("TargetID", std::to_string(product::kTargetId), "ID number representing the " + env + " target.");
  addMacro("HostEXE", "",
           "The file extension for executables on the CPU that " + env + " is running on e.g. .exe.");
  addMacro("HostDLLExt", ".so",
           "The file extension for dynamic link libraries used by the operating system that " + env +
               " is running on e.g. .dll, .so, .dylib.");
  addMacro("HostDLL", ".so_x64",
           "The file extension for dynamic link libraries on the CPU that " + env + " is running on e.g. .dll.");
}

void PropertyClassList::addMacro(const std::string& name, const std::string& value, const std::string& description) {
  if (!description.empty()) entries_.push_back(std::make_unique<MacroPropertyClass>(name, description));
  systemMacros_[name] = value;
}

void PropertyClassList::setPathMacro(const std::string& name, PathName path, const std::string& description) {
  addMacro(name, path.str(), description);
}

PropertyClassList* systemMacroTable() { return gSystemMacroTable; }
void setSystemMacroTable(PropertyClassList* table) { gSystemMacroTable = table; }

std::string expandMacros(const PropertyClassList& table, const MacroMap& callerMap, std::string_view text,
                         bool useBuildMacros, bool useSystemMacros) {
  return expandMacros(table, MapLookup(callerMap), text, useBuildMacros, useSystemMacros);
}

std::string expandMacros(const PropertyClassList& table, const MacroLookup& caller, std::string_view text,
                         bool useBuildMacros, bool useSystemMacros) {
  std::string working(text);
  std::string out;
  ReferenceEnds referenceEnds;
  for (int pass = 0; pass < kMaxExpansionPasses; ++pass) {
    if (working.empty()) return working;
    const bool reexpand = expandOnePass(table, caller, working, useBuildMacros, useSystemMacros, referenceEnds, out);
    // A pass that reproduces its input would do so forever ($($(X)) with X
    // undefined keeps its text).
    if (!reexpand || out == working) return out;
    if (out.size() > kMaxExpandedLength) {
      std::fprintf(stderr, "warning: macro expansion stopped when the text passed %zu bytes\n", kMaxExpandedLength);
      return out;
    }
    working.swap(out);
  }
  // The last pass may have resolved everything it asked for.
  if (working.find(std::string{table.sigil, '('}) != std::string::npos) {
    std::fprintf(stderr, "warning: macro expansion stopped after %d passes; the text still holds references\n",
                 kMaxExpansionPasses);
  }
  return working;
}

std::string expandSystemMacros(const PropertyClassList& table, std::string_view text) {
  return expandMacros(table, MacroMap(), text, false, true);
}

bool dynamicMacroValue(std::string_view name, std::string& out) {
  if (name != "Date" && name != "DateYear" && name != "DateMonth" && name != "DateDay" && name != "Time" &&
      name != "TimeHour" && name != "TimeMinute" && name != "TimeSecond") {
    return false;
  }
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // Fixed English month names and plain digits: the text must not depend on
  // the user's locale.
  if (name == "Date") {
    out = std::to_string(local.tm_mday) + " " + kMonthNames[local.tm_mon] + " " + fourDigitYear(local.tm_year + 1900);
  } else if (name == "DateYear") {
    out = fourDigitYear(local.tm_year + 1900);
  } else if (name == "DateMonth") {
    out = twoDigits(local.tm_mon + 1);
  } else if (name == "DateDay") {
    out = twoDigits(local.tm_mday);
  } else if (name == "Time") {
    out = twoDigits(local.tm_hour) + ":" + twoDigits(local.tm_min) + ":" + twoDigits(local.tm_sec);
  } else if (name == "TimeHour") {
    out = twoDigits(local.tm_hour);
  } else if (name == "TimeMinute") {
    out = twoDigits(local.tm_min);
  } else {
    out = twoDigits(local.tm_sec);
  }
  return true;
}

std::vector<std::string> splitDefinitionList(std::string_view text, bool keepEmpty) {
  std::vector<std::string> items;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      current += text[++i];
    } else if (c == ';') {
      if (keepEmpty || !current.empty()) items.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (keepEmpty || !current.empty()) items.push_back(current);
  return items;
}

MacroMap parseMacroDefinitions(const std::vector<std::string>& list) {
  MacroMap macros;
  for (const std::string& definition : list) {
    const size_t equals = definition.find('=');
    if (equals == std::string::npos) {
      macros[definition] = std::string();
    } else {
      macros[definition.substr(0, equals)] = definition.substr(equals + 1);
    }
  }
  return macros;
}

MacroMap mergeMacros(const MacroMap& first, const MacroMap& second) {
  MacroMap merged = first;
  for (const auto& [name, value] : second) merged[name] = value;
  return merged;
}

}  // namespace rw

#include "macros/macro_expansion.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "macros/product.h"

namespace rw {

namespace {

constexpr char kSigil = '$';

// Each pass resolves one more level of references written inside defaults
// ($(A:$(B:$(C))) needs three). Real texts nest a handful of levels; the
// bound keeps a hostile text that nests defaults thousands deep, or a macro
// whose value keeps producing new references, from running unbounded.
constexpr int kMaxExpansionPasses = 32;

// A macro whose value contains references to itself can double the text on
// every pass, and a chain of defines that each double the one before doubles
// it in one pass; past this size, or this much growth within a pass, the
// text is returned as it stands. File names and attribute values, the texts
// expanded, stay far below it, and a pass over a text this long costs a few
// milliseconds.
constexpr size_t kMaxExpandedLength = size_t{1} << 20;

// What all expansions of a run may write in values and defaults together. A
// large map's attributes hold tens of megabytes; a map that asks for far more
// multiplies text on purpose (a loop of ten thousand rounds over a macro of a
// hundred kilobytes), and the run ends in bounded memory rather than in an
// allocation failure. The run is the process, so the account is the
// process's.
constexpr size_t kMaxExpandedPerRun = size_t{256} << 20;
size_t gExpandedThisRun = 0;
bool gRunLimitReported = false;

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

std::string zeroPadded(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  return buffer;
}

// The current date or time for the eight date and time names. Fixed English
// month names and plain digits: the text must not depend on the locale.
bool dateOrTime(std::string_view name, std::string& out) {
  if (!isDateOrTimeName(name)) return false;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  const std::string year = zeroPadded(local.tm_year + 1900, 4);
  const std::string hour = zeroPadded(local.tm_hour, 2);
  const std::string minute = zeroPadded(local.tm_min, 2);
  const std::string second = zeroPadded(local.tm_sec, 2);
  if (name == "Date") out = std::to_string(local.tm_mday) + " " + kMonthNames[local.tm_mon] + " " + year;
  if (name == "DateYear") out = year;
  if (name == "DateMonth") out = zeroPadded(local.tm_mon + 1, 2);
  if (name == "DateDay") out = zeroPadded(local.tm_mday, 2);
  if (name == "Time") out = hour + ":" + minute + ":" + second;
  if (name == "TimeHour") out = hour;
  if (name == "TimeMinute") out = minute;
  if (name == "TimeSecond") out = second;
  return true;
}

}  // namespace

bool isDateOrTimeName(std::string_view name) {
  static constexpr std::string_view kNames[] = {"Date", "DateYear", "DateMonth", "DateDay",
                                                "Time", "TimeHour", "TimeMinute", "TimeSecond"};
  // Every other name is told apart by its first letter: most names are not
  // these, and every reference asks.
  if (name.empty() || (name[0] != 'D' && name[0] != 'T')) return false;
  return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

size_t expandedTextLeft() { return kMaxExpandedPerRun - gExpandedThisRun; }

bool chargeExpandedText(size_t bytes) {
  if (bytes > kMaxExpandedPerRun - gExpandedThisRun) return false;
  gExpandedThisRun += bytes;
  return true;
}

namespace {

enum class Pass { Done, Again, TooLong, RunSpent };

// One pass over `text` into `out`. TooLong when the pass would grow the text
// by more than kMaxExpandedLength, RunSpent when the run's account is: `out`
// then holds what was expanded so far and the rest of `text` as it stands.
Pass expandOnePass(std::string_view text, const MacroTable& macros, ReferenceEnds& referenceEnds, std::string& out) {
  const size_t n = text.size();
  referenceEnds.use(text);
  bool reexpand = false;
  out.clear();
  out.reserve(n);

  size_t i = 0;
  while (i < n) {
    if (text[i] != kSigil) {
      const size_t nextSigil = std::min(text.find(kSigil, i), n);
      out.append(text.substr(i, nextSigil - i));
      i = nextSigil;
      continue;
    }
    if (i + 1 == n) {
      out += kSigil;
      break;
    }
    if (text[i + 1] == kSigil) {
      out += kSigil;
      i += 2;
      continue;
    }
    if (text[i + 1] != '(') {
      out += kSigil;
      ++i;
      continue;
    }

    const size_t textBegin = i + 2;
    const size_t close = referenceEnds.closeOf(i + 1);
    if (close == std::string_view::npos) {
      // The reference runs to the end of the text: nothing is written for
      // the sigil and the '(' is read again as plain text. A sigil the
      // reference passed over still asks for another pass.
      if (text.find(kSigil, textBegin) != std::string_view::npos) reexpand = true;
      ++i;
      continue;
    }

    const std::string_view reference = text.substr(textBegin, close - textBegin);
    if (reference.find(kSigil) != std::string_view::npos) reexpand = true;

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

    std::string now;
    const std::string* value = macros.find(name);
    const std::string_view written = value == nullptr ? fallback : dateOrTime(name, now) ? now : *value;
    const bool tooLong = out.size() + written.size() > n + kMaxExpandedLength;
    if (tooLong || written.size() > kMaxExpandedPerRun - gExpandedThisRun) {
      out.append(text.substr(i));
      return tooLong ? Pass::TooLong : Pass::RunSpent;
    }
    gExpandedThisRun += written.size();
    out += written;
    i = close + 1;
  }
  return reexpand ? Pass::Again : Pass::Done;
}

void warnTooLong() {
  std::fprintf(stderr, "warning: macro expansion stopped when the text passed %zu bytes\n", kMaxExpandedLength);
}

}  // namespace

std::string expandMacros(std::string_view text, const MacroTable& macros) {
  MacroExpander expander;
  return expander.expand(text, macros);
}

void MacroExpander::expand(std::string_view text, const MacroTable& macros, std::string& out) {
  std::string_view input = text;
  for (int round = 0; round < kMaxExpansionPasses; ++round) {
    if (input.empty()) {
      out.clear();
      return;
    }
    const Pass pass = expandOnePass(input, macros, referenceEnds_, out);
    if (pass == Pass::TooLong) {
      warnTooLong();
      return;
    }
    if (pass == Pass::RunSpent) {
      if (!gRunLimitReported) {
        // Once: every later expansion of the run stops the same way.
        gRunLimitReported = true;
        std::fprintf(stderr, "warning: macro expansion stopped when the run's expanded text passed %zu bytes\n",
                     kMaxExpandedPerRun);
      }
      return;
    }
    // A pass that reproduces its input would do so forever ($($(X)) with X
    // undefined keeps its text).
    if (pass == Pass::Done || out == input) return;
    if (out.size() > kMaxExpandedLength) {
      warnTooLong();
      return;
    }
    working_.swap(out);
    input = working_;
  }
  // The last pass may have resolved everything it asked for.
  if (input.find("$(") != std::string::npos) {
    std::fprintf(stderr, "warning: macro expansion stopped after %d passes; the text still holds references\n",
                 kMaxExpansionPasses);
  }
  out.assign(input);
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

MacroTable parseMacroDefinitions(const std::vector<std::string>& items) {
  MacroTable macros;
  for (const std::string& item : items) {
    const size_t equals = item.find('=');
    if (equals == std::string::npos) {
      macros.set(item, std::string());
    } else {
      macros.set(std::string_view(item).substr(0, equals), item.substr(equals + 1));
    }
  }
  return macros;
}

MacroTable macroDefinitions(std::string_view list) { return parseMacroDefinitions(splitDefinitionList(list, false)); }

MacroTable systemMacros() {
  MacroTable macros;
  // The date and time names hold nothing: their value is worked out at each
  // expansion.
  for (const char* name : {"Date", "DateYear", "DateMonth", "DateDay", "Time", "TimeHour", "TimeMinute", "TimeSecond"}) {
    macros.set(name, std::string());
  }
  macros.set("HostArch", "x64");
  macros.set("HostOS", "linux");
  macros.set("Micro", product::kTargetArchitecture);
  macros.set("TargetID", std::to_string(product::kTargetId));
  macros.set("HostEXE", "");
  macros.set("HostDLLExt", ".so");
  macros.set("HostDLL", ".so_x64");
  return macros;
}

}  // namespace rw

// Interrupt vectors: a number each, written so that C reads it as meant, and
// no number twice.
#include <optional>
#include <string>
#include <unordered_map>

#include "checks/check_context.h"
#include "expr/integer_literal.h"

namespace rw::checks {

namespace {

// The value of a decimal literal without a leading zero ("0" itself
// aside) or of a "0x" hexadecimal one; nothing for anything else, and for a
// value beyond 64 bits.
std::optional<uint64_t> vectorNumber(std::string_view text) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() > 1 && text[0] == '0') {
    return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    const int digit = digitValue(c, base);
    if (digit < 0 || value > (UINT64_MAX - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
      return std::nullopt;
    }
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  return value;
}

bool looksOctal(std::string_view text) {
  if (text.size() < 2 || text[0] != '0') return false;
  return text.find_first_not_of("01234567") == std::string_view::npos;
}

class VectorCheck : public Check {
public:
  VectorCheck(const DefinitionNames& names, Findings& findings) : names_(names), findings_(findings) {}

  void vector(const HeaderVector& record) override {
    const MemoryMapElement& vector = *record.element;
    const std::string_view text = record.number;
    if (text.empty()) {
      findings_.add(vector, "vector", describe(vector, names_) + " has no number");
      return;
    }
    const std::optional<uint64_t> number = vectorNumber(text);
    if (!number) {
      findings_.add(vector, "vector",
                    describe(vector, names_) + " has number " + std::string(text) +
                        ", which is not a non-negative decimal or hexadecimal literal" +
                        (looksOctal(text) ? " (C reads a leading 0 as octal)" : ""));
      return;
    }
    const auto [first, added] = numbered_.try_emplace(*number, &vector);
    if (!added) {
      findings_.add(vector, "vector",
                    describe(vector, names_) + " has number " + std::string(text) + ", which " +
                        describe(*first->second, names_) + " (" + findings_.where(*first->second) + ") has too");
    }
  }

private:
  const DefinitionNames& names_;
  Findings& findings_;
  std::unordered_map<uint64_t, const MemoryMapElement*> numbered_;
};

}  // namespace

std::unique_ptr<Check> vectorCheck(const DefinitionNames& names, Findings& findings) {
  return std::make_unique<VectorCheck>(names, findings);
}

}  // namespace rw::checks

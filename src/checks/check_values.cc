// Values that the outputs beyond the flat header write as numbers: a
// register's reset value and an enumerated value. One that is not wholly a
// number is left out of them rather than cut to the number it begins with;
// this says which.
#include <string>

#include "checks/check_context.h"
#include "expr/integer_literal.h"
#include "expr/whole_number.h"

namespace rw::checks {

namespace {

// A value is shown whole up to this many bytes: enough for any number or
// expression a map writes, while a megabyte of text in a reset value does
// not become a megabyte of warning.
constexpr size_t kShownBytes = 64;

// `text` as a warning can show it on its one line: control characters as
// C escapes, and cut short after kShownBytes.
std::string shown(std::string_view text) {
  std::string out;
  for (const char c : text.substr(0, kShownBytes)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      appendHexDigits(out, byte, 2);
    } else {
      out += c;
    }
  }
  if (text.size() > kShownBytes) out += "...";
  return out;
}

class ValueCheck : public Check {
public:
  ValueCheck(const DefinitionNames& names, Findings& findings) : names_(names), findings_(findings) {}

  void reg(const HeaderRegister& record) override {
    const MemoryMapElement& reg = *record.element;
    // An empty reset value is none at all.
    const std::string_view reset = textOf(reg.getAttribute("reset_value"));
    if (!reset.empty() && !wholeNumber(reset)) {
      findings_.add(reg, "value",
                    describe(reg, names_) + " has reset value " + shown(reset) +
                        ", which is not a number; -svd and -html leave it out");
    }
    for (const HeaderField& field : record.fields) enumeratedValues(*field.element);
  }

private:
  void enumeratedValues(const MemoryMapElement& field) {
    for (const XMLNode* child = field.firstChild; child != nullptr; child = child->nextSibling) {
      const MemoryMapElement* item = asMemoryMapElement(child);
      // SVD holds a value or the default mark, not both: a default's value
      // is left out whatever it is.
      if (item == nullptr || item->kind() != ElementKind::Enum || item->hasAttribute("is_default")) continue;
      const std::string_view value = textOf(item->startText());
      if (wholeNumber(value) || isDontCarePattern(value)) continue;
      const std::string_view name = textOf(item->name());
      std::string message = (name.empty() ? std::string("unnamed enumerated value")
                                          : "enumerated value " + std::string(name)) +
                            " of " + describe(field, names_);
      message += value.empty() ? " has no value" : " has value " + shown(value) + ", which is not a number";
      findings_.add(*item, "value", message + "; -svd leaves it out");
    }
  }

  const DefinitionNames& names_;
  Findings& findings_;
};

}  // namespace

std::unique_ptr<Check> valueCheck(const DefinitionNames& names, Findings& findings) {
  return std::make_unique<ValueCheck>(names, findings);
}

}  // namespace rw::checks

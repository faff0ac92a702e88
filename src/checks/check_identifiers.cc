// Names the header defines that C does not take as identifiers, or that it
// reserves for the implementation.
//
// An element is blamed only for its own text: the name is judged again with
// that text replaced by a plain one, and a problem that stays (from
// -defprefixstring, say, or from the register in front of a field's name)
// is not the element's.
#include <set>
#include <string>

#include "checks/check_context.h"
#include "checks/header_definitions.h"
#include "header/definition_names.h"

namespace rw::checks {

namespace {

enum class Problem { None, NotIdentifier, Reserved };

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isIdentifierCharacter(char c) { return isLetter(c) || (c >= '0' && c <= '9') || c == '_'; }

Problem problemOf(std::string_view name) {
  if (name.empty() || !(isLetter(name[0]) || name[0] == '_')) return Problem::NotIdentifier;
  for (const char c : name) {
    if (!isIdentifierCharacter(c)) return Problem::NotIdentifier;
  }
  if (name.size() > 1 && name[0] == '_' && (name[1] == '_' || (name[1] >= 'A' && name[1] <= 'Z'))) {
    return Problem::Reserved;
  }
  return Problem::None;
}

// Text that cannot make a name worse wherever it stands: a letter, then
// letters, digits and underscores. Most names are plain, and then there is
// nothing to judge.
bool isPlain(std::string_view text) {
  if (text.empty() || !isLetter(text[0])) return false;
  for (const char c : text) {
    if (!isIdentifierCharacter(c)) return false;
  }
  return true;
}

// What an element's own text in a name stands for when it is judged away.
constexpr std::string_view kPlainText = "X";

class IdentifierCheck : public Check {
public:
  IdentifierCheck(const HeaderDefinitions& definitions, const HeaderOptions& options, Findings& findings)
      : definitions_(definitions), options_(options), findings_(findings) {}

  void group(const MemoryMapElement& group) override {
    const std::string_view name = group.name().value_or(std::string_view());
    if (options_.regBaseOffs && group.hasStart() && !isPlain(name)) {
      judge(group, "", baseName(name), baseName(kPlainText));
    }
  }

  void vector(const MemoryMapElement& vector) override {
    // Vectors are written as they are: no prefix, no repair.
    const std::string_view name = vector.name().value_or(std::string_view());
    if (!isPlain(name)) judge(vector, "", std::string(name), std::string(kPlainText));
  }

  void reg(const CheckedRegister& reg) override {
    const bool prepended =
        reg.group != nullptr && (options_.prependRegGroup || reg.group->getAttribute("prepend_group_name"));
    if (!isPlain(reg.name) || (prepended && !isPlain(reg.group->name().value_or(std::string_view())))) {
      judge(*reg.element, "", options_.defPrefixString + reg.headerName + options_.regString,
            options_.defPrefixString + std::string(kPlainText) + options_.regString);
    }
    if (reg.aka && !isPlain(*reg.aka)) {
      std::string alias;
      registerAlias(alias, reg.aka, options_);
      // An alias that is empty once repaired defines nothing.
      if (!alias.empty()) {
        judge(*reg.element, "the alias of ", options_.defPrefixString + alias,
              options_.defPrefixString + std::string(kPlainText));
      }
    }
    if (!definitions_.writesBitFieldsOf(*reg.element)) return;
    for (const CheckedField& field : reg.fields) {
      if (isPlain(field.name) || definitions_.excludes(*field.element)) continue;
      if (!judge(*field.element, "", fieldName(reg, field.name), fieldName(reg, kPlainText)) && reg.aka) {
        judge(*field.element, "the alias of ", fieldAlias(*reg.aka, field.name), fieldAlias(*reg.aka, kPlainText));
      }
    }
  }

private:
  std::string baseName(std::string_view name) const {
    return options_.defPrefixString + std::string(name) + options_.regBaseString;
  }
  std::string fieldName(const CheckedRegister& reg, std::string_view name) const {
    std::string stem;
    bitFieldName(stem, reg.headerName, name, options_);
    return options_.defPrefixString + stem;
  }
  std::string fieldAlias(std::string_view aka, std::string_view name) const {
    std::string stem;
    bitFieldAlias(stem, aka, name, options_);
    return options_.defPrefixString + stem;
  }

  // Reports `name` when its problem is the element's own, once per name (a
  // repeated register or field defines nothing again). True when the name
  // has a problem of the element's own.
  bool judge(const MemoryMapElement& element, std::string_view what, const std::string& name,
             const std::string& withPlainText) {
    const Problem problem = problemOf(name);
    if (problem == Problem::None || problem == problemOf(withPlainText)) return false;
    if (!reported_.insert(name).second) return true;
    const std::string made = name.empty() ? " makes an empty name" : " makes the name " + name;
    findings_.add(element, "identifier",
                  std::string(what) + describe(element, options_) + made +
                      (problem == Problem::Reserved ? ", which C reserves for the implementation"
                                                    : ", which is not a C identifier"));
    return true;
  }

  const HeaderDefinitions& definitions_;
  const HeaderOptions& options_;
  Findings& findings_;
  std::set<std::string> reported_;
};

}  // namespace

std::unique_ptr<Check> identifierCheck(const HeaderDefinitions& definitions, const HeaderOptions& options,
                                       Findings& findings) {
  return std::make_unique<IdentifierCheck>(definitions, options, findings);
}

}  // namespace rw::checks

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
  IdentifierCheck(const DefinitionNames& names, Findings& findings) : names_(names), findings_(findings) {}

  void group(const HeaderGroup& group) override {
    if (group.definesBase && !isPlain(group.name)) {
      judge(*group.element, "", names_.name(DefinitionKind::GroupBase, group.name),
            names_.name(DefinitionKind::GroupBase, kPlainText));
    }
  }

  void vector(const HeaderVector& vector) override {
    // Vectors are written as they are: no prefix, no repair.
    if (!isPlain(vector.name)) judge(*vector.element, "", std::string(vector.name), std::string(kPlainText));
  }

  void reg(const HeaderRegister& reg) override {
    // A stem of plain text (the group's name in front included) names
    // nothing worse than the prefix and suffix around it.
    if (!isPlain(reg.name)) {
      judge(*reg.element, "", names_.name(DefinitionKind::Register, reg.name),
            names_.name(DefinitionKind::Register, kPlainText));
    }
    // An alias that is empty once repaired defines nothing.
    if (reg.aka && !isPlain(*reg.aka) && !reg.alias.empty()) {
      judge(*reg.element, "the alias of ", names_.name(DefinitionKind::RegisterAlias, reg.alias),
            names_.name(DefinitionKind::RegisterAlias, kPlainText));
    }
    for (const HeaderField& field : reg.fields) {
      if (!field.written || isPlain(field.plainName)) continue;
      if (!judge(*field.element, "", stemmed(field.name), stemmed(names_.fieldName(reg.name, kPlainText))) &&
          reg.aka) {
        judge(*field.element, "the alias of ", stemmed(names_.fieldAlias(reg.aka, field.plainName)),
              stemmed(names_.fieldAlias(reg.aka, kPlainText)));
      }
    }
  }

private:
  // A field's name as its value line defines it: the prefix and the stem.
  std::string stemmed(std::string_view stem) const { return names_.name(DefinitionKind::Value, stem); }

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
                  std::string(what) + describe(element, names_) + made +
                      (problem == Problem::Reserved ? ", which C reserves for the implementation"
                                                    : ", which is not a C identifier"));
    return true;
  }

  const DefinitionNames& names_;
  Findings& findings_;
  std::set<std::string> reported_;
};

}  // namespace

std::unique_ptr<Check> identifierCheck(const DefinitionNames& names, Findings& findings) {
  return std::make_unique<IdentifierCheck>(names, findings);
}

}  // namespace rw::checks

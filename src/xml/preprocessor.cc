#include "xml/preprocessor.h"

#include <bit>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "expr/evaluate.h"
#include "expr/integer_literal.h"
#include "macros/macro_expansion.h"
#include "macros/paths.h"
#include "xml/preprocessor_walk.h"

namespace rw {

namespace {

// The value of `name` for if, ifnot and switch. A name nobody defined becomes
// defined as empty at this level, so a later ifdef here sees it.
const std::string& lookupDefining(MacroTable& table, const std::string& name) {
  if (const std::string* value = table.find(name)) return *value;
  table.set(name, std::string());
  return *table.find(name);
}

bool listContains(std::string_view list, std::string_view value) {
  if (value.empty()) return false;
  for (std::string_view item : splitList(list)) {
    if (item == value) return true;
  }
  return false;
}

}  // namespace

// Every directive the walk carries out. The tags dispatch acts on are the
// tags that make a tree worth walking at all: one table says both.
struct Preprocessor::Directive {
  std::string_view tag;
  Outcome (Preprocessor::*handler)(XMLElement& element, Level& level);
};

constexpr Preprocessor::Directive Preprocessor::kDirectives[] = {
    {"if", &Preprocessor::processIf<false>},       {"ifnot", &Preprocessor::processIf<true>},
    {"ifex", &Preprocessor::processIfex},          {"ifdef", &Preprocessor::processIfdef<false>},
    {"ifndef", &Preprocessor::processIfdef<true>}, {"switch", &Preprocessor::processSwitch},
    {"define", &Preprocessor::processDefine},      {"include", &Preprocessor::processInclude},
    {"xmldef", &Preprocessor::processXmldef},      {"xmlput", &Preprocessor::processXmlput},
    {"for", &Preprocessor::processFor},            {"foreach", &Preprocessor::processForeach},
};

uint64_t Preprocessor::directiveWords() {
  // Asked once per element while a map is followed: the mask is worked out
  // by the compiler.
  constexpr uint64_t kDirectiveWords = [] {
    uint64_t mask = 0;
    for (const Preprocessor::Directive& directive : Preprocessor::kDirectives) {
      for (size_t i = 0; i < elementtext::kWordCount; ++i) {
        if (elementtext::kWords[i] == directive.tag) mask |= uint64_t{1} << i;
      }
    }
    return mask;
  }();
  static_assert(static_cast<size_t>(std::popcount(kDirectiveWords)) == std::size(Preprocessor::kDirectives),
                "every directive tag is a word");
  return kDirectiveWords;
}

bool walkChangesNothing(const ReadCensus& census) {
  return !census.dollarInValue && (census.wordTags & Preprocessor::directiveWords()) == 0;
}

const std::string& Preprocessor::Nesting::currentFile() const {
  const Nesting* nesting = this;
  while (nesting->kind != Kind::File && nesting->outer != nullptr) nesting = nesting->outer.get();
  return nesting->name;
}

std::vector<std::string_view> splitList(std::string_view text) {
  std::vector<std::string_view> items;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(',', begin);
    if (end == std::string_view::npos) end = text.size();
    if (end > begin) items.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return items;
}

std::string warningText(std::string_view text) {
  std::string message(kWarningPrefix);
  message += text;
  return message;
}

std::string hexText(uint64_t value) {
  std::string text;
  appendHexLiteral(text, value);
  return text;
}

std::string withoutNewlines(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != '\n') result += c;
  }
  return result;
}

void destroyElement(XMLNode* element) {
  element->parent = nullptr;
  element->nextSibling = nullptr;
  delete element;
}

Preprocessor::Preprocessor(XMLDocument& document, const MacroTable& systemMacros, WarningSink warn)
    : document_(document), systemMacros_(systemMacros), warn_(std::move(warn)) {}

Preprocessor::~Preprocessor() {
  for (auto& [name, element] : templates_) destroyElement(element);
  for (XMLElement* tree : detachedTrees_) destroyElement(tree);
}

LoadStatus Preprocessor::preprocess(const std::string& path, const MacroTable& macros) {
  leftAsRead_ = false;
  const LoadStatus status = document_.load(path);
  if (status != LoadStatus::Loaded) return status;
  leftAsRead_ = walkChangesNothing(document_.census);
  if (document_.root == nullptr || leftAsRead_) return status;

  auto nesting = std::make_shared<Nesting>();
  nesting->kind = Nesting::Kind::File;
  nesting->name = path;
  nesting->key = absolutePath(path);
  Level level;
  level.node = document_.root;
  level.table = macros;
  level.nesting = std::move(nesting);
  std::vector<Level> stack;
  stack.push_back(std::move(level));
  rootReported_ = false;
  reportedLast_ = nullptr;
  walk(stack);
  if (watcher_ != nullptr && rootReported_) watcher_->walkEnded();
  return status;
}

// Back at the root's children (the second level of the stack), every child
// up to the level's `previous` is done: later steps only change what comes
// after it.
void Preprocessor::reportDone(const Level& rootLevel) {
  XMLElement* root = asElement(rootLevel.parent);
  if (root == nullptr) return;
  if (!rootReported_) {
    rootReported_ = true;
    watcher_->rootKept(*root);
  }
  if (rootLevel.previous == nullptr || rootLevel.previous == reportedLast_) return;
  XMLNode* node = reportedLast_ == nullptr ? root->firstChild : reportedLast_->nextSibling;
  while (node != nullptr) {
    watcher_->childDone(*node);
    if (node == rootLevel.previous) break;
    node = node->nextSibling;
  }
  reportedLast_ = rootLevel.previous;
}

void Preprocessor::walk(std::vector<Level>& stack) {
  while (!stack.empty()) {
    if (watcher_ != nullptr && stack.size() == 2) reportDone(stack[1]);
    Level& level = stack.back();
    XMLNode* node = level.node;
    if (node == nullptr) {
      finishLevel(stack);
      continue;
    }
    XMLElement* element = asElement(node);
    if (element == nullptr) {
      // CDATA sections (and text and comments in documents that keep them)
      // are no directives: they stay where they are and the walk passes on.
      level.previous = node;
      level.node = node->nextSibling;
      continue;
    }
    expandAttributes(*element, level.table);

    Outcome outcome = dispatch(*element, level);

    switch (outcome.action) {
      case Outcome::Action::Replace:
        replace(level, *element, outcome.replacement);
        if (outcome.lastFinal != nullptr) {
          level.previous = outcome.lastFinal;
          level.node = outcome.lastFinal->nextSibling;
        }
        break;
      case Outcome::Action::Detach: {
        XMLNode* next = element->nextSibling;
        level.parent->removeChildAfter(level.previous, element);
        element->parent = nullptr;
        element->nextSibling = nullptr;
        level.node = next;
        break;
      }
      case Outcome::Action::Descend: {
        if (outcome.replacement != nullptr) replace(level, *element, outcome.replacement);
        XMLElement* owner = outcome.owner;
        if (outcome.spliceAfter == nullptr) {
          // The owner stays: the walk goes on after it once its children are
          // done (its own siblings cannot change meanwhile).
          level.previous = level.node;
          level.node = level.node->nextSibling;
          if (owner->firstChild == nullptr) break;
        }
        Level nested;
        nested.parent = owner;
        nested.node = owner->firstChild;
        nested.table = std::move(outcome.table);
        nested.nesting = std::move(outcome.nesting);
        nested.spliceAfter = outcome.spliceAfter;
        nested.container = outcome.container;
        stack.push_back(std::move(nested));
        break;
      }
    }
  }
}

void Preprocessor::replace(Level& level, XMLElement& element, XMLNode* chain) {
  if (level.parent == nullptr) {
    // The document's root: only an include is carried out there, and what
    // takes its place is the one included root.
    document_.root = asElement(chain);
    level.node = chain;
  } else {
    level.parent->insertAfter(&element, chain);
    level.node = element.nextSibling;
    level.parent->removeChildAfter(level.previous, &element);
  }
  destroyElement(&element);
}

void Preprocessor::expandAttributes(XMLElement& element, const MacroTable& table) {
  // Most elements have no reference at all and are left as they are; the
  // others get their changed values set in one go.
  if (!element.attributesMayHold('$')) return;
  uint64_t grown = 0;
  const std::span<const ValueChange> changes = expanded_.expand(element, table, grown);
  if (!changes.empty()) element.changeValues(changes);
}

void Preprocessor::finishLevel(std::vector<Level>& stack) {
  Level done = std::move(stack.back());
  stack.pop_back();
  XMLElement* directive = done.spliceAfter;
  if (directive == nullptr) return;

  // The enclosing level still stands on the directive.
  Level& outer = stack.back();
  XMLNode* next = directive->nextSibling;
  XMLNode* chain = done.parent->takeChildren();
  XMLNode* last = outer.previous;
  if (chain != nullptr) {
    last = chain;
    while (last->nextSibling != nullptr) last = last->nextSibling;
    outer.parent->insertAfter(directive, chain);
  }
  outer.parent->removeChildAfter(outer.previous, directive);
  destroyElement(directive);
  if (done.container != nullptr) destroyElement(done.container);
  outer.node = next;
  outer.previous = last;
}

Preprocessor::Outcome Preprocessor::keep(XMLElement& element, const Level& level) {
  Outcome outcome;
  outcome.action = Outcome::Action::Descend;
  outcome.owner = &element;
  // An element without children gets no level of its own, and so needs no
  // table: most elements of a map are such leaves.
  if (element.firstChild != nullptr) {
    outcome.table = level.table;
    outcome.nesting = level.nesting;
  }
  return outcome;
}

Preprocessor::Outcome Preprocessor::select(XMLElement& directive, XMLElement& selected, const Level& level) {
  Outcome outcome;
  outcome.action = Outcome::Action::Descend;
  outcome.owner = &selected;
  outcome.table = level.table;
  outcome.nesting = level.nesting;
  outcome.spliceAfter = &directive;
  return outcome;
}

Preprocessor::Outcome Preprocessor::drop() {
  Outcome outcome;
  outcome.action = Outcome::Action::Replace;
  return outcome;
}

Preprocessor::Outcome Preprocessor::dispatch(XMLElement& element, Level& level) {
  const std::string_view tag = element.tagName();
  // A directive needs a parent to drop itself from or splice into. At the
  // document's root only include is carried out (it can replace the root);
  // any other directive there is an ordinary element.
  if (element.parent == nullptr) {
    if (tag == "include" && &element == document_.root) return processInclude(element, level);
    return keep(element, level);
  }
  for (const Directive& directive : kDirectives) {
    if (tag == directive.tag) return (this->*directive.handler)(element, level);
  }
  return keep(element, level);
}

template <bool kNegate>
Preprocessor::Outcome Preprocessor::processIf(XMLElement& element, Level& level) {
  const XMLAttributes attributes = element.attributes();
  if (attributes.size() != 1) {
    warn_(warningText("one condition required for <if[not]>"));
    return keep(element, level);
  }
  const XMLAttribute condition = attributes.front();
  const std::string& value = lookupDefining(level.table, std::string(condition.name));
  if (listContains(condition.value, value) != kNegate) return select(element, element, level);
  return drop();
}

Preprocessor::Outcome Preprocessor::processIfex(XMLElement& element, Level& level) {
  const std::optional<std::string_view> expression = element.getAttribute("expression");
  if (!expression || expression->empty()) return keep(element, level);
  const ConditionResult result = evaluateCondition(expander_.expand(*expression, level.table));
  if (result.ok && result.value) return select(element, element, level);
  return drop();
}

template <bool kNegate>
Preprocessor::Outcome Preprocessor::processIfdef(XMLElement& element, Level& level) {
  const std::string name(element.getAttribute("name").value_or(std::string_view()));
  const bool defined = level.table.contains(name);
  if (defined != kNegate) return select(element, element, level);
  return drop();
}

Preprocessor::Outcome Preprocessor::processSwitch(XMLElement& element, Level& level) {
  const std::string name(element.getAttribute("name").value_or(std::string_view()));
  const std::string& value = lookupDefining(level.table, name);
  XMLElement* selected = nullptr;
  XMLElement* lastDefault = nullptr;
  for (XMLNode* node = element.firstChild; node != nullptr; node = node->nextSibling) {
    XMLElement* child = asElement(node);
    if (child == nullptr) continue;
    if (child->tagName() == "case") {
      // Compared as written: the cases' own attributes are not expanded.
      const std::optional<std::string_view> list = child->getAttribute("value");
      if (list && listContains(*list, value)) {
        selected = child;
        break;
      }
    } else if (child->tagName() == "default") {
      lastDefault = child;
    }
  }
  if (selected == nullptr) selected = lastDefault;
  if (selected == nullptr) return drop();
  return select(element, *selected, level);
}

Preprocessor::Outcome Preprocessor::processDefine(XMLElement& element, Level& level) {
  const std::optional<std::string_view> nameText = element.getAttribute("name");
  if (!nameText) {
    warn_(warningText("missing name in <define>"));
    return drop();
  }
  const std::string name(*nameText);
  if (const std::optional<std::string_view> value = element.getAttribute("value")) {
    level.table.set(name, std::string(*value));
  } else if (const std::optional<std::string_view> expression = element.getAttribute("expression")) {
    const UnsignedResult result = evaluateUnsigned(expander_.expand(*expression, level.table));
    if (result.ok) level.table.set(name, std::to_string(static_cast<uint32_t>(result.value)));
  } else if (const std::optional<std::string_view> hexExpression = element.getAttribute("hex_expression")) {
    const UnsignedResult result = evaluateUnsigned(expander_.expand(*hexExpression, level.table));
    if (result.ok) level.table.set(name, hexText(static_cast<uint32_t>(result.value)));
  } else {
    warn_(warningText("missing value or expression in <define>"));
  }
  return drop();
}

Preprocessor::Outcome Preprocessor::processXmldef(XMLElement& element, Level& level) {
  const std::optional<std::string_view> name = element.getAttribute("name");
  if (!name) return keep(element, level);
  XMLElement*& slot = templates_[std::string(*name)];
  // The template replaced is never in use: xmlput works on a copy.
  if (slot != nullptr) destroyElement(slot);
  slot = &element;
  Outcome outcome;
  outcome.action = Outcome::Action::Detach;
  return outcome;
}

}  // namespace rw

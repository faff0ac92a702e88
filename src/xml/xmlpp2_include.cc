// include and xmlput: content from another file or from a template, walked
// in a nested level with the table the directive asks for.
#include <algorithm>
#include <string>
#include <string_view>

#include "environment/paths.h"
#include "xml/xmlpp2.h"
#include "xml/xmlpp2_walk.h"

namespace rw {

namespace {

// A relative include name goes after the folder of the including file, that
// folder made absolute and lexically normalised.
std::string resolveIncludeName(const std::string& name, const std::string& currentFile) {
  if (!name.empty() && name[0] == '/') return name;
  const size_t slash = currentFile.rfind('/');
  std::string directory = slash == std::string::npos ? std::string() : currentFile.substr(0, slash + 1);
  if (directory.empty() || directory[0] != '/') directory = workingDirectory() + "/" + directory;
  directory = normalisePath(directory);
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory + name;
}

// Copies the attributes named in `inherit_attributes` from the include
// element to `target`; one the include lacks arrives without a value.
void inheritAttributes(const XMLElement& include, XMLElement& target) {
  const std::optional<std::string_view> names = include.getAttribute("inherit_attributes");
  if (!names || names->empty()) return;
  std::string_view list = *names;
  while (!list.empty()) {
    const size_t end = std::min(list.find(';'), list.size());
    const std::string name(list.substr(0, end));
    list.remove_prefix(std::min(end + 1, list.size()));
    if (name.empty()) continue;
    if (const std::optional<std::string_view> value = include.getAttribute(name)) {
      target.setAttribute(name, *value);
    } else {
      target.setNullAttribute(name);
    }
  }
}

bool inTemplateChain(const XMLPP2::Nesting* nesting, const std::string& name) {
  for (; nesting != nullptr; nesting = nesting->outer.get()) {
    if (nesting->kind == XMLPP2::Nesting::Kind::Template && nesting->name == name) return true;
  }
  return false;
}

bool inFileChain(const XMLPP2::Nesting* nesting, const std::string& key) {
  for (; nesting != nullptr; nesting = nesting->outer.get()) {
    if (nesting->kind == XMLPP2::Nesting::Kind::File && nesting->key == key) return true;
  }
  return false;
}

}  // namespace

void XMLPP2::nestedTable(const XMLElement& directive, XMLElement* target, const Level& level, LevelMacros& table,
                         bool& expand) {
  if (!level.expand && !directive.hasAttribute("expand_macros")) {
    table = level.table;
    expand = false;
    return;
  }
  if (const std::optional<std::string_view> macros = directive.getAttribute("macros")) {
    table = level.table;
    table.setAll(parseMacroDefinitions(splitDefinitionList(withoutNewlines(*macros), false)));
    expand = true;
    if (target != nullptr) expandAttributes(*target, table);
    return;
  }
  if (level.expand && target != nullptr) expandAttributes(*target, level.table);
  table = level.table;
  expand = level.expand;
}

// Recursion is stopped before anything is read: an include of a file that is
// being walked already (the including file itself or any file that led to
// it), or nesting deeper than kMaxNestingDepth, or more than kMaxIncludeLoads
// reads in one document, gives a warning naming the file and leaves the
// include element in the tree like an include of a missing file.
XMLPP2::Outcome XMLPP2::processInclude(XMLElement& element, Level& level) {
  const std::optional<std::string_view> fileName = element.getAttribute("filename");
  if (!fileName) {
    warning(warningText("missing filename in <include>"));
    return keep(element, level);
  }
  const std::string name = expandSystemMacros(macroTableForExpansion(), *fileName);
  const std::string resolved = resolveIncludeName(name, level.nesting->currentFile());
  const std::string key = absolutePath(resolved);

  if (inFileChain(level.nesting.get(), key)) {
    warning(warningText("error: include file '" + resolved + "' includes itself; not included again"));
    return keep(element, level);
  }
  if (level.nesting->depth >= kMaxNestingDepth) {
    warning(warningText("error: include file '" + resolved + "' nested more than " +
                        std::to_string(kMaxNestingDepth) + " includes and templates deep; not included"));
    return keep(element, level);
  }
  if (includeLoads_ >= kMaxIncludeLoads) {
    warning(warningText("error: include file '" + resolved + "' not read: more than " +
                        std::to_string(kMaxIncludeLoads) + " include files read"));
    return keep(element, level);
  }
  ++includeLoads_;

  // An include that is itself the document's root has no parent to splice
  // into: the included root becomes the root. Unwrapping it (no_root) would
  // leave the document with several roots, so no_root is ignored there with
  // a warning, as envelope is ignored silently.
  const bool atRoot = element.parent == nullptr;
  XMLElement* saved = takeRoot();
  const bool loaded = load(resolved);
  // The reader's syntax messages never start like this: the file was not
  // parsed, so the document keeps the tree it had.
  const bool unread = !loaded && errorLine == 0 && errorMessage.rfind("couldn't read", 0) == 0;

  if (!loaded || root == nullptr) {
    if (unread) {
      root = saved;
    } else {
      if (loaded) recordFileRead(resolved);
      // The document is left without its tree (the load fails afterwards);
      // the walk still finishes it, and the document frees it at the end.
      if (saved != nullptr) detachedTrees_.push_back(saved);
    }
    if (root == nullptr) {
      warning(warningText("error: include file '" + resolved + "' is empty"));
    } else {
      warning(warningText("error \"" + errorMessage + "\" in include file " + resolved +
                          " line:" + std::to_string(errorLine)));
    }
    inheritAttributes(element, element);
    if (element.hasAttribute("no_root") && !atRoot) return select(element, element, level);
    return keep(element, level);
  }

  recordFileRead(resolved);
  XMLElement* included = takeRoot();
  included->nextSibling = nullptr;
  if (atRoot) {
    root = included;
    if (element.hasAttribute("no_root")) {
      warning(warningText("no_root ignored on <include> at the document's root: the file's root is kept"));
    }
  } else {
    root = saved;
    element.parent->insertAfter(&element, included);
    element.parent->removeChildAfter(level.previous, &element);
  }
  level.node = included;

  Outcome outcome;
  outcome.action = Outcome::Action::Descend;
  outcome.owner = included;
  nestedTable(element, included, level, outcome.table, outcome.expand);
  inheritAttributes(element, *included);

  auto nesting = std::make_shared<Nesting>();
  nesting->kind = Nesting::Kind::File;
  nesting->name = resolved;
  nesting->key = key;
  nesting->outer = level.nesting;
  nesting->depth = level.nesting->depth + 1;
  outcome.nesting = std::move(nesting);

  const bool unwrap = !atRoot && (included->tagName() == "envelope" || element.hasAttribute("no_root"));
  if (unwrap) outcome.spliceAfter = included;
  destroyElement(&element);
  return outcome;
}

// A template that xmlputs itself, directly or through others, is not
// expanded again inside its own expansion: warning, and the xmlput stays
// like one naming an unknown template.
XMLPP2::Outcome XMLPP2::processXmlput(XMLElement& element, Level& level) {
  const std::optional<std::string_view> nameText = element.getAttribute("name");
  if (!nameText) return keep(element, level);
  const std::string name(*nameText);
  auto found = templates_.find(name);
  if (found == templates_.end()) {
    warning(warningText("xmlput cannot fine xmldef named " + name));
    return keep(element, level);
  }
  if (inTemplateChain(level.nesting.get(), name)) {
    warning(warningText("xmlput of xmldef named " + name + " inside its own expansion; not expanded again"));
    return keep(element, level);
  }
  if (level.nesting->depth >= kMaxNestingDepth) {
    warning(warningText("xmlput of xmldef named " + name + " nested more than " +
                        std::to_string(kMaxNestingDepth) + " includes and templates deep; not expanded"));
    return keep(element, level);
  }
  XMLElement* copy = deepCopy(*found->second, "xmlput");
  if (copy == nullptr) return drop();

  Outcome outcome;
  outcome.action = Outcome::Action::Descend;
  outcome.owner = copy;
  outcome.spliceAfter = &element;
  outcome.container = copy;
  // The copy's own attributes go with the copy: only its children stay.
  nestedTable(element, nullptr, level, outcome.table, outcome.expand);

  auto nesting = std::make_shared<Nesting>();
  nesting->kind = Nesting::Kind::Template;
  nesting->name = name;
  nesting->outer = level.nesting;
  nesting->depth = level.nesting->depth + 1;
  outcome.nesting = std::move(nesting);
  return outcome;
}

}  // namespace rw

// include and xmlput: content from another file or from a template, walked
// in a nested level with the table the directive asks for.
#include <algorithm>
#include <string>
#include <string_view>

#include "macros/macro_expansion.h"
#include "macros/paths.h"
#include "xml/preprocessor.h"
#include "xml/preprocessor_walk.h"

namespace rw {

namespace {

// A relative include name goes after the folder of the including file, that
// folder made absolute and lexically normalised; the name itself is kept as
// written.
std::string resolveIncludeName(const std::string& name, const std::string& currentFile) {
  if (name.starts_with('/')) return name;
  return joinPath(absolutePath(directoryOf(currentFile)), name);
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

bool inTemplateChain(const Preprocessor::Nesting* nesting, const std::string& name) {
  for (; nesting != nullptr; nesting = nesting->outer.get()) {
    if (nesting->kind == Preprocessor::Nesting::Kind::Template && nesting->name == name) return true;
  }
  return false;
}

bool inFileChain(const Preprocessor::Nesting* nesting, const std::string& key) {
  for (; nesting != nullptr; nesting = nesting->outer.get()) {
    if (nesting->kind == Preprocessor::Nesting::Kind::File && nesting->key == key) return true;
  }
  return false;
}

// The table for the children of an included root or a template copy: the
// current one, extended by the directive's `macros` list, whose definitions
// win.
MacroTable nestedTable(const XMLElement& directive, const MacroTable& current) {
  MacroTable table = current;
  if (const std::optional<std::string_view> macros = directive.getAttribute("macros")) {
    table.setAll(macroDefinitions(withoutNewlines(*macros)));
  }
  return table;
}

}  // namespace


// Recursion is stopped before anything is read: an include of a file that is
// being walked already (the including file itself or any file that led to
// it), or nesting deeper than kMaxNestingDepth, or more than kMaxIncludeLoads
// reads in one document, gives a warning naming the file and leaves the
// include element in the tree like an include of a missing file.
Preprocessor::Outcome Preprocessor::processInclude(XMLElement& element, Level& level) {
  const std::optional<std::string_view> fileName = element.getAttribute("filename");
  if (!fileName) {
    warn_(warningText("missing filename in <include>"));
    return keep(element, level);
  }
  const std::string name = expander_.expand(*fileName, systemMacros_);
  const std::string resolved = resolveIncludeName(name, level.nesting->currentFile());
  const std::string key = absolutePath(resolved);

  if (inFileChain(level.nesting.get(), key)) {
    warn_(warningText("error: include file '" + resolved + "' includes itself; not included again"));
    return keep(element, level);
  }
  if (level.nesting->depth >= kMaxNestingDepth) {
    warn_(warningText("error: include file '" + resolved + "' nested more than " +
                        std::to_string(kMaxNestingDepth) + " includes and templates deep; not included"));
    return keep(element, level);
  }
  if (includeLoads_ >= kMaxIncludeLoads) {
    warn_(warningText("error: include file '" + resolved + "' not read: more than " +
                        std::to_string(kMaxIncludeLoads) + " include files read"));
    return keep(element, level);
  }
  ++includeLoads_;

  // An include that is itself the document's root has no parent to splice
  // into: the included root becomes the root. Unwrapping it (no_root) would
  // leave the document with several roots, so no_root is ignored there with
  // a warning, as envelope is ignored silently.
  const bool atRoot = element.parent == nullptr;
  XMLElement* saved = document_.takeRoot();
  const LoadStatus status = document_.load(resolved);
  const bool loaded = status == LoadStatus::Loaded;

  if (!loaded || document_.root == nullptr) {
    if (status == LoadStatus::Unreadable) {
      // Nothing was parsed, so the document keeps the tree it had.
      document_.root = saved;
    } else {
      // The document is left without its tree (the load fails afterwards);
      // the walk still finishes it, and the document frees it at the end.
      if (saved != nullptr) detachedTrees_.push_back(saved);
    }
    if (document_.root == nullptr) {
      warn_(warningText("error: include file '" + resolved + "' is empty"));
    } else {
      // "line:" without a space, as this message has always been written.
      warn_(warningText("error \"" + document_.errorMessage + "\" in include file " + resolved +
                        " line:" + std::to_string(document_.errorLine)));
    }
    inheritAttributes(element, element);
    if (element.hasAttribute("no_root") && !atRoot) return select(element, element, level);
    return keep(element, level);
  }

  XMLElement* included = document_.takeRoot();
  included->nextSibling = nullptr;
  document_.root = saved;
  if (atRoot && element.hasAttribute("no_root")) {
    warn_(warningText("no_root ignored on <include> at the document's root: the file's root is kept"));
  }

  // The included root takes the include's place (the walk puts it there),
  // and its children are walked next.
  Outcome outcome;
  outcome.action = Outcome::Action::Descend;
  outcome.replacement = included;
  outcome.owner = included;
  outcome.table = nestedTable(element, level.table);
  expandAttributes(*included, outcome.table);
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
  return outcome;
}

// A template that xmlputs itself, directly or through others, is not
// expanded again inside its own expansion: warning, and the xmlput stays
// like one naming an unknown template.
Preprocessor::Outcome Preprocessor::processXmlput(XMLElement& element, Level& level) {
  const std::optional<std::string_view> nameText = element.getAttribute("name");
  if (!nameText) return keep(element, level);
  const std::string name(*nameText);
  auto found = templates_.find(name);
  if (found == templates_.end()) {
    // "fine" is the message's established spelling; scripts match it.
    warn_(warningText("xmlput cannot fine xmldef named " + name));
    return keep(element, level);
  }
  if (inTemplateChain(level.nesting.get(), name)) {
    warn_(warningText("xmlput of xmldef named " + name + " inside its own expansion; not expanded again"));
    return keep(element, level);
  }
  if (level.nesting->depth >= kMaxNestingDepth) {
    warn_(warningText("xmlput of xmldef named " + name + " nested more than " +
                        std::to_string(kMaxNestingDepth) + " includes and templates deep; not expanded"));
    return keep(element, level);
  }
  XMLElement* copy = deepCopy(*found->second, element);
  if (copy == nullptr) return drop();

  Outcome outcome;
  outcome.action = Outcome::Action::Descend;
  outcome.owner = copy;
  outcome.spliceAfter = &element;
  outcome.container = copy;
  // The copy's own attributes go with the copy: only its children stay.
  outcome.table = nestedTable(element, level.table);

  auto nesting = std::make_shared<Nesting>();
  nesting->kind = Nesting::Kind::Template;
  nesting->name = name;
  nesting->outer = level.nesting;
  nesting->depth = level.nesting->depth + 1;
  outcome.nesting = std::move(nesting);
  return outcome;
}

}  // namespace rw

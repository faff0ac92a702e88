#include "memorymap/memory_map.h"

#include <cstdio>
#include <utility>

#include "expr/evaluate.h"
#include "expr/integer_literal.h"
#include "macros/macro_expansion.h"
#include "macros/paths.h"

namespace rw {

namespace {

XMLElement* makeMapElement(std::string_view tagName) { return new MemoryMapElement(tagName); }

// Applies the start and size rules of one element and returns the base its
// children are placed against.
uint32_t placeElement(MemoryMapElement& element, uint32_t base) {
  const ElementKind kind = element.kind();
  switch (kind) {
    case ElementKind::MemorySegment:
    case ElementKind::ProgramSection:
    case ElementKind::RegisterGroup:
      // An empty "start" still counts: the element then sits at 0 and its
      // children are placed against 0.
      if (element.hasAttribute("start")) {
        element.setStart(base);
        base = element.start();
      }
      if (element.hasAttribute("size")) {
        const UnsignedResult size = evaluateUnsigned(element.getAttribute("size").value_or(std::string_view()));
        if (size.ok) element.setSize(static_cast<uint32_t>(size.value));
      }
      return base;
    case ElementKind::Register:
    case ElementKind::BitField:
    case ElementKind::Enum:
      // A register is placed against the enclosing base, its bit fields and
      // enumerations by bit offset from 0; none of them moves the base on.
      if (element.hasAttribute("start")) element.setStart(kind == ElementKind::Register ? base : 0);
      if (element.hasAttribute("size")) {
        element.setSize(static_cast<uint32_t>(sizeLiteralValue(element.getAttribute("size").value_or(std::string_view()))));
      }
      return base;
    default:
      return base;
  }
}

// Parent before children, siblings in order, with an explicit stack: a map
// nested a million levels deep must not exhaust the call stack. A child that
// is not an element (a CDATA section) ends the walk over its siblings.
void computeAddresses(MemoryMapElement& root) {
  struct Frame {
    MemoryMapElement* next;
    uint32_t base;
  };
  std::vector<Frame> stack;
  stack.push_back(Frame{asMemoryMapElement(root.firstChild), placeElement(root, 0)});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    MemoryMapElement* current = frame.next;
    if (current == nullptr) {
      stack.pop_back();
      continue;
    }
    frame.next = asMemoryMapElement(current->nextSibling);
    const uint32_t childBase = placeElement(*current, frame.base);
    if (current->firstChild != nullptr) stack.push_back(Frame{asMemoryMapElement(current->firstChild), childBase});
  }
}

}  // namespace

MemoryMap::MemoryMap(const MacroTable& systemMacros, Preprocessor::WarningSink warn)
    : document_(makeMapElement), preprocessor_(document_, systemMacros, std::move(warn)), systemMacros_(systemMacros) {}

void MemoryMap::warnOnStandardError(const std::string& message) {
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
}

std::vector<std::string> MemoryMap::filesRead() const {
  std::vector<std::string> paths;
  for (const SourceFile& file : document_.files) paths.push_back(file.path);
  return paths;
}

MemoryMapElement* MemoryMap::rootElement() const { return asMemoryMapElement(document_.root); }

bool MemoryMap::load(const std::string& fileName, const MacroTable& macros) {
  macros_ = macros;
  MemoryMapElement* mainRoot = loadFile(fileName);
  document_.root = mainRoot;
  if (mainRoot == nullptr) return false;
  // Kept only now: the main file's own name is taken as typed, while the
  // imports resolve against its folder.
  fileName_ = fileName;
  processImports();
  computeAddresses(*mainRoot);
  return true;
}

void MemoryMap::adopt(MemoryMapElement* root, const std::string& file) {
  delete document_.root;
  document_.root = root;
  document_.files.assign(1, SourceFile{file, 1});
  if (root != nullptr) computeAddresses(*root);
}

// One file's root, read and preprocessed, or null. The document's tree is
// the same before and after: the file is read into it and taken out again.
MemoryMapElement* MemoryMap::loadFile(const std::string& name) {
  std::string path = expandMacros(name, systemMacros_);
  if (!path.starts_with('/') && !fileName_.empty()) {
    const std::string_view directory = directoryOf(fileName_);
    if (!directory.empty()) path = normalisePath(joinPath(directory, path));
  }
  XMLElement* savedRoot = document_.takeRoot();
  const LoadStatus status = preprocessor_.preprocess(path, macros_);
  XMLElement* loaded = document_.takeRoot();
  document_.root = savedRoot;
  if (status == LoadStatus::Loaded) return asMemoryMapElement(loaded);
  delete loaded;
  return nullptr;
}

// Only direct children of the main file's root are looked at; an "Import"
// anywhere else, or one whose file fails to load, stays in the tree as an
// element that produces nothing.
void MemoryMap::processImports() {
  XMLElement* root = document_.root;
  for (MemoryMapElement* child = asMemoryMapElement(root->firstChild); child != nullptr;) {
    // Read the link first: a replacement leaves it in place on the old element
    // and gives the same sibling to the new one.
    MemoryMapElement* next = asMemoryMapElement(child->nextSibling);
    if (child->tagName() == "Import") {
      const std::string file(child->getAttribute("filename").value_or(std::string_view()));
      MemoryMapElement* imported = loadFile(file);
      if (imported != nullptr) {
        root->replaceChild(child, imported);
        // Unlinked first: its sibling chain now belongs to the tree.
        child->nextSibling = nullptr;
        delete child;
      }
    }
    child = next;
  }
}

}  // namespace rw

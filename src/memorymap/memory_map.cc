#include "memorymap/memory_map.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

#include "environment/macros.h"
#include "environment/paths.h"
#include "expr/evaluate.h"

namespace rw {

namespace {

// The directory part of a file name as typed: "" for a bare name.
std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

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
        element.setSize(static_cast<uint32_t>(parseNumberLiteral(element.getAttribute("size").value_or(std::string_view()))));
      }
      return base;
    default:
      return base;
  }
}

}  // namespace

MemoryMap::MemoryMap() = default;

MemoryMap::~MemoryMap() {
  // A replaced "Import" element still links to the sibling that followed it;
  // that node belongs to the tree, not to it.
  for (const auto& element : replacedImports_) element->nextSibling = nullptr;
}

XMLElement* MemoryMap::createElement(std::string_view tagName) {
  return new MemoryMapElement(tagName, readOnly);
}

void MemoryMap::warning(const std::string& message) {
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
}

MemoryMapElement* MemoryMap::rootElement() const { return dynamic_cast<MemoryMapElement*>(root); }

// A second load on a loaded map replaces its tree; the elements imported
// before stay owned by the map until it is destroyed.
bool MemoryMap::load(const std::string& name, const std::string& definitions, bool preprocessFlag) {
  usePreprocessor = preprocessFlag;
  macros = definitions;
  MemoryMapElement* mainRoot = loadFile(name);
  delete root;
  root = mainRoot;
  if (mainRoot == nullptr) return false;
  docType = doctype.value_or(std::string());
  // Stored only now, so that the main file's own name is taken as typed.
  fileName = name;
  processImports();
  computeAddresses(mainRoot, 0);
  return true;
}

void MemoryMap::recordFile(const std::string& path) {
  for (const std::string& known : filesRead_) {
    if (known == path) return;
  }
  filesRead_.push_back(path);
}

MemoryMapElement* MemoryMap::loadFile(const std::string& name) {
  // The entry point creates the system macro table before anything loads; a
  // library user that has none gets the name unexpanded.
  const PropertyClassList* table = systemMacroTable();
  std::string path = table != nullptr ? expandMacros(*table, MacroMap(), name, true, true) : name;
  if (!path.empty() && path[0] != '/' && !fileName.empty()) {
    const std::string directory = directoryOf(fileName);
    if (!directory.empty()) path = normalisePath(directory + "/" + path);
  }

  XMLElement* savedRoot = takeRoot();
  const bool savedReadOnly = readOnly;
  // A file that does not exist counts as not writable.
  readOnly = ::access(path.c_str(), W_OK) != 0;

  const bool ok = usePreprocessor ? preprocess(path, macros, true) : XMLDocument::load(path);
  if (usePreprocessor) {
    for (const std::string& file : XMLPP2::filesRead) recordFile(file);
  } else if (ok || errorLine != 0) {
    recordFile(path);
  }

  XMLElement* loaded = takeRoot();
  MemoryMapElement* result = ok ? dynamic_cast<MemoryMapElement*>(loaded) : nullptr;
  if (result == nullptr) {
    delete loaded;
  } else {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) result->lastModified = info.st_mtime;
  }

  root = savedRoot;
  readOnly = savedReadOnly;
  return result;
}

void MemoryMap::processImports() {
  if (root == nullptr) return;
  for (MemoryMapElement* child = asMemoryMapElement(root->firstChild); child != nullptr;) {
    // Read the link first: a replacement leaves it in place on the old element
    // and gives the same sibling to the new one.
    MemoryMapElement* next = asMemoryMapElement(child->nextSibling);
    if (child->tagName() == "Import") {
      const std::string file(child->getAttribute("filename").value_or(std::string_view()));
      MemoryMapElement* imported = loadFile(file);
      if (imported != nullptr) {
        root->replaceChild(child, imported);
        imported->importElement = child;
        replacedImports_.emplace_back(child);
      }
    }
    child = next;
  }
}

// Parent before children, siblings in order, with an explicit stack: a map
// nested a million levels deep must not exhaust the call stack. A child that
// is not an element (a CDATA section) ends the walk over its siblings.
void MemoryMap::computeAddresses(MemoryMapElement* element, uint32_t base) {
  if (element == nullptr) return;
  struct Frame {
    MemoryMapElement* next;
    uint32_t base;
  };
  std::vector<Frame> stack;
  stack.push_back(Frame{asMemoryMapElement(element->firstChild), placeElement(*element, base)});
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

}  // namespace rw

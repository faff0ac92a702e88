#include "memorymap/memory_map.h"

#include <cstdio>
#include <utility>

#include "macros/macro_expansion.h"
#include "macros/paths.h"

namespace rw {

namespace {

const ElementFactory kMapElements{
    [](std::string_view tagName, std::span<const XMLAttribute> attributes) -> XMLElement* {
      return new MemoryMapElement(tagName, attributes);
    },
    // Every element of the map's document is made here.
    [](const XMLElement& source, std::span<const ValueChange> changes) -> XMLElement* {
      return new MemoryMapElement(static_cast<const MemoryMapElement&>(source), changes);
    },
};

}  // namespace

MemoryMap::MemoryMap(const MacroTable& systemMacros, Preprocessor::WarningSink warn)
    : document_(kMapElements), preprocessor_(document_, systemMacros, std::move(warn)), systemMacros_(systemMacros) {
  document_.observer = &placer_;
}

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
  keptAsRead_ = false;
  macros_ = macros;
  placer_.restart();
  MemoryMapElement* mainRoot = loadFile(fileName);
  document_.root = mainRoot;
  if (mainRoot == nullptr) return false;
  const bool placedAsRead = placer_.placedAll() && preprocessor_.leftAsRead();
  // Kept only now: the main file's own name is taken as typed, while the
  // imports resolve against its folder.
  fileName_ = fileName;
  const size_t imported = processImports();
  // A tree that is still the one read was placed while it was read.
  counts_ = placer_.counts();
  keptAsRead_ = placedAsRead && imported == 0;
  if (!keptAsRead_) counts_ = computeAddresses(*mainRoot);
  return true;
}

void MemoryMap::adopt(MemoryMapElement* root, const std::string& file) {
  delete document_.root;
  document_.root = root;
  document_.files.assign(1, SourceFile{file, 1});
  if (root != nullptr) counts_ = computeAddresses(*root);
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
size_t MemoryMap::processImports() {
  size_t imports = 0;
  XMLElement* root = document_.root;
  for (MemoryMapElement* child = asMemoryMapElement(root->firstChild); child != nullptr;) {
    // Read the link first: a replacement leaves it in place on the old element
    // and gives the same sibling to the new one.
    MemoryMapElement* next = asMemoryMapElement(child->nextSibling);
    if (child->tagName() == "Import") {
      const std::string file(textOf(child->getAttribute("filename")));
      MemoryMapElement* imported = loadFile(file);
      if (imported != nullptr) {
        root->replaceChild(child, imported);
        // Unlinked first: its sibling chain now belongs to the tree.
        child->nextSibling = nullptr;
        delete child;
        ++imports;
      }
    }
    child = next;
  }
  return imports;
}

}  // namespace rw

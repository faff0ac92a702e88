#include "memorymap/memory_map.h"

#include <algorithm>

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
  walkFollowed_ = false;
  // Only the main file's walk: an import's tree takes the place of an
  // element the follower was handed.
  preprocessor_.watchWalks(this);
  MemoryMapElement* mainRoot = loadFile(fileName);
  preprocessor_.watchWalks(nullptr);
  document_.root = mainRoot;
  if (mainRoot == nullptr) return false;
  const bool asRead = preprocessor_.leftAsRead();
  const bool placedAsRead = asRead ? placer_.placedAll() : walkFollowed_ && walkPlacer_.placedAll();
  // Kept only now: the main file's own name is taken as typed, while the
  // imports resolve against its folder.
  fileName_ = fileName;
  const size_t imported = processImports();
  // A tree that is still the one read (or walked) was placed as it was.
  counts_ = asRead ? placer_.counts() : walkPlacer_.counts();
  keptAsRead_ = placedAsRead && imported == 0;
  if (!keptAsRead_) counts_ = computeAddresses(*mainRoot);
  return true;
}

namespace {

// The children of the root whose sizes the follower's name sets are sized
// from: a map's first peripherals differ, and one large one among small ones
// would size the sets for far more than the map holds.
constexpr size_t kChildrenSized = 8;

size_t nodesIn(const XMLNode& top, std::vector<const XMLNode*>& pending) {
  size_t nodes = 0;
  pending.assign(1, &top);
  while (!pending.empty()) {
    const XMLNode* node = pending.back();
    pending.pop_back();
    ++nodes;
    for (const XMLNode* inner = node->firstChild; inner != nullptr; inner = inner->nextSibling) {
      pending.push_back(inner);
    }
  }
  return nodes;
}

}  // namespace

// The walk's tree is placed and followed as the reader's is: the same
// events, in the same order, with nothing left for the walk to change. The
// follower is asked for once the first few children of the root are done
// (sets that grow form every name again): the median of their sizes times the
// root's children is what its name sets are sized for.
void MemoryMap::rootKept(XMLElement& root) {
  walkFollowed_ = true;
  walkRoot_ = &root;
  walkStarted_ = false;
  childrenHeld_.clear();
  walkPlacer_.restart();
  walkFollower_ = nullptr;
  placedThere_ = false;
  // The reading's follower ended when the reader met what the walk changes;
  // the files the walk includes are read unfollowed.
  placer_.follow(nullptr);
}

void MemoryMap::startFollowingWalk() {
  walkStarted_ = true;
  std::vector<size_t> sizes;
  std::vector<const XMLNode*> pending;
  for (const XMLNode* child : childrenHeld_) sizes.push_back(nodesIn(*child, pending));
  size_t expectedElements = 0;
  if (!sizes.empty()) {
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<ptrdiff_t>(sizes.size() / 2), sizes.end());
    size_t children = 0;
    for (const XMLNode* node = walkRoot_->firstChild; node != nullptr; node = node->nextSibling) ++children;
    expectedElements = static_cast<size_t>(
        std::min<uint64_t>(uint64_t{sizes[sizes.size() / 2]} * children, preprocessor_.maxCopiedElements));
  }
  // In the units the follower sizes for: the bytes of a map that holds as
  // many bit fields.
  constexpr size_t kBytesPerElement = 64;
  walkFollower_ = followWalk_ ? followWalk_(expectedElements * kBytesPerElement) : nullptr;
  walkPlacer_.follow(walkFollower_);
  walkPlacer_.elementMade(*walkRoot_, nullptr, ReadCensus());
  for (const XMLNode* child : childrenHeld_) placeWalked(*child);
  childrenHeld_.clear();
}

// On the follower's thread when it takes the child: placing and following
// the copies a walk made is a fifth of its work, and the thread that writes
// the header has time to spare while the walk makes them.
void MemoryMap::placeWalked(const XMLNode& child) {
  if (walkFollower_ != nullptr && walkFollower_->placeThere(child, walkPlacer_)) {
    placedThere_ = true;
    return;
  }
  replay_.replay(child, walkPlacer_);
}

void MemoryMap::childDone(XMLNode& child) {
  if (walkStarted_) {
    placeWalked(child);
    return;
  }
  childrenHeld_.push_back(&child);
  if (childrenHeld_.size() == kChildrenSized) startFollowingWalk();
}

void MemoryMap::walkEnded() {
  if (!walkStarted_) startFollowingWalk();
  if (placedThere_) {
    // The placer is ours again once the follower ended; the root's close
    // tells the header nothing.
    walkFollower_->ended(true);
    walkPlacer_.follow(nullptr);
    return;
  }
  walkPlacer_.elementClosed(*walkRoot_);
  walkPlacer_.readEnded(true);
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

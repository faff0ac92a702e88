// The memory map: the main file and its top-level imports, each read and
// preprocessed, with the start and size of every element worked out. This
// loaded tree is what every writer reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "macros/macro_table.h"
#include "memorymap/memory_map_element.h"
#include "memorymap/placement.h"
#include "xml/preprocessor.h"
#include "xml/read_replay.h"
#include "xml/xml_document.h"

namespace rw {

class MemoryMap : private Preprocessor::WalkWatcher {
public:
  // `systemMacros` expand the names of the files the map reads; the
  // preprocessor's warnings go to `warn`, by default one line each on
  // standard error. `systemMacros` must outlive the map.
  explicit MemoryMap(const MacroTable& systemMacros, Preprocessor::WarningSink warn = warnOnStandardError);

  // Loads the main file with `macros` as the preprocessor's first table, then
  // the files its top-level "Import" elements name, then places every
  // element. On false, errorMessage() and errorLine() say why.
  bool load(const std::string& fileName, const MacroTable& macros);
  // Hands the main file's elements to `follower` while load reads them.
  void followReading(ReadingFollower* follower) { placer_.follow(follower); }
  // When the main file's tree is walked (it holds directives or macro
  // references), asks `followWalk` for a follower of the tree the walk
  // leaves and hands it each element as the walk completes it. The reading's
  // follower has ended by then.
  // `followWalk` is given the number of bytes of a flat map of about the
  // walk's tree's size.
  void followWalk(std::function<ReadingFollower*(size_t expectedBytes)> followWalk) {
    followWalk_ = std::move(followWalk);
  }
  // Whether the loaded tree is the main file as it was read, or as its walk
  // left it, placed as it was followed: nothing imported, no start that
  // needed the evaluator. Only then is what a follower made of the elements
  // the same as what the loaded tree gives.
  bool keptAsRead() const { return keptAsRead_; }

  // Takes the tree another reader built from `file` (an SVD device file) as
  // if load had read it: the map owns it and places its elements by the same
  // rules. Its nodes' `file` is 0; their `line` counts lines from 0.
  void adopt(MemoryMapElement* root, const std::string& file);

  // The main file's root element; null before a successful load.
  MemoryMapElement* rootElement() const;
  // How many registers and bit fields the loaded tree holds (at most).
  const ElementCounts& elementCounts() const { return counts_; }
  const std::string& errorMessage() const { return document_.errorMessage; }
  int32_t errorLine() const { return document_.errorLine; }

  // Every file read while loading, each once, in the order first read: the
  // main file, the files it includes, the imported files and theirs, by the
  // path they were opened with.
  std::vector<std::string> filesRead() const;
  // Where an element was written: "FILE:LINE"; for a copy, where the copied
  // element was written.
  std::string location(const XMLNode& node) const { return document_.location(node); }
  // The same as a file (indexed in the order of filesRead) and a line.
  SourcePosition position(const XMLNode& node) const { return document_.position(node); }
  // The loop or template use that made an element, or null for an element
  // read as it stands; location(*site) is where that directive is.
  const CopySite* copySite(const XMLNode& node) const { return document_.copySite(node); }
  std::string location(const CopySite& site) const { return document_.location(site); }

  static void warnOnStandardError(const std::string& message);

private:
  void rootKept(XMLElement& root) override;
  void childDone(XMLNode& child) override;
  void walkEnded() override;
  void startFollowingWalk();
  void placeWalked(const XMLNode& child);

  MemoryMapElement* loadFile(const std::string& name);
  // The number of imports that took their element's place.
  size_t processImports();

  XMLDocument document_;
  ElementPlacer placer_;
  // Places the tree the main file's walk leaves, as the walk completes it.
  ElementPlacer walkPlacer_;
  std::function<ReadingFollower*(size_t expectedBytes)> followWalk_;
  bool walkFollowed_ = false;
  bool walkStarted_ = false;
  XMLElement* walkRoot_ = nullptr;
  // The first children of the root the walk is done with, held until the
  // follower is asked for.
  std::vector<const XMLNode*> childrenHeld_;
  ReadReplay replay_;
  ReadingFollower* walkFollower_ = nullptr;
  // Whether the walk's follower places the root's children on its thread.
  bool placedThere_ = false;
  ElementCounts counts_;
  bool keptAsRead_ = false;
  Preprocessor preprocessor_;
  const MacroTable& systemMacros_;
  MacroTable macros_;
  // The main file's name as given: relative import names resolve against
  // its folder.
  std::string fileName_;
};

}  // namespace rw

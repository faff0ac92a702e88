// The preprocessor of memory map files: after a file is parsed, its directive
// elements (conditionals, defines, includes, templates, loops) are executed
// in place, leaving plain XML for the memory-map loader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "macros/macro_expansion.h"
#include "macros/macro_table.h"
#include "xml/expanded_values.h"
#include "xml/loop_body.h"
#include "xml/xml_document.h"

namespace rw {

// A tree without a directive and without a '$' in any value comes out of the
// walk as it went in: the walk is skipped for it.
bool walkChangesNothing(const ReadCensus& census);

class Preprocessor {
public:
  using WarningSink = std::function<void(const std::string& message)>;

  // Told of the tree a walk leaves, as the walk completes it, in document
  // order: the root once its attributes are final, then each node below the
  // root (an element with everything below it, or a CDATA section) once
  // nothing the walk does can change it any more, then the end of the walk.
  class WalkWatcher {
  public:
    virtual ~WalkWatcher() = default;
    virtual void rootKept(XMLElement& root) = 0;
    virtual void childDone(XMLNode& child) = 0;
    virtual void walkEnded() = 0;
  };

  // Works on `document`, loading each file into it. `systemMacros` expand
  // include file names; every diagnostic goes to `warn`, one line each, and
  // none of them stops the pass. All three must outlive the preprocessor.
  Preprocessor(XMLDocument& document, const MacroTable& systemMacros, WarningSink warn);
  Preprocessor(const Preprocessor&) = delete;
  Preprocessor& operator=(const Preprocessor&) = delete;
  // Frees the templates and any tree a failed include left detached.
  ~Preprocessor();

  // Loads `path` into the document (replacing its tree) and, once it is read
  // and parsed, runs the directives of its tree with `macros` as the first
  // level's table. A failure of the pass is never a failure of the load; an
  // include that fails to parse does leave the document without a tree.
  LoadStatus preprocess(const std::string& path, const MacroTable& macros);
  // The watcher of the walks of later preprocess calls (none when null).
  void watchWalks(WalkWatcher* watcher) { watcher_ = watcher; }
  // Whether the last preprocess left the tree exactly as the file was read:
  // a tree without directives and without '$' in any value is not walked.
  bool leftAsRead() const { return leftAsRead_; }

  // What loops and templates may create by copying over the preprocessor's
  // life: elements (descendants included) and bytes of tag and attribute
  // text. Nested loops and templates that use each other several times
  // multiply; at a few hundred bytes per element these keep the tree under
  // 2 GiB.
  uint64_t maxCopiedElements = 3000000;
  uint64_t maxCopiedBytes = uint64_t{512} << 20;

  // The tags the walk acts on, as a mask of elementtext::kWords indexes.
  static uint64_t directiveWords();

  // The walk's own state, defined in preprocessor_walk.h.
  struct Level;
  struct Nesting;
  struct Outcome;

private:
  friend bool walkChangesNothing(const ReadCensus& census);

  // A directive's tag and its handler, in the table defined with dispatch.
  struct Directive;
  static const Directive kDirectives[];

  void walk(std::vector<Level>& stack);
  // Tells the watcher of the root's children the walk has done with.
  void reportDone(const Level& rootLevel);
  void finishLevel(std::vector<Level>& stack);
  // Puts `chain` (none at all for a dropped element) in the place of
  // `element`, destroys the element, and goes on at the chain's head.
  void replace(Level& level, XMLElement& element, XMLNode* chain);
  // Expands every attribute value that holds a '$' with the level's table; a
  // value changes only when the expansion differs. The system macros are not
  // seen here: only include file names are expanded with them.
  void expandAttributes(XMLElement& element, const MacroTable& table);

  Outcome dispatch(XMLElement& element, Level& level);
  static Outcome keep(XMLElement& element, const Level& level);
  static Outcome select(XMLElement& directive, XMLElement& selected, const Level& level);
  static Outcome drop();

  template <bool kNegate>
  Outcome processIf(XMLElement& element, Level& level);
  Outcome processIfex(XMLElement& element, Level& level);
  template <bool kNegate>
  Outcome processIfdef(XMLElement& element, Level& level);
  Outcome processSwitch(XMLElement& element, Level& level);
  Outcome processDefine(XMLElement& element, Level& level);
  Outcome processInclude(XMLElement& element, Level& level);
  Outcome processXmldef(XMLElement& element, Level& level);
  Outcome processXmlput(XMLElement& element, Level& level);
  Outcome processFor(XMLElement& element, Level& level);
  Outcome processForeach(XMLElement& element, Level& level);
  // A loop's copies in its place, or nothing when they exceed the budget.
  Outcome expandInto(XMLNode* copies, uint64_t grown, const char* directive);

  // A template's copy for `directive`, made through the document's element
  // factory, or null (and a warning naming the directive) once the copy
  // budget is spent. Loops charge the budget for all their rounds before
  // they copy.
  XMLElement* deepCopy(const XMLElement& source, const XMLElement& directive);
  bool chargeCopies(uint64_t elements, uint64_t bytes, const std::string& directive);
  // The file of the copies one directive makes.
  class CopyMarker;
  // A copy of `source` and its descendants, values expanded for a loop's
  // round when there is one.
  XMLElement* copyTree(const XMLElement& source, LoopBody* round, uint64_t& grown, CopyMarker& mark);
  XMLElement* copyElement(const XMLElement& source, LoopBody* round, uint64_t& grown, CopyMarker& mark);

  XMLDocument& document_;
  const MacroTable& systemMacros_;
  WarningSink warn_;
  std::map<std::string, XMLElement*> templates_;
  // Main trees that a failed include left without a place in the document:
  // they are still walked to the end and must be freed with the preprocessor.
  std::vector<XMLElement*> detachedTrees_;
  uint64_t copiedElements_ = 0;
  uint64_t copiedBytes_ = 0;
  bool copyLimitReported_ = false;
  bool leftAsRead_ = false;
  size_t includeLoads_ = 0;
  WalkWatcher* watcher_ = nullptr;
  // The last child of the root the watcher was told of.
  const XMLNode* reportedLast_ = nullptr;
  bool rootReported_ = false;

  // Buffers kept from one element to the next: a loop expands and copies
  // millions of elements, and one set of buffers for all of them spares
  // allocations for each. What they hold matters only to the call that fills
  // them.
  MacroExpander expander_;
  ExpandedValues expanded_;
  LoopBody loopBody_{expanded_};
  struct PendingCopy {
    const XMLNode* next;
    XMLElement* copyParent;
  };
  std::vector<PendingCopy> pendingCopies_;
};

}  // namespace rw

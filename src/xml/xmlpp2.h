// The preprocessing document: after a map file is parsed, its directive
// elements (conditionals, defines, includes, templates, loops) are executed in
// place, leaving plain XML for the memory-map loader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "environment/macros.h"
#include "xml/xml_document.h"
#include "xml/xmlpp2_macro_table.h"

namespace rw {

class XMLPP2 : public QXMLDocument {
public:
  explicit XMLPP2(bool keepText = false) : QXMLDocument(keepText) {}
  // Also frees the templates and any tree a failed include left detached.
  ~XMLPP2() override;

  // Every diagnostic of the pass arrives here, one line per call. None of
  // them stops the pass.
  virtual void warning(const std::string& message) = 0;

  // Loads `path`; on failure returns false with the reader's errorMessage and
  // errorLine. Otherwise runs the pass on the root with a table built from the
  // NAME=VALUE;... list `definitions` and returns true, whatever the pass
  // reported.
  bool preprocess(const std::string& path, const std::string& definitions, bool expandAttributes);

  // Processes `first` and all its following siblings. `currentFile` is where
  // they came from: relative include names are resolved against its folder.
  // The walk keeps its nesting levels on the heap, so a tree a million
  // levels deep costs memory, not the machine stack.
  void processConditionals(XMLNode* first, const std::string& currentFile, MacroTable table,
                           bool expandAttributes);

  // The template stored under `name` by xmldef, or null.
  const XMLElement* findTemplate(const std::string& name) const;

  // Every file this document read and parsed successfully, each once, in the
  // order first read: preprocessed main files and the files they included,
  // by the path they were opened with.
  std::vector<std::string> filesRead;

  // What loops and templates may create by copying over the document's life:
  // elements (descendants included) and bytes of tag and attribute text.
  // Nested loops and templates that use each other several times multiply;
  // at a few hundred bytes per element these keep the tree under 2 GiB.
  uint64_t maxCopiedElements = 3000000;
  uint64_t maxCopiedBytes = uint64_t{512} << 20;

  // The walk's own state, defined in xmlpp2_walk.h.
  struct Level;
  struct Nesting;
  struct Outcome;

private:
  void walk(std::vector<Level>& stack);
  void finishLevel(std::vector<Level>& stack);

  Outcome dispatch(XMLElement& element, Level& level);
  static Outcome keep(XMLElement& element, const Level& level);
  static Outcome select(XMLElement& directive, XMLElement& selected, const Level& level);
  static Outcome drop();

  Outcome processIf(XMLElement& element, Level& level, bool negate);
  Outcome processIfex(XMLElement& element, Level& level);
  Outcome processIfdef(XMLElement& element, Level& level, bool negate);
  Outcome processSwitch(XMLElement& element, Level& level);
  Outcome processDefine(XMLElement& element, Level& level);
  Outcome processInclude(XMLElement& element, Level& level);
  Outcome processXmldef(XMLElement& element, Level& level);
  Outcome processXmlput(XMLElement& element, Level& level);
  Outcome processFor(XMLElement& element, Level& level);
  Outcome processForeach(XMLElement& element);

  // Table and expansion setting for the children of an included root or a
  // template copy, following the `macros` / `expand_macros` attributes of the
  // directive; `target` gets its own attributes expanded where that applies.
  void nestedTable(const XMLElement& directive, XMLElement* target, const Level& level, LevelMacros& table,
                   bool& expand);

  // Copies made through createElement. Loops charge the copy budget for all
  // their rounds before cloning; deepCopy charges itself and gives null (and
  // a warning naming `directive`) once the budget is spent.
  XMLElement* cloneExpanded(const XMLElement& source, const MacroMap& table);
  XMLElement* deepCopy(const XMLElement& source, const std::string& directive);
  bool chargeCopies(uint64_t elements, uint64_t bytes, const std::string& directive);

  void recordFileRead(const std::string& path);

  std::map<std::string, XMLElement*> templates_;
  // Main trees that a failed include left without a place in the document:
  // they are still walked to the end and must be freed with the document.
  std::vector<XMLElement*> detachedTrees_;
  uint64_t copiedElements_ = 0;
  uint64_t copiedBytes_ = 0;
  bool copyLimitReported_ = false;
  size_t includeLoads_ = 0;
};

}  // namespace rw

// The preprocessing document: after a map file is parsed, its directive
// elements (conditionals, defines, includes, templates, loops) are executed in
// place, leaving plain XML for the memory-map loader.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "environment/macros.h"
#include "xml/xml_document.h"

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
  void processConditionals(XMLNode* first, const std::string& currentFile, MacroTable table,
                           bool expandAttributes);

  // The template stored under `name` by xmldef, or null.
  const XMLElement* findTemplate(const std::string& name) const;

  // Every file this document read and parsed successfully, each once, in the
  // order first read: preprocessed main files and the files they included,
  // by the path they were opened with.
  std::vector<std::string> filesRead;

  // Elements that loops and templates may create by copying over the
  // document's life (descendants included). Nested loops and templates that
  // use each other several times multiply; the default keeps the tree, at a
  // few hundred bytes per element, well under 2 GiB.
  size_t maxCopiedElements = 4000000;

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
  void nestedTable(const XMLElement& directive, XMLElement* target, const Level& level, MacroTable& table,
                   bool& expand);

  // Copies made through createElement. Loops charge the copy budget for all
  // their rounds before cloning; deepCopy charges itself and gives null (and
  // a warning naming `directive`) once the budget is spent.
  XMLElement* cloneExpanded(const XMLElement& source, const MacroMap& table);
  XMLElement* deepCopy(const XMLElement& source, const std::string& directive);
  bool chargeCopies(size_t elements, const std::string& directive);

  void recordFileRead(const std::string& path);

  std::map<std::string, XMLElement*> templates_;
  // Main trees that a failed include left without a place in the document:
  // they are still walked to the end and must be freed with the document.
  std::vector<XMLElement*> detachedTrees_;
  size_t copiedElements_ = 0;
  bool copyLimitReported_ = false;
  size_t includeLoads_ = 0;
};

}  // namespace rw

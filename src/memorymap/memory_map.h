// The memory-map document: loads a map file with its preprocessing, replaces
// the top-level imports by the files they name and places every element.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "memorymap/memory_map_element.h"
#include "xml/xmlpp2.h"

namespace rw {

class MemoryMap : public XMLPP2 {
public:
  MemoryMap();
  ~MemoryMap() override;

  // Loads the whole map: the main file, its top-level imports, then the start
  // and size of every element. On false, errorMessage / errorLine say why.
  bool load(const std::string& fileName, const std::string& macros, bool preprocess);

  MemoryMapElement* rootElement() const;

  XMLElement* createElement(std::string_view tagName) override;
  // The preprocessor's diagnostics: one line each on standard error.
  void warning(const std::string& message) override;

  // Every file read while loading, in the order read: the main file, the files
  // it includes, the imported files and theirs. For dependency listings.
  const std::vector<std::string>& filesRead() const { return filesRead_; }

  bool usePreprocessor = false;
  // Handed to each element as it is created: whether the file being read is
  // writable.
  bool readOnly = false;
  std::string macros;
  std::string fileName;
  std::string docType;

private:
  MemoryMapElement* loadFile(const std::string& name);
  void processImports();
  void computeAddresses(MemoryMapElement* element, uint32_t base);
  void recordFile(const std::string& path);

  // "Import" elements taken out of the tree; the roots that replaced them
  // still point at them.
  std::vector<std::unique_ptr<MemoryMapElement>> replacedImports_;
  std::vector<std::string> filesRead_;
};

// The tool's map. Adds nothing; it closes the document chain.
class MyMemoryMap : public MemoryMap {
public:
  using MemoryMap::MemoryMap;
  ~MyMemoryMap() override = default;
};

}  // namespace rw

// Shared by the preprocessing tests: a document that collects its warnings,
// a compact serialisation of trees, and temporary folders of map files.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "environment/macros.h"
#include "xml/xmlpp2.h"

namespace rw::testing {

class CollectingDocument : public XMLPP2 {
public:
  void warning(const std::string& message) override { warnings.push_back(message); }
  std::vector<std::string> warnings;
};

// `<tag a="v">children</tag>`, `<tag/>` without children; an attribute
// without a value shows as its bare name; CDATA as `[[text]]`.
inline void serialise(const XMLNode* node, std::string& out) {
  if (const XMLElement* element = asElement(node)) {
    out += '<';
    out += element->tagName();
    for (const XMLAttribute& attribute : element->attributes()) {
      out += ' ';
      out += attribute.name;
      if (!attribute.hasValue) continue;
      out += "=\"";
      out += attribute.value;
      out += '"';
    }
    if (element->firstChild == nullptr) {
      out += "/>";
      return;
    }
    out += '>';
    for (const XMLNode* child = element->firstChild; child != nullptr; child = child->nextSibling) {
      serialise(child, out);
    }
    out += "</";
    out += element->tagName();
    out += '>';
    return;
  }
  if (auto* cdata = dynamic_cast<const XMLCDATASection*>(node)) out += "[[" + cdata->text() + "]]";
}

inline std::string serialise(const XMLNode* node) {
  if (node == nullptr) return "(no root)";
  std::string out;
  serialise(node, out);
  return out;
}

inline MacroTable tableFrom(const std::string& definitions) {
  return MacroTable(parseMacroDefinitions(splitDefinitionList(definitions, false)));
}

// A folder under the system's temporary folder, removed with its content.
class TempFolder {
public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xmlpp2-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& text) const {
    std::filesystem::path target = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << text;
  }

private:
  std::string path_;
};

}  // namespace rw::testing

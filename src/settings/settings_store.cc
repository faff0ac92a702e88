#include "settings/settings_store.h"

#include <pugixml.hpp>

#include "xml/file_text.h"
#include "xml/xml_document.h"

namespace rw {

namespace {

// Settings and style files are small; one that is not, or that is no regular
// file at all (a FIFO would block the start-up for ever), is left out.
constexpr size_t kMaxSettingsFileBytes = size_t{16} << 20;

// A settings file is a list of <setting name="KEY">VALUE</setting> elements
// under its root. Being the environment's own file it must be well-formed
// XML, which pugixml checks.
void readSettingsFile(const std::string& path, std::map<std::string, std::string, std::less<>>& out) {
  const FileText file = readFileText(path, kMaxSettingsFileBytes, true);
  pugi::xml_document document;
  if (file.status != FileText::Status::Read || !document.load_buffer(file.data.get(), file.size)) {
    return;
  }
  // Pre-order without recursion: the file's nesting is not ours to bound.
  pugi::xml_node node = document.first_child();
  while (node) {
    if (node.type() == pugi::node_element && std::string_view(node.name()) == "setting") {
      const std::string_view name = node.attribute("name").value();
      if (!name.empty()) out.insert_or_assign(std::string(name), node.child_value());
    }
    if (pugi::xml_node child = node.first_child()) {
      node = child;
      continue;
    }
    while (node && !node.next_sibling()) node = node.parent();
    if (node) node = node.next_sibling();
  }
}

// The styles file belongs to the installation and is read like a memory map,
// leniently: every element that names a style offers it.
std::vector<std::string> readFormattingStyles(const std::string& path) {
  const FileText file = readFileText(path, kMaxSettingsFileBytes, true);
  XMLDocument document;
  if (file.status != FileText::Status::Read || !document.parse(file.text())) return {};
  std::vector<std::string> styles;
  const XMLNode* top = document.root;
  const XMLNode* node = top;
  while (node != nullptr) {
    if (const XMLElement* element = asElement(node)) {
      const std::optional<std::string_view> name = element->getAttribute("name");
      if (name && !name->empty()) styles.emplace_back(*name);
    }
    if (node->firstChild != nullptr) {
      node = node->firstChild;
      continue;
    }
    while (node != top && node->nextSibling == nullptr) node = node->parent;
    node = node == top ? nullptr : node->nextSibling;
  }
  return styles;
}

}  // namespace

SettingsStore::SettingsStore(const std::string& userRoot, const std::string& userVersion,
                             const std::string& stylesFile) {
  readSettingsFile(userRoot + "/settings.xml", shared_);
  readSettingsFile(userVersion + "/settings.xml", versionOwn_);
  formattingStyles_ = readFormattingStyles(stylesFile);
}

std::optional<std::string> SettingsStore::value(std::string_view key) const {
  if (auto it = versionOwn_.find(key); it != versionOwn_.end()) return it->second;
  if (auto it = shared_.find(key); it != shared_.end()) return it->second;
  return std::nullopt;
}

}  // namespace rw

#include "environment/settings.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <pugixml.hpp>

namespace rw {

namespace {

// One character at `i`, advancing `i`. A byte that does not start a valid
// UTF-8 sequence stands for itself (Latin-1).
char32_t decodeCharacter(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t length = 0;
  char32_t cp = 0;
  char32_t smallest = 0;
  if (b0 >= 0xC0 && b0 < 0xE0) {
    length = 2, cp = b0 & 0x1Fu, smallest = 0x80;
  } else if (b0 >= 0xE0 && b0 < 0xF0) {
    length = 3, cp = b0 & 0x0Fu, smallest = 0x800;
  } else if (b0 >= 0xF0 && b0 < 0xF8) {
    length = 4, cp = b0 & 0x07u, smallest = 0x10000;
  }
  if (length == 0 || i + length > s.size()) {
    ++i;
    return b0;
  }
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0u) != 0x80u) {
      ++i;
      return b0;
    }
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return b0;
  }
  i += length;
  return cp;
}

// The first UTF-16 code unit of `cp`, and the second (0 when there is none).
std::array<uint32_t, 2> utf16Units(char32_t cp) {
  if (cp < 0x10000) return {cp, 0};
  const char32_t v = cp - 0x10000;
  return {0xD800 + (v >> 10), 0xDC00 + (v & 0x3FFu)};
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

struct Reference {
  std::string_view name;
  std::string_view text;
};

constexpr std::array<Reference, 5> kPredefinedEntities = {{
    {"amp", "&"},
    {"lt", "<"},
    {"gt", ">"},
    {"quot", "\""},
    {"apos", "'"},
}};

constexpr std::array<Reference, 7> kSettingReferences = {{
    {"amp", "&"},
    {"lt", "<"},
    {"gt", ">"},
    {"quot", "\""},
    {"apos", "'"},
    {"nbsp", " "},
    {"middot", "\xC2\xB7"},
}};

template <size_t N>
const Reference* findReference(const std::array<Reference, N>& table, std::string_view name) {
  for (const Reference& r : table) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

// "#60" or "#x3C": the character, or nothing when the reference is not one.
std::optional<char32_t> characterReference(std::string_view name) {
  if (name.size() < 2 || name[0] != '#') return std::nullopt;
  const bool hex = name[1] == 'x';
  std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return std::nullopt;
  char32_t cp = 0;
  for (char c : digits) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(d);
    if (cp > 0x10FFFF) return std::nullopt;
  }
  if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return cp;
}

// Raw XML text with its predefined entities and character references
// decoded; anything else that looks like a reference stays as written.
std::string decodeXmlText(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  size_t i = 0;
  while (i < raw.size()) {
    const size_t amp = raw.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(raw, i, amp - i);
    const size_t semi = raw.find(';', amp + 1);
    if (semi == std::string_view::npos) {
      i = amp;
      break;
    }
    const std::string_view name = raw.substr(amp + 1, semi - amp - 1);
    if (const Reference* r = findReference(kPredefinedEntities, name)) {
      out += r->text;
    } else if (auto cp = characterReference(name)) {
      appendUtf8(out, *cp);
    } else {
      out.append(raw, amp, semi + 1 - amp);
    }
    i = semi + 1;
  }
  out.append(raw, i);
  return out;
}

// The value a setting element's text child gives. The file format's reader
// has always seen a reference to an entity the document does not declare
// ("&nbsp;") as a node of its own, ending the text before it; a setting whose
// text starts with one takes that reference, which undoSettingReferences then
// turns into its character.
std::string valueOfText(std::string_view raw) {
  size_t from = 0;
  while (true) {
    const size_t amp = raw.find('&', from);
    if (amp == std::string_view::npos) break;
    const size_t semi = raw.find(';', amp + 1);
    if (semi == std::string_view::npos) break;
    const std::string_view name = raw.substr(amp + 1, semi - amp - 1);
    if (findReference(kPredefinedEntities, name) == nullptr && !name.empty() && name[0] != '#') {
      if (amp == 0) return undoSettingReferences(raw.substr(0, semi + 1));
      raw = raw.substr(0, amp);
      break;
    }
    from = semi + 1;
  }
  return decodeXmlText(raw);
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

// The first child's serialisation, references undone once. The document is
// parsed without decoding, so printing without escaping gives the text the
// way the file wrote it.
std::string settingValue(const pugi::xml_node& setting) {
  const pugi::xml_node child = setting.first_child();
  switch (child.type()) {
    case pugi::node_null:
      return {};
    case pugi::node_pcdata:
      return valueOfText(child.value());
    case pugi::node_cdata:
      return undoSettingReferences(std::string("<![CDATA[") + child.value() + "]]>");
    case pugi::node_comment:
      return undoSettingReferences(std::string("<!--") + child.value() + "-->");
    default: {
      StringWriter writer;
      child.print(writer, "", pugi::format_raw | pugi::format_no_escapes);
      return undoSettingReferences(writer.out);
    }
  }
}

// Comments and processing instructions are nodes too: a setting whose first
// child is one takes its serialisation.
constexpr unsigned kParseOptions = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_comments | pugi::parse_pi;

}  // namespace

bool Utf16Less::operator()(std::string_view a, std::string_view b) const {
  // ASCII bytes are whole characters whatever surrounds them, so an equal
  // ASCII prefix can be skipped without decoding.
  size_t i = 0;
  const size_t common = std::min(a.size(), b.size());
  while (i < common && a[i] == b[i] && static_cast<unsigned char>(a[i]) < 0x80) ++i;
  size_t ia = i;
  size_t ib = i;
  while (ia < a.size() && ib < b.size()) {
    const auto ua = utf16Units(decodeCharacter(a, ia));
    const auto ub = utf16Units(decodeCharacter(b, ib));
    if (ua != ub) return ua < ub;
  }
  if (ia < a.size() || ib < b.size()) return ib < b.size();
  return a < b;
}

std::string undoSettingReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(text, i, amp - i);
    i = amp + 1;
    const size_t semi = text.find(';', amp + 1);
    const Reference* r =
        semi == std::string_view::npos ? nullptr : findReference(kSettingReferences, text.substr(amp + 1, semi - amp - 1));
    if (r == nullptr) {
      out += '&';
      continue;
    }
    out += r->text;
    i = semi + 1;
  }
  out.append(text, i);
  return out;
}

std::string escapeSettingValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '>': out += "&gt;"; break;
      case '<': out += "&lt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

Settings::~Settings() {
  if (dirty_) sync();
}

void Settings::setPath(std::string path) {
  path_.setPath(std::move(path));
  load();
}

std::optional<std::filesystem::file_time_type> Settings::fileTime() const {
  std::error_code ec;
  const auto time = std::filesystem::last_write_time(path_.str(), ec);
  if (ec) return std::nullopt;
  return time;
}

bool Settings::readFile(const std::string& path, EntryMap& out) {
  if (path.empty()) return false;
  pugi::xml_document doc;
  if (!doc.load_file(path.c_str(), kParseOptions, pugi::encoding_auto)) return false;
  out.clear();
  // Pre-order walk without recursion: a deeply nested file must not exhaust
  // the stack.
  pugi::xml_node n = doc.first_child();
  while (n) {
    if (n.type() == pugi::node_element && std::strcmp(n.name(), "setting") == 0) {
      const std::string name = decodeXmlText(n.attribute("name").value());
      if (!name.empty()) out.insert_or_assign(name, Entry{settingValue(n), EntryState::Read});
    }
    if (pugi::xml_node child = n.first_child()) {
      n = child;
      continue;
    }
    while (n && !n.next_sibling()) n = n.parent();
    if (n) n = n.next_sibling();
  }
  return true;
}

bool Settings::load() {
  if (!readFile(path_.str(), entries_)) return false;
  recordedTime_ = fileTime();
  dirty_ = false;
  return true;
}

std::string Settings::serialise(const EntryMap& entries) {
  std::string text = "<!DOCTYPE Larkspan_Settings_File>\n<settings>\n";
  for (const auto& [name, entry] : entries) {
    if (entry.state == EntryState::Removed) continue;
    text += "  <setting name=\"";
    text += name;
    text += "\">";
    text += escapeSettingValue(entry.value);
    text += "</setting>\n";
  }
  text += "</settings>\n";
  return text;
}

bool Settings::save() {
  const std::string& path = path_.str();
  if (path.empty()) return false;
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);

  const std::string newPath = path + ".new";
  const std::string bakPath = path + ".bak";
  std::FILE* file = std::fopen(newPath.c_str(), "wb");
  if (file == nullptr) return false;
  const std::string text = serialise(entries_);
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) {
    std::remove(newPath.c_str());
    return false;
  }
  std::remove(bakPath.c_str());
  std::rename(path.c_str(), bakPath.c_str());
  if (std::rename(newPath.c_str(), path.c_str()) != 0) return false;
  recordedTime_ = fileTime();
  dirty_ = false;
  return true;
}

bool Settings::sync() {
  if (fileTime() == recordedTime_) {
    if (dirty_) save();
    return false;
  }
  if (!dirty_) return load();
  // Another writer changed the file: its entries are the base, this run's
  // changes go on top. An unreadable file gives an empty base.
  EntryMap merged;
  readFile(path_.str(), merged);
  for (const auto& [name, entry] : entries_) {
    if (entry.state != EntryState::Read) merged.insert_or_assign(name, entry);
  }
  entries_ = std::move(merged);
  save();
  return true;
}

std::string Settings::get(std::string_view name, std::string_view defaultValue) const {
  auto it = entries_.find(name);
  if (it == entries_.end() || it->second.state == EntryState::Removed) return std::string(defaultValue);
  return it->second.value;
}

void Settings::set(std::string_view name, std::string_view text) {
  auto it = entries_.find(name);
  if (it == entries_.end()) {
    entries_.emplace(std::string(name), Entry{std::string(text), EntryState::Set});
  } else {
    if (it->second.state != EntryState::Removed && it->second.value == text) return;
    it->second = Entry{std::string(text), EntryState::Set};
  }
  dirty_ = true;
}

void Settings::remove(std::string_view name) {
  auto it = entries_.find(name);
  if (it == entries_.end()) return;
  it->second.state = EntryState::Removed;
  dirty_ = true;
}

}  // namespace rw

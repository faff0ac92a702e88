// One settings file: a map from setting name to value text, kept in step with
// an XML file that other processes may write too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "environment/paths.h"

namespace rw {

// Orders names by their UTF-16 code units, the order the file has always been
// written in. For text within the Basic Multilingual Plane this equals byte
// order; a character beyond it (four UTF-8 bytes, a surrogate pair) sorts
// before U+E000..U+FFFF, where byte order would put it after. Invalid UTF-8
// bytes count as Latin-1 characters; names that decode alike fall back to
// byte order so that distinct names stay distinct.
struct Utf16Less {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class Settings {
public:
  enum class EntryState : uint8_t {
    Read = 0,     // as read from the file
    Set = 1,      // set during this run
    Removed = 2,  // removed during this run; not written
  };
  struct Entry {
    std::string value;
    EntryState state = EntryState::Read;
  };
  using EntryMap = std::map<std::string, Entry, Utf16Less>;

  Settings() = default;
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;
  // Writes this run's changes (through sync) when there are any. A store that
  // changed nothing leaves the file alone: rewriting it would create files a
  // run never asked for and could overwrite a newer file of another writer.
  ~Settings();

  void setPath(std::string path);
  const std::string& path() const { return path_.str(); }

  // Replaces the map with the file's entries. A file that cannot be opened or
  // is not well-formed XML leaves the map, the recorded time and the dirty
  // flag as they were, and returns false.
  bool load();
  // Writes every entry that is not removed, through "<path>.new" and with the
  // previous file kept as "<path>.bak". Returns false, changing nothing on
  // disk and keeping the dirty flag, when the new file cannot be written.
  bool save();
  // Brings file and map together: re-reads the file when another writer
  // changed it since this object last read or wrote it (applying this run's
  // changes onto it and saving when there are any); otherwise saves when
  // dirty. Returns true when the file was re-read.
  bool sync();

  std::string get(std::string_view name, std::string_view defaultValue) const;
  void set(std::string_view name, std::string_view text);
  void remove(std::string_view name);

  bool dirty() const { return dirty_; }
  const EntryMap& entries() const { return entries_; }

  // The file's contents for `entries`, as save writes them.
  static std::string serialise(const EntryMap& entries);
  // Reads `path` into `out` (cleared first). False when the file is missing,
  // unreadable or not well-formed; `out` is then left untouched.
  static bool readFile(const std::string& path, EntryMap& out);

private:
  std::optional<std::filesystem::file_time_type> fileTime() const;

  PathName path_;
  EntryMap entries_;
  std::optional<std::filesystem::file_time_type> recordedTime_;
  bool dirty_ = false;
};

// The text a stored value stands for: the references "&amp;", "&lt;", "&gt;",
// "&quot;", "&apos;", "&nbsp;" and "&middot;" each undone once, left to right.
std::string undoSettingReferences(std::string_view text);
// "&", ">", "<", '"' and "'" written as references, in that order.
std::string escapeSettingValue(std::string_view text);

}  // namespace rw

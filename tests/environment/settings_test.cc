#include "environment/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rw {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rw-settings-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    path_ = (dir_ / "sub" / "settings.xml").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& text) {
    fs::create_directories(fs::path(path_).parent_path());
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Another process writing the file: new contents and a later time.
  void writeAsOtherProcess(const std::string& text) {
    const auto before = fs::last_write_time(path_);
    write(text);
    fs::last_write_time(path_, before + std::chrono::seconds(2));
  }
  static std::string file(const std::string& body) {
    return "<!DOCTYPE Larkspan_Settings_File>\n<settings>\n" + body + "</settings>\n";
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(SettingsTest, ValuesRoundTripThroughTheFile) {
  struct Case {
    std::string value;
    std::string written;
  };
  const Case cases[] = {
      {"a<b & \"c\" 'd' >e", "a&lt;b &amp; &quot;c&quot; &apos;d&apos; &gt;e"},
      {"&lt;", "&amp;lt;"},
      {"&amp;nbsp;", "&amp;amp;nbsp;"},
      {"&nbsp;", "&amp;nbsp;"},
      {"plain text", "plain text"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    fs::remove_all(dir_);
    {
      Settings s;
      s.setPath(path_);
      s.set("k", c.value);
      ASSERT_TRUE(s.save());
      EXPECT_FALSE(s.dirty());
    }
    EXPECT_EQ(read(path_), file("  <setting name=\"k\">" + c.written + "</setting>\n"));
    Settings again;
    again.setPath(path_);
    EXPECT_EQ(again.get("k", "default"), c.value);
  }
}

TEST_F(SettingsTest, LoadReadsEverySettingElement) {
  struct Case {
    const char* name;
    std::string text;
    Settings::EntryMap expected;
  };
  using E = Settings::Entry;
  const Case cases[] = {
      {"later duplicate wins",
       "<settings><setting name=\"a\">1</setting><setting name=\"a\">2</setting></settings>",
       {{"a", E{"2"}}}},
      {"nested anywhere, nameless skipped",
       "<x><y><setting name=\"a\">1</setting></y><setting>2</setting><setting name=\"\">3</setting>"
       "<setting name=\"b\"><setting name=\"c\">4</setting></setting></x>",
       {{"a", E{"1"}}, {"b", E{"<setting name=\"c\">4</setting>"}}, {"c", E{"4"}}}},
      {"references undone once",
       "<s><setting name=\"a\">&amp;amp;</setting><setting name=\"b\">&#60;&#x3E;</setting>"
       "<setting name=\"c\">&nbsp;</setting><setting name=\"d\">x&middot;y</setting>"
       "<setting name=\"e\">&middot;</setting><setting name=\"f&amp;g\">&quot;&apos;</setting></s>",
       {{"a", E{"&amp;"}}, {"b", E{"<>"}}, {"c", E{" "}}, {"d", E{"x"}}, {"e", E{"\xC2\xB7"}}, {"f&g", E{"\"'"}}}},
      {"first child serialised",
       "<s><setting name=\"a\"><![CDATA[<x>]]></setting><setting name=\"b\"><!--c-->t</setting>"
       "<setting name=\"c\"/><setting name=\"d\"><v w=\"&lt;\">t</v>more</setting></s>",
       {{"a", E{"<![CDATA[<x>]]>"}}, {"b", E{"<!--c-->"}}, {"c", E{""}}, {"d", E{"<v w=\"<\">t</v>"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write(c.text);
    Settings s;
    s.setPath(path_);
    ASSERT_EQ(s.entries().size(), c.expected.size());
    for (const auto& [name, entry] : c.expected) {
      SCOPED_TRACE(name);
      EXPECT_EQ(s.get(name, "?"), entry.value);
    }
    EXPECT_FALSE(s.dirty());
  }
}

TEST_F(SettingsTest, UnreadableFileLeavesTheMapAsItWas) {
  write(file("  <setting name=\"a\">1</setting>\n"));
  Settings s;
  s.setPath(path_);
  s.set("b", "2");
  const char* bad[] = {"<settings><setting name=\"a\">9</setting>", "", "not xml", "<a></b>"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    write(text);
    EXPECT_FALSE(s.load());
    EXPECT_EQ(s.get("a", "?"), "1");
    EXPECT_EQ(s.get("b", "?"), "2");
    EXPECT_TRUE(s.dirty());
  }
  fs::remove(path_);
  EXPECT_FALSE(s.load());
  EXPECT_EQ(s.get("a", "?"), "1");
}

TEST_F(SettingsTest, SavedInUtf16Order) {
  Settings s;
  s.setPath(path_);
  // U+FF01 is EF BC 81 and U+1F600 is F0 9F 98 80: bytes put U+FF01 first,
  // UTF-16 code units (FF01 against D83D) put U+1F600 first.
  const char* names[] = {"\xEF\xBC\x81", "a", "\xF0\x9F\x98\x80", "B", "\xC3\xA9", "ab"};
  for (const char* name : names) s.set(name, "v");
  ASSERT_TRUE(s.save());
  EXPECT_EQ(read(path_), file("  <setting name=\"B\">v</setting>\n"
                              "  <setting name=\"a\">v</setting>\n"
                              "  <setting name=\"ab\">v</setting>\n"
                              "  <setting name=\"\xC3\xA9\">v</setting>\n"
                              "  <setting name=\"\xF0\x9F\x98\x80\">v</setting>\n"
                              "  <setting name=\"\xEF\xBC\x81\">v</setting>\n"));
}

TEST_F(SettingsTest, Utf16Order) {
  struct Case {
    std::string a;
    std::string b;
    bool less;
  };
  const Case cases[] = {
      {"\xF0\x9F\x98\x80", "\xEF\xBC\x81", true},
      {"\xEF\xBC\x81", "\xF0\x9F\x98\x80", false},
      {"\xED\x9F\xBF", "\xF0\x9F\x98\x80", true},  // U+D7FF sorts before the surrogates
      {"x", "xy", true},
      {"xy", "x", false},
      {"x", "x", false},
      {"\xE9", "\xC3\xA9", false},  // both U+00E9 (a lone byte counts as Latin-1); bytes decide
      {"\xC3\xA9", "\xE9", true},
      {"\xC3", "\xC3\xA9", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(Utf16Less()(c.a, c.b), c.less);
  }
}

TEST_F(SettingsTest, GetSetRemove) {
  write(file("  <setting name=\"a\">1</setting>\n  <setting name=\"b\">2</setting>\n"));
  Settings s;
  s.setPath(path_);
  s.set("a", "1");
  EXPECT_FALSE(s.dirty()) << "the same text again changes nothing";
  s.remove("zz");
  EXPECT_FALSE(s.dirty()) << "removing what is not there changes nothing";
  s.remove("a");
  EXPECT_TRUE(s.dirty());
  EXPECT_EQ(s.get("a", "def"), "def");
  ASSERT_TRUE(s.save());
  EXPECT_EQ(read(path_), file("  <setting name=\"b\">2</setting>\n"));
  EXPECT_EQ(read(path_ + ".bak"), file("  <setting name=\"a\">1</setting>\n  <setting name=\"b\">2</setting>\n"));
  EXPECT_FALSE(fs::exists(path_ + ".new"));
  s.set("a", "1");
  EXPECT_EQ(s.get("a", "def"), "1") << "setting a removed entry brings it back";

  Settings again;
  again.setPath(path_);
  EXPECT_EQ(again.get("a", "def"), "def");
}

TEST_F(SettingsTest, SaveThatCannotWriteChangesNothing) {
  write(file("  <setting name=\"a\">1</setting>\n"));
  fs::create_directories(path_ + ".new");  // a directory cannot be opened for writing
  Settings s;
  s.setPath(path_);
  s.set("a", "2");
  EXPECT_FALSE(s.save());
  EXPECT_TRUE(s.dirty());
  EXPECT_EQ(read(path_), file("  <setting name=\"a\">1</setting>\n"));
  EXPECT_FALSE(fs::exists(path_ + ".bak"));
}

TEST_F(SettingsTest, SyncMergesAnotherWritersFile) {
  write(file("  <setting name=\"a\">1</setting>\n  <setting name=\"b\">2</setting>\n"));
  Settings s;
  s.setPath(path_);
  s.set("c", "mine");
  s.remove("b");
  writeAsOtherProcess(file("  <setting name=\"a\">theirs</setting>\n  <setting name=\"b\">2</setting>\n"
                           "  <setting name=\"d\">4</setting>\n"));
  EXPECT_TRUE(s.sync());
  EXPECT_FALSE(s.dirty());
  EXPECT_EQ(read(path_), file("  <setting name=\"a\">theirs</setting>\n  <setting name=\"c\">mine</setting>\n"
                              "  <setting name=\"d\">4</setting>\n"));
  EXPECT_FALSE(s.sync()) << "nothing changed since";
}

TEST_F(SettingsTest, SyncWithoutChangesRereads) {
  write(file("  <setting name=\"a\">1</setting>\n"));
  Settings s;
  s.setPath(path_);
  EXPECT_FALSE(s.sync());
  writeAsOtherProcess(file("  <setting name=\"a\">2</setting>\n"));
  EXPECT_TRUE(s.sync());
  EXPECT_EQ(s.get("a", "?"), "2");
  EXPECT_EQ(read(path_), file("  <setting name=\"a\">2</setting>\n")) << "a reader does not write";
}

TEST_F(SettingsTest, DestructionSavesOnlyChanges) {
  { Settings untouched; untouched.setPath(path_); }
  EXPECT_FALSE(fs::exists(path_));
  {
    Settings changed;
    changed.setPath(path_);
    changed.set("a", "1");
  }
  EXPECT_EQ(read(path_), file("  <setting name=\"a\">1</setting>\n"));
}

}  // namespace
}  // namespace rw

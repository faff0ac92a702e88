// The reader over a window that is refilled from a source gives what it gives
// over the whole text at once, wherever the text is cut.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "serialise.h"
#include "xml/file_text.h"
#include "xml/xml_document.h"
#include "xml/xml_reader.h"

namespace rw {
namespace {

// Bytes handed out at most `piece` at a time, as a file read in pieces is.
class Trickle : public ByteSource {
public:
  Trickle(std::string_view text, size_t piece) : text_(text), piece_(piece) {}
  size_t read(char* to, size_t room) override {
    const size_t count = std::min({room, piece_, text_.size()});
    std::memcpy(to, text_.data(), count);
    text_.remove_prefix(count);
    return count;
  }

private:
  std::string_view text_;
  size_t piece_;
};

// The tree, then every node's line in document order, then the error.
std::string outcome(const XMLReader::Result& result) {
  std::string text = testing::serialise(result.root) + " lines:";
  std::vector<const XMLNode*> pending;
  if (result.root != nullptr) pending.push_back(result.root);
  while (!pending.empty()) {
    const XMLNode* node = pending.back();
    pending.pop_back();
    text += ' ' + std::to_string(node->line);
    if (node->nextSibling != nullptr) pending.push_back(node->nextSibling);
    if (node->firstChild != nullptr) pending.push_back(node->firstChild);
  }
  text += " error:" + std::to_string(static_cast<int>(result.error)) + "@" + std::to_string(result.errorLine);
  text += " census:" + std::to_string(result.census.wordTags) + (result.census.dollarInValue ? "$" : "");
  delete result.root;
  return text;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ReadingInPieces, GivesWhatReadingWholeGives) {
  std::vector<std::string> texts;
  for (const testing::TestCase& c : testing::readCases("xml/reader_cases.txt")) texts.push_back(c.get("in"));
  for (const testing::TestCase& c : testing::readCases("xml/reading_in_pieces_cases.txt")) {
    std::string text = c.get("in");
    // "long: N" repeats the text N times, so that it crosses many windows.
    const int repeat = std::stoi(c.get("long", "1"));
    std::string whole;
    for (int i = 0; i < repeat; ++i) whole += text;
    texts.push_back(c.get("prefix") + whole + c.get("suffix"));
  }
  texts.push_back(fileText(std::string(REGWRIGHT_TESTS_DIR) + "/data/stm32f103/flat.xml"));

  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 60));
    const size_t nul = std::min(text.find('\0'), text.size());
    XMLReader whole(kPlainElements, 0, text.data(), text.data() + nul);
    const std::string expected = outcome(whole.run());
    for (const size_t window : {4, 5, 8, 13, 64, 4096}) {
      for (const size_t piece : {size_t{1}, size_t{3}, window}) {
        SCOPED_TRACE("window " + std::to_string(window) + ", pieces of " + std::to_string(piece));
        Trickle source(text, piece);
        XMLReader inPieces(kPlainElements, 0, source, window);
        ASSERT_EQ(outcome(inPieces.run()), expected);
      }
    }
  }
}

// A read may return less than it was asked for (a pipe, a socket): the next
// asks for the rest, never for more. Each read of a packet socket returns
// at most one packet, which makes the short reads certain.
TEST(ReadingInPieces, ReadFullyAsksForTheRestAfterAShortRead) {
  int ends[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends), 0);
  const std::string first(10, 'a');
  const std::string second(30, 'b');
  ASSERT_EQ(::write(ends[1], first.data(), first.size()), 10);
  ASSERT_EQ(::write(ends[1], second.data(), second.size()), 30);
  ASSERT_EQ(::write(ends[1], "c", 1), 1);
  ::close(ends[1]);
  char buffer[64] = {};
  EXPECT_EQ(readFully(ends[0], buffer, 20), 20);
  EXPECT_EQ(std::string(buffer, 20), first + std::string(10, 'b'));
  // Short at the end of the stream: what there was.
  EXPECT_EQ(readFully(ends[0], buffer, 20), 1);
  EXPECT_EQ(buffer[0], 'c');
  ::close(ends[0]);
}

}  // namespace
}  // namespace rw

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "xml/xml_document.h"
#include "xml/xml_entities.h"
#include "xml_test_dump.h"

namespace rw {
namespace {

using test::dump;

struct ParseCase {
  const char* name;
  std::string input;
  bool keepText;
  std::string tree;  // dump of the root, "-" for none
  const char* error = nullptr;
  int errorLine = 0;
};

TEST(XMLReader, BuildsTreesAndReportsErrors) {
  const ParseCase cases[] = {
      {"child without text", "<a><b/></a>", false, "a(b)"},
      {"empty runs around a child become data", "<a><b/></a>", true, "a(\"\",b,\"\")"},
      {"entities in text", "<a>x &amp;&#65;&#x41;&bogus; y</a>", true, "a(\"x &AA&bogus; y\")"},
      {"newline reference in a value", "<a v=\"1&#10;2\"/>", false, "a{v=1\n2}"},
      {"single-quoted value", "<a v='1'/>", false, "-", "bad tagName", 0},
      {"end tag of another element", "<a><b></a>", false, "-", "tagName mismatch", 0},
      {"end tag that begins the name", "<register></reg>", false, "register"},
      {"end tag longer than the name", "<reg></register>", false, "-", "tagName mismatch", 0},
      {"attribute without value is dropped", "<a b c=\"1\"/>", false, "a{c=1}"},
      {"repeated attribute keeps first position", "<a c=\"1\" d=\"3\" c=\"2\"/>", false, "a{c=2,d=3}"},
      {"value spans lines", "<a v=\"x\ny\"/>", false, "a{v=x\ny}"},
      {"unterminated value runs to the end", "<a v=\"x", false, "-"},
      {"space around equals", "<a v = \"1\" />", false, "a{v=1}"},
      {"comment before the root", "<!-- c --><a/>", true, "a"},
      {"cdata before the root", "<![CDATA[x]]><a/>", true, "a"},
      {"cdata kept without text", "<a><![CDATA[x<y>&amp;\r]]></a>", false, "a([x<y>&amp;\r])"},
      {"cdata ends only at ]]>", "<a><![CDATA[x]]]>y]]></a>", false, "a([x]]]>y])"},
      {"comment kept with text", "<a><!--c--></a>", true, "a(\"\",!c!,\"\")"},
      {"comment dropped without text", "<a><!--c--></a>", false, "a"},
      {"---> does not end a comment", "<a><!-- x --->y --></a>", true, "a(\"\",! x --->y !,\"\")"},
      {"----> ends a comment", "<a><!--x---->y</a>", true, "a(\"\",!x--!,\"y\")"},
      {"unterminated comment", "<a><!-- x", true, "-"},
      {"<!- without second dash is text", "<a><!-x></a>", true, "a(\"\",\"x>\")"},
      {"unknown declaration is text", "<a><!ELEMENT foo></a>", true, "a(\"\",\"foo>\")"},
      {"a later top-level element replaces the root", "<a/><b/>", false, "b"},
      {"stray end tag at top level", "</x></><a/>", false, "a"},
      {"unclosed root", "<a><b/>", false, "-"},
      {"empty buffer", "", false, "-"},
      {"white space only", " \n\t ", false, "-"},
      {"text before the root", "hello <a/>", false, "-"},
      {"text between top-level elements is skipped", "<a/>x<b/>", false, "b"},
      {"empty element name", "<>x</>", true, "(\"x\")"},
      {"crs removed from text, kept in values", "<a v=\"x\r\ny\">p\r\nq&#13;</a>", true, "a{v=x\r\ny}(\"p\nq\")"},
      {"other instruction becomes text", "<a><?php x ?></a>", true, "a(\"\",\"x ?>\")"},
      {"end tag with trailing junk closes nothing", "<a></a x>y</a>", true, "a(\"\",\"x>y\")"},
      {"declaration then root", "<?xml version=\"1.0\"?>\n<a/>", false, "a"},
      {"unquoted declaration value", "<?xml version=1.0?><a/>", false, "-"},
      {"unquoted declaration value drops an earlier root", "<a/><?xml v=1?>", false, "-"},
      {"declaration missing its ?", "<?xml version=\"1.0\">\n<a/>", false, "a"},
      {"stray byte in declaration", "<?xml version=\"1.0\" & ?><a/>", false, "a"},
      {"digit starts an attribute", "<a 1=\"x\"/>", false, "-", "bad tagName", 0},
      {"high byte starts an attribute", "<a \xC3\xA9=\"x\"/>", false, "-", "bad tagName", 0},
      {"full stop in an attribute name", "<a\nb.c=\"1\"/>", false, "-", "bad tagName", 1},
      {"error keeps the closed root", "<a/><b 'x'>", false, "a", "bad tagName", 0},
      {"bad tagName line, first newline not counted", "\n<a>\n<b x=\"1\" y=2/>", false, "-", "bad tagName", 1},
      {"mismatch line after name and space", "<a>\n<b>\n</c\n\n>", false, "-", "tagName mismatch", 4},
      {"NUL in text ends it", "<a>x&#256;y</a>", true, "a(\"x\")"},
      {"NUL in a value ends it", "<a n=\"A&#0;B\"/>", false, "a{n=A}"},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    XMLDocument document(c.keepText);
    const bool ok = document.parse(c.input);
    EXPECT_EQ(ok, c.error == nullptr);
    EXPECT_EQ(dump(document.root), c.tree);
    if (c.error != nullptr) {
      EXPECT_EQ(document.errorMessage, c.error);
      EXPECT_EQ(document.errorLine, c.errorLine);
    }
  }
}

TEST(XMLReader, NodeLinesCountNewlinesBeforeTheCursor) {
  const char* input = "\n<a>\n  <b\n x=\"1\"/>\n<!--\n-->text\n<![CDATA[\n]]></a>";
  XMLDocument document(true);
  ASSERT_TRUE(document.parse(input));
  EXPECT_EQ(dump(document.root, true),
            "a@0(\"\n  \"@1,b{x=1}@1,\"\n\"@3,!\n!@3,\"text\n\"@4,[\n]@5,\"\"@6)");
}

struct EntityCase {
  std::string input;
  std::string value;
};

TEST(XMLReader, DecodesReferences) {
  const EntityCase cases[] = {
      {"&lt;&gt;&amp;&apos;&quot;", "<>&'\""},
      {"&LT;&nbsp;&amp", "&LT;&nbsp;&amp"},
      {"&a&amp;", "&a&"},
      {"&#321;", "A"},                // low 8 bits of the value
      {"&#4294967361;", "A"},         // accumulated in 32 bits
      {"&#x4a;&#x4A;", "JJ"},
      {"&#X41;", "\r"},               // an upper-case X is the digit 33, not the hex mark
      {"&#6A;", "F"},                 // A counts 10 in decimal too
      {"&#x4g;", "P"},                // lower-case letters count from 10
      {"&#7!;", "0"},                 // other characters count their code minus 55
      {"x&#;y", "x"},
      {"x&#x;y", "x"},
      {"&;", "&;"},
  };
  for (const EntityCase& c : cases) {
    SCOPED_TRACE(c.input);
    std::string out;
    decodeEntities(c.input.data(), c.input.data() + c.input.size(), false, out);
    EXPECT_EQ(out, c.value);
    XMLDocument document(false);
    ASSERT_TRUE(document.parse("<a v=\"" + c.input + "\"/>"));
    EXPECT_EQ(*document.root->getAttribute("v"), c.value);
  }
}

TEST(XMLReader, ManyUnterminatedReferencesStayLinear) {
  const std::string text(1'000'000, '&');
  std::string out;
  decodeEntities(text.data(), text.data() + text.size(), true, out);
  EXPECT_EQ(out, text);
}

struct PrologCase {
  const char* name;
  std::string input;
  const char* doctype;
  const char* version;
  const char* encoding;
};

TEST(XMLReader, ReadsDeclarationAndDocumentType) {
  const PrologCase cases[] = {
      {"one-word doctype", "<!DOCTYPE example><a/>", "example", nullptr, nullptr},
      {"doctype with identifiers", "<!DOCTYPE x SYSTEM \"y\"><a/>", nullptr, nullptr, nullptr},
      {"abbreviated keyword", "<!DOC x><a/>", "x", nullptr, nullptr},
      {"longer keyword", "<!DOCTYPES x><a/>", nullptr, nullptr, nullptr},
      {"declaration", "<?xml version=\"1.0\" encoding=\"&amp;\" standalone=\"no\"?><a/>", nullptr, "1.0",
       "&amp;"},
      {"abbreviated declaration", "<?xm version=\"2\"?><a/>", nullptr, "2", nullptr},
      {"name without value", "<?xml foo version=\"3\"?>", nullptr, "3", nullptr},
      {"other instruction", "<?xmlx version=\"1\"?><a/>", nullptr, nullptr, nullptr},
  };
  auto text = [](const std::optional<std::string>& s) { return s ? *s : std::string("<null>"); };
  for (const PrologCase& c : cases) {
    SCOPED_TRACE(c.name);
    XMLDocument document(false);
    EXPECT_TRUE(document.parse(c.input));
    EXPECT_EQ(text(document.doctype), c.doctype ? c.doctype : "<null>");
    EXPECT_EQ(text(document.version), c.version ? c.version : "<null>");
    EXPECT_EQ(text(document.encoding), c.encoding ? c.encoding : "<null>");
  }
}

TEST(XMLReader, NulByteEndsTheBuffer) {
  const std::string input("<a/>\0<b/>", 9);
  XMLDocument document(false);
  ASSERT_TRUE(document.parse(input));
  EXPECT_EQ(dump(document.root), "a");
}

class CountingDocument : public XMLDocument {
public:
  CountingDocument() : XMLDocument(false) {}
  XMLElement* createElement(std::string_view tagName) override {
    ++created;
    return XMLDocument::createElement(std::string(tagName) + "-x");
  }
  int created = 0;
};

TEST(XMLReader, EveryStartTagGoesThroughTheFactory) {
  CountingDocument document;
  ASSERT_TRUE(document.parse("<a><b/><c></c><d>"));
  EXPECT_EQ(document.created, 4);
  EXPECT_EQ(dump(document.root), "-");
  ASSERT_TRUE(document.parse("<a><b/></a>"));
  EXPECT_EQ(dump(document.root), "a-x(b-x)");
}

TEST(XMLReader, ParseReplacesTheTreeButKeepsEarlierErrors) {
  XMLDocument document(false);
  EXPECT_FALSE(document.parse("<a>\n</b>"));
  EXPECT_TRUE(document.parse("<c/>"));
  EXPECT_EQ(dump(document.root), "c");
  EXPECT_EQ(document.errorMessage, "tagName mismatch");
  EXPECT_EQ(document.errorLine, 1);
  XMLElement* kept = document.takeRoot();
  EXPECT_TRUE(document.parse(""));
  EXPECT_EQ(document.root, nullptr);
  delete kept;
}

class TempDir {
public:
  TempDir() {
    char pattern[] = "/tmp/xml_reader_test.XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string write(const std::string& name, const std::string& bytes) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

TEST(XMLReader, LoadsFiles) {
  TempDir dir;
  struct LoadCase {
    const char* name;
    std::string bytes;
    std::string tree;
  };
  const LoadCase cases[] = {
      {"plain", "<a x=\"1\"/>", "a{x=1}"},
      {"byte-order mark", "\xEF\xBB\xBF<a/>", "a"},
      {"byte-order mark and line count", "\xEF\xBB\xBF\n<a>\n</b>", "-"},
      {"partial mark is text", "\xEF\xBB<a/>", "-"},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    XMLDocument document(false);
    document.load(dir.write("map.xml", c.bytes));
    EXPECT_EQ(dump(document.root), c.tree);
  }
  XMLDocument document(false);
  EXPECT_FALSE(document.load(dir.write("bad.xml", "\xEF\xBB\xBF\n<a>\n</b>")));
  EXPECT_EQ(document.errorLine, 1);

  const std::string missing = dir.path() + "/missing.xml";
  document.errorLine = 7;
  EXPECT_FALSE(document.load(missing));
  EXPECT_EQ(document.errorMessage, "couldn't read " + missing);
  EXPECT_EQ(document.errorLine, 0);

  EXPECT_FALSE(document.load(std::string(2000, '/')));
  EXPECT_EQ(document.errorMessage.size(), 1023u);

  std::FILE* stream = std::fopen(dir.write("s.xml", "\xEF\xBB\xBF<s/>").c_str(), "rb");
  ASSERT_NE(stream, nullptr);
  std::fgetc(stream);  // the stream is read from its start whatever its position
  EXPECT_TRUE(document.loadStream(stream));
  std::fclose(stream);
  EXPECT_EQ(dump(document.root), "s");
}

TEST(XMLReader, ManyAttributesOnOneTag) {
  for (int count : {10, 100'000}) {
    SCOPED_TRACE(count);
    std::string input = "<a";
    for (int i = 0; i < count; ++i) input += " n" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    input += " n5=\"x\" n1=\"y\"/>";
    XMLDocument document(false);
    ASSERT_TRUE(document.parse(input));
    const XMLAttributes attributes = document.root->attributes();
    const std::vector<XMLAttribute> list(attributes.begin(), attributes.end());
    ASSERT_EQ(list.size(), static_cast<size_t>(count));
    EXPECT_EQ(list[1].value, "y");
    EXPECT_EQ(list[5].name, "n5");
    EXPECT_EQ(list[5].value, "x");
    EXPECT_EQ(list.back().name, "n" + std::to_string(count - 1));
  }
}

// Long chains and deep nestings must parse and be destroyed without recursion
// (run under the sanitizers, a recursive destructor overflows the stack).
TEST(XMLReader, MillionSiblings) {
  std::string input = "<r>";
  for (int i = 0; i < 1'000'000; ++i) input += "<e/>";
  input += "</r>";
  XMLDocument document(false);
  ASSERT_TRUE(document.parse(input));
  size_t count = 0;
  for (XMLNode* child = document.root->firstChild; child != nullptr; child = child->nextSibling) ++count;
  EXPECT_EQ(count, 1'000'000u);
}

TEST(XMLReader, HundredThousandLevels) {
  constexpr int kDepth = 100'000;
  std::string input;
  for (int i = 0; i < kDepth; ++i) input += "<a>";
  std::string unclosed = input;
  for (int i = 0; i < kDepth; ++i) input += "</a>";
  XMLDocument document(false);
  ASSERT_TRUE(document.parse(input));
  int depth = 0;
  for (XMLNode* node = document.root; node != nullptr; node = node->firstChild) ++depth;
  EXPECT_EQ(depth, kDepth);
  EXPECT_TRUE(document.parse(unclosed));  // the open elements are discarded
  EXPECT_EQ(document.root, nullptr);
}

}  // namespace
}  // namespace rw

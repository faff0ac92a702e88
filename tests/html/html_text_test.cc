#include "html/html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace rw {
namespace {

struct Case {
  std::string input;
  std::string html;
  std::string json;
  std::string fragment;  // of validUtf8(input)
};

TEST(HtmlText, EscapesEveryTextForItsPlace) {
  const Case cases[] = {
      {"USART1_CR1", "USART1_CR1", "\"USART1_CR1\"", "USART1_CR1"},
      {"<b>&\"'", "&lt;b&gt;&amp;&quot;&#39;", "\"\\u003Cb\\u003E\\u0026\\\"'\"", "%3Cb%3E%26%22%27"},
      {"</script><!--", "&lt;/script&gt;&lt;!--", "\"\\u003C/script\\u003E\\u003C!--\"", "%3C%2Fscript%3E%3C%21--"},
      {"a\\b\tc\nd", "a\\b\tc\nd", "\"a\\\\b\\u0009c\\u000Ad\"", "a%5Cb%09c%0Ad"},
      // Controls a browser would drop or refuse become U+FFFD everywhere.
      {std::string("A\0B\x7F", 4), "A\xEF\xBF\xBD" "B\xEF\xBF\xBD", "\"A\xEF\xBF\xBD" "B\xEF\xBF\xBD\"",
       "A%EF%BF%BDB%EF%BF%BD"},
      // Valid UTF-8 stays; U+2028 and U+2029 end lines in older scripts.
      {"R\xC3\xA9G", "R\xC3\xA9G", "\"R\xC3\xA9G\"", "R%C3%A9G"},
      {"\xE2\x80\xA8\xE2\x80\xA9", "\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\"", "%E2%80%A8%E2%80%A9"},
      // A byte that begins no valid sequence is its Latin-1 character; an
      // overlong form or a surrogate is not valid either.
      {"R\xE9G", "R\xC3\xA9G", "\"R\xC3\xA9G\"", "R%C3%A9G"},
      {"\xC0\xAF", "\xC3\x80\xC2\xAF", "\"\xC3\x80\xC2\xAF\"", "%C3%80%C2%AF"},
      // Bytes 0x80 to 0x9F read as Latin-1 are controls too.
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xEF\xBF\xBD", "\"\xC3\xAD\xC2\xA0\xEF\xBF\xBD\"",
       "%C3%AD%C2%A0%EF%BF%BD"},
      {"\xF0\x9F\x98\x80!\xE2\x82", "\xF0\x9F\x98\x80!\xC3\xA2\xEF\xBF\xBD",
       "\"\xF0\x9F\x98\x80!\xC3\xA2\xEF\xBF\xBD\"", "%F0%9F%98%80%21%C3%A2%EF%BF%BD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    std::string html;
    appendHtml(html, c.input);
    EXPECT_EQ(html, c.html);
    std::string json;
    appendJsonString(json, c.input);
    EXPECT_EQ(json, c.json);
    std::string fragment;
    appendFragment(fragment, validUtf8(c.input));
    EXPECT_EQ(fragment, c.fragment);
  }
}

}  // namespace
}  // namespace rw

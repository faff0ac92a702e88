#include "html/html_packing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "packed_text.h"

namespace rw {
namespace {

TEST(HtmlPacking, UnpacksToTheSameText) {
  std::string noise(300'000, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  std::string markup;
  for (int i = 0; i < 20'000; ++i) markup += "<section class=\"rw-reg\" id=\"R" + std::to_string(i) + "\">\n";
  // Lengths around the multiples of three try base64's last group; noise
  // that does not compress needs more than one output piece, and uses every
  // digit of the alphabet.
  for (const std::string& text : {std::string(), std::string("a"), std::string("ab"), std::string("abc"),
                                  std::string("abcd"), markup, noise}) {
    SCOPED_TRACE(text.size());
    std::string packed = "prefix:";
    appendPacked(packed, text);
    ASSERT_TRUE(packed.starts_with("prefix:"));
    EXPECT_EQ(packed.find_first_of("+/=", 7), std::string::npos);
    EXPECT_EQ(testing::unpack(std::string_view(packed).substr(7)), text);

    // The same text in pieces, an empty one among them, packs to the same.
    Packer packer;
    const size_t third = text.size() / 3;
    for (const std::string_view piece : {std::string_view(text).substr(0, third), std::string_view(),
                                         std::string_view(text).substr(third)}) {
      packer.add(piece);
    }
    std::string pieces;
    packer.finish(pieces);
    EXPECT_EQ(pieces, packed.substr(7));
  }
}

}  // namespace
}  // namespace rw

#include "html/html_packing.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

namespace rw {
namespace {

std::string fromBase64(const std::string& text) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    if (c == '=') break;
    const size_t value = alphabet.find(c);
    EXPECT_NE(value, std::string::npos) << "not base64: " << c;
    bits = bits << 6 | static_cast<uint32_t>(value);
    if ((count += 6) >= 8) out += static_cast<char>(bits >> (count -= 8));
  }
  return out;
}

// What a browser's DecompressionStream("gzip") gives back.
std::string gunzip(const std::string& packed) {
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, 15 + 16), Z_OK);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  std::string out;
  int status = Z_OK;
  while (status == Z_OK) {
    char piece[65536];
    stream.next_out = reinterpret_cast<Bytef*>(piece);
    stream.avail_out = sizeof piece;
    status = inflate(&stream, Z_NO_FLUSH);
    out.append(piece, sizeof piece - stream.avail_out);
  }
  EXPECT_EQ(status, Z_STREAM_END);
  EXPECT_EQ(stream.avail_in, 0u) << "bytes after the gzip stream";
  inflateEnd(&stream);
  return out;
}

TEST(HtmlPacking, UnpacksToTheSameText) {
  std::string noise(300'000, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  std::string markup;
  for (int i = 0; i < 20'000; ++i) markup += "<section class=\"rw-reg\" id=\"R" + std::to_string(i) + "\">\n";
  // Lengths around the multiples of three try base64's padding; noise that
  // does not compress needs more than one output piece.
  for (const std::string& text : {std::string(), std::string("a"), std::string("ab"), std::string("abc"),
                                  std::string("abcd"), markup, noise}) {
    SCOPED_TRACE(text.size());
    std::string packed = "prefix:";
    appendPacked(packed, text);
    ASSERT_TRUE(packed.starts_with("prefix:"));
    EXPECT_EQ(packed.size() % 4, 3u);
    EXPECT_EQ(gunzip(fromBase64(packed.substr(7))), text);
  }
}

}  // namespace
}  // namespace rw

// What the page's script does with packed data: base64 in the URL alphabet
// back to bytes, then gunzip, as DecompressionStream("gzip") does.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <string_view>

namespace rw::testing {

inline std::string fromBase64Url(std::string_view text) {
  static const std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    const size_t value = alphabet.find(c);
    EXPECT_NE(value, std::string::npos) << "not base64url: " << c;
    bits = bits << 6 | static_cast<uint32_t>(value);
    if ((count += 6) >= 8) out += static_cast<char>(bits >> (count -= 8));
  }
  return out;
}

inline std::string gunzip(const std::string& packed) {
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

inline std::string unpack(std::string_view packed) { return gunzip(fromBase64Url(packed)); }

}  // namespace rw::testing

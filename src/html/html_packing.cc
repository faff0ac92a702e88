#include "html/html_packing.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <new>

namespace rw {

namespace {

// zlib's default level: a quarter smaller than the fastest for a vendor
// device's data, which the browser reads on every load, for some tens of
// milliseconds more to write it once; the best level costs four times that
// for a further sixth.
constexpr int kLevel = 6;
// 15 bits of window, plus 16 for a gzip wrapper rather than zlib's own.
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kMemoryLevel = 8;

void appendBase64(std::string& out, const unsigned char* data, size_t size) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  out.reserve(out.size() + (size * 4 + 2) / 3);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const uint32_t bits = uint32_t{data[i]} << 16 | uint32_t{data[i + 1]} << 8 | data[i + 2];
    out += kAlphabet[bits >> 18];
    out += kAlphabet[(bits >> 12) & 63];
    out += kAlphabet[(bits >> 6) & 63];
    out += kAlphabet[bits & 63];
  }
  if (i < size) {
    const bool two = i + 1 < size;
    const uint32_t bits = uint32_t{data[i]} << 16 | (two ? uint32_t{data[i + 1]} << 8 : 0);
    out += kAlphabet[bits >> 18];
    out += kAlphabet[(bits >> 12) & 63];
    if (two) out += kAlphabet[(bits >> 6) & 63];
  }
}

}  // namespace

void appendPacked(std::string& out, std::string_view text) {
  z_stream stream{};
  if (deflateInit2(&stream, kLevel, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::bad_alloc();
  }
  // zlib counts in 32 bits: the text goes in parts, the output comes in
  // pieces of kPiece bytes until deflate leaves room in one.
  constexpr size_t kPart = size_t{1} << 30;
  constexpr size_t kPiece = size_t{256} << 10;
  std::string packed;
  size_t offset = 0;
  int flush = Z_NO_FLUSH;
  int status = Z_OK;
  while (flush != Z_FINISH) {
    const size_t part = std::min(text.size() - offset, kPart);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data() + offset));
    stream.avail_in = static_cast<uInt>(part);
    offset += part;
    flush = offset == text.size() ? Z_FINISH : Z_NO_FLUSH;
    do {
      const size_t used = packed.size();
      packed.resize(used + kPiece);
      stream.next_out = reinterpret_cast<Bytef*>(packed.data() + used);
      stream.avail_out = static_cast<uInt>(kPiece);
      status = deflate(&stream, flush);
      packed.resize(used + kPiece - stream.avail_out);
    } while (stream.avail_out == 0 && status == Z_OK);
  }
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::bad_alloc();
  appendBase64(out, reinterpret_cast<const unsigned char*>(packed.data()), packed.size());
}

}  // namespace rw

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

struct Packer::Stream {
  z_stream z{};
};

Packer::Packer() : stream_(std::make_unique<Stream>()) {
  if (deflateInit2(&stream_->z, kLevel, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::bad_alloc();
  }
}

Packer::~Packer() { deflateEnd(&stream_->z); }

void Packer::add(std::string_view text) { deflateText(text, false); }

void Packer::finish(std::string& out) {
  deflateText({}, true);
  appendBase64(out, reinterpret_cast<const unsigned char*>(packed_.data()), packed_.size());
  packed_.clear();
  packed_.shrink_to_fit();
}

// zlib counts in 32 bits: the text goes in parts, the output comes in pieces
// of kPiece bytes until deflate leaves room in one.
void Packer::deflateText(std::string_view text, bool last) {
  constexpr size_t kPart = size_t{1} << 30;
  constexpr size_t kPiece = size_t{256} << 10;
  z_stream& z = stream_->z;
  size_t offset = 0;
  do {
    const size_t part = std::min(text.size() - offset, kPart);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data() + offset));
    z.avail_in = static_cast<uInt>(part);
    offset += part;
    const int flush = last && offset == text.size() ? Z_FINISH : Z_NO_FLUSH;
    int status = Z_OK;
    do {
      const size_t used = packed_.size();
      packed_.resize(used + kPiece);
      z.next_out = reinterpret_cast<Bytef*>(packed_.data() + used);
      z.avail_out = static_cast<uInt>(kPiece);
      status = deflate(&z, flush);
      packed_.resize(used + kPiece - z.avail_out);
    } while (z.avail_out == 0 && status == Z_OK);
    if (status == Z_STREAM_ERROR || (flush == Z_FINISH && status != Z_STREAM_END)) throw std::bad_alloc();
  } while (offset != text.size());
}

void appendPacked(std::string& out, std::string_view text) {
  Packer packer;
  packer.add(text);
  packer.finish(out);
}

}  // namespace rw

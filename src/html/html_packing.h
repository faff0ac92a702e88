// The page's data, packed small: gzip, then base64 in its URL alphabet
// without padding, which the page's script turns back into bytes and
// DecompressionStream("gzip") into text. The URL alphabet has no "/" or "=",
// so no run of the packed text reads like a reference to another file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace rw {

// Packs text that comes in pieces, so that the whole of it is never held:
// gzip-compressed, then base64-encoded (URL alphabet: "-" and "_" for "+"
// and "/", no padding, no line breaks). Throws std::bad_alloc when zlib lacks
// memory, like any other allocation of the run.
class Packer {
public:
  Packer();
  ~Packer();
  Packer(const Packer&) = delete;
  Packer& operator=(const Packer&) = delete;

  void add(std::string_view text);
  // Appends the packed text of every piece added; the packer is spent.
  void finish(std::string& out);

private:
  struct Stream;
  void deflateText(std::string_view text, bool last);

  std::unique_ptr<Stream> stream_;
  std::string packed_;
};

// `text` packed in one piece.
void appendPacked(std::string& out, std::string_view text);

}  // namespace rw

// Any bytes must parse to a tree or a clean error, in bounded time.
#include <cstddef>
#include <cstdint>

#include "xml/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rw::XMLDocument document;
  document.parse(reinterpret_cast<const char*>(data), size);
  return 0;
}

// CMSIS-SVD device files as input: the tree a memory map with the same
// registers would load into.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "memorymap/memory_map.h"

namespace rw {

// SVD files are read up to this size, the bound of memory map files too, and
// -svd writes no larger file, so that every SVD file regwright writes it
// reads back. The largest vendor files are tens of megabytes; a map of
// 200,000 registers with eight fields each and a description on every
// element gives 461 MB, read back in 2.4 GB. A file of this size holds about
// as many elements as kMaxSvdElements allows.
inline constexpr size_t kMaxSvdFileBytes = size_t{1} << 30;

// The most elements (groups, registers, bit fields, enumerated values and
// vectors) one SVD file may turn into, and the most it may look at or copy on
// the way, kept or not: a register of dim 0, a field of width 0 and a copy of
// a value set cost work too. The largest vendor files give a few hundred
// thousand once their arrays are spelled out; `dim` arrays nested in
// clusters multiply, and a file that multiplies past this would only exhaust
// time and memory.
inline constexpr size_t kMaxSvdElements = 4'000'000;

// The most bytes of text reading one SVD file may read or make for its
// elements: names, descriptions and the other texts each time an element is
// built, `%s` replacements, and the names the header puts in front of an
// element's own. A file may have this much, and kSvdTextBytesPerFileByte more
// for each byte it holds: a large file reads its texts once and makes most of
// them once more (derived peripherals read theirs again), while a name of
// many `%s` and a long `dimIndex` item would make gigabytes from kilobytes. A
// vendor-sized file of 4 MB takes under 8 MB.
inline constexpr size_t kMaxSvdTextBytes = size_t{256} << 20;
inline constexpr size_t kSvdTextBytesPerFileByte = 4;

// The most times reading one SVD file may look at an XML element or
// attribute: an element is read again for every element of each array
// around it and for every element derived from it, and its children are
// looked at again each time. A vendor-sized file of 4 MB takes under half a
// million; this allows 32 for each element the element bound allows (an
// element has a dozen or two children), and takes about a second.
inline constexpr size_t kMaxSvdNodeReads = 128'000'000;

// The bounds parseSvd keeps to; `elements` bounds both what is kept and
// what is looked at.
struct SvdLimits {
  size_t elements = kMaxSvdElements;
  size_t textBytes = kMaxSvdTextBytes;
  size_t textBytesPerFileByte = kSvdTextBytesPerFileByte;
  size_t nodeReads = kMaxSvdNodeReads;
  // Whether peripherals that would make the same registers again (derived
  // ones, arrays) take copies of the first one's. The tree, the warnings and
  // where a bound is passed are the same either way; false is for comparing.
  bool copyRepeats = true;
};

// Whether `path` names an SVD device file rather than a memory map: it ends
// in ".svd", in any case.
bool isSvdFile(const std::string& path);

// What the reader has to say about a file it reads all the same, and on
// which line (1 for the first).
struct SvdWarning {
  int line;
  std::string message;
};

// What parseSvd made of a text: a tree, or why not and on which line (1 for
// the first; 0 when no line is to blame); and the warnings found on the way.
struct SvdTree {
  std::unique_ptr<MemoryMapElement> root;
  std::string problem;
  int line = 0;
  std::vector<SvdWarning> warnings;
};

// The tree of a "Root" with one "RegisterGroup" per peripheral (one per
// element of a peripheral array) holding its registers, clusters spelled
// out, with their bit fields and enumerated values, then one "Vector" per
// interrupt. Elements are not placed yet (MemoryMap::adopt does that); each
// carries the line it came from. Throws std::bad_alloc when memory runs out.
SvdTree parseSvd(std::string_view text, const SvdLimits& limits = SvdLimits());
// The same with the element bound lowered to `maxElements`.
inline SvdTree parseSvd(std::string_view text, size_t maxElements) {
  return parseSvd(text, SvdLimits{.elements = maxElements});
}

// Reads the SVD device file at `path` into `map` (MemoryMap::adopt). On
// false, `message` names the file and the problem and `line` is the line.
// Warnings go to standard error as "FILE:LINE: warning: MESSAGE", as the
// memory-map loader's do.
bool readSvd(const std::string& path, MemoryMap& map, std::string& message, int& line);

}  // namespace rw

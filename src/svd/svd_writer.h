// The loaded map as a CMSIS-SVD 1.3 device file, for debuggers.
#pragma once

#include <cstddef>
#include <string>

#include "memorymap/memory_map_element.h"
#include "svd/svd_reader.h"

namespace rw {

// How large a device file may be written: no larger than regwright reads an
// SVD file, so that every file it writes it can read back.
struct SvdBounds {
  size_t bytes = kMaxSvdFileBytes;
  // The elements the file gives when read: the root, groups, vectors,
  // registers, bit fields and enumerated values.
  size_t elements = kMaxSvdElements;
};

struct SvdFile {
  std::string text;
  // Why there is no text (a bound would be passed); empty when there is.
  std::string problem;
};

// The device file for the map under `root`, its device named `deviceName`.
SvdFile writeSvd(const MemoryMapElement* root, const std::string& deviceName, SvdBounds bounds = {});

}  // namespace rw

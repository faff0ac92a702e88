// What the web page shows, worked out from the header model before a byte
// of the page is written: the registers the header defines, in memory
// segments and groups, with the stems of their definitions, and the ids
// that links to them use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// Stems below are without the -defprefixstring prefix and the suffixes: the
// page spells each definition through the header model's names.
struct PageField {
  const MemoryMapElement* element = nullptr;
  // Its definitions' stem (REG_FIELD): empty when the header leaves the
  // field out (-nobitfields, -excludebitfield*).
  std::string name;
  // The register alias's stem for the field; empty when there is none.
  std::string alias;
  // Unique in the page: the register's id, ".", the field's name.
  std::string id;
  // False when the header already defined the name and skips this field.
  bool defined = false;
  uint32_t mask = 0;
};

struct PageRegister {
  const MemoryMapElement* element = nullptr;
  std::string name;
  std::string alias;
  std::string id;
  // False when the header already defined the name and skips this one.
  bool defined = false;
  bool hasOffset = false;  // its parent has a start
  bool definesOffset = false;
  bool bitBand = false;
  uint32_t offset = 0;
  // Fields, in map order, at [firstField, firstField + fieldCount) of
  // PageModel::fields; fields of size 0 are not listed, as the header
  // ignores them.
  size_t firstField = 0;
  size_t fieldCount = 0;
};

// A container that holds registers, or a register group whose base the
// header defines: the unit the page's navigation opens and closes.
struct PageBlock {
  const MemoryMapElement* element = nullptr;
  // Its name, behind the name of its parent group when it is nested in one.
  std::string label;
  std::string id;
  // Whether the header defines its base (-regbaseoffs).
  bool definesBase = false;
  std::vector<size_t> registers;
};

// A memory segment and the blocks inside it; `element` is null for the
// blocks that lie in no segment.
struct PageSegment {
  const MemoryMapElement* element = nullptr;
  std::string label;
  std::string id;
  std::vector<size_t> blocks;
};

struct PageModel {
  // In the order they first appear in the map, as are the blocks of each
  // segment and the registers of each block.
  std::vector<PageSegment> segments;
  std::vector<PageBlock> blocks;
  std::vector<PageRegister> registers;
  std::vector<PageField> fields;
  std::vector<const MemoryMapElement*> vectors;
};

// A register's width in bits as its picture draws it: its size in bytes, or
// 32 bits, the header's "unsigned", for any size without a C type.
uint32_t pictureWidth(const MemoryMapElement& reg);

// The row of the register's picture that each of its fields is drawn in, in
// field order: fields that overlap an earlier one go to a row below. A field
// past the register's width gets kNotDrawn, and so does one that would need
// more than kMaxPictureRows rows: it is in the register's table only, so that
// a hostile map cannot make a picture grow with the square of its fields.
inline constexpr size_t kMaxPictureRows = 8;
inline constexpr uint8_t kNotDrawn = 0xFF;
std::vector<uint8_t> pictureRows(const PageModel& model, const PageRegister& reg);

// The page's own elements use ids that begin with this; no map name takes
// one of them.
inline constexpr std::string_view kPageIdPrefix = "rw-";

// What the header defines under `root`, as the page shows it.
PageModel buildPageModel(const MemoryMapElement* root, const HeaderOptions& options);

}  // namespace rw

// The page's content as data for its script, which builds markup only for
// what is on screen: one JSON object in which every text stands once, in a
// string table, and the records refer to it by number.
//
//   "s"  the strings; "s"[0] is "", which also stands for "none"
//   "n"  per definition kind, [prefix, suffix]: a definition's name is the
//        prefix, a stem and the suffix
//   "d"  definition patterns: a note to show instead of definitions (a
//        string), or [kind, stem, kind, stem, ...] where stem 0 is the
//        record's name stem and 1 its alias stem
//   "g"  segments [label, id, start, size, description, blocks]
//   "b"  blocks [label, id, registers] for registers outside any group, or
//        [label, id, registers, base, size, description, pattern, stem] with
//        pattern -1 when the header defines no base
//   "r"  registers [name, id (0: the name), address, offset, size (-1: not
//        given), access, reset value, description, alias, pattern, offset
//        pattern (-1: none shown), fields, picture width]
//   "f"  fields [name, id after the register's id and "." (0: the name),
//        start, size, mask, access, description, pattern, stem (-1: the
//        register's stem, "_" and the name), alias, picture row (-1: not
//        drawn), enumerated values]
//   "e"  enumerated values [value as written, name, description]
//   "v"  vectors [name, number]
//
// Numbers the page shows in hexadecimal (addresses, offsets, sizes of
// groups) are strings of their digits, "" when there is none; a string in a
// record is its number in "s". Segments hold blocks, blocks registers,
// registers fields and fields enumerated values in the order the page shows
// them, each list following on from the one before, so a record says only
// how many it holds.
#pragma once

#include <functional>
#include <string_view>

#include "header/header_options.h"
#include "html/html_model.h"

namespace rw {

// Hands the data to `write` in pieces, which together are the JSON text: a
// large map's data is tens of megabytes, and whoever packs it need not hold
// all of it.
void writePageData(const PageModel& model, const HeaderOptions& options,
                   const std::function<void(std::string_view)>& write);

}  // namespace rw

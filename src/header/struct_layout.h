// The register layouts of a loaded map as C structs: which peripherals share
// a struct type, what each type holds at which offset, and the warnings for
// what a C struct cannot hold. The struct-style header is written from this,
// and so is the structure of the -svd output.
//
// An SVD input leaves its structure on the loaded tree as attributes (see
// README, "Structure kept from an SVD file"): the peripheral a layout comes
// from, dim arrays, clusters, alternates, the CPU. A memory map may carry the
// same attributes; without them each register group is a layout of its own
// registers, and groups whose layouts are identical share a type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memorymap/memory_map_element.h"

namespace rw {

enum class MemberAccess { ReadOnly, WriteOnly, ReadWrite };

// A map's or SVD file's access word, as a struct member's qualifier takes
// it: read-only and write-only (writeOnce included) in their usual
// spellings, anything else read-write.
MemberAccess memberAccess(std::string_view access);

// A bit field of a register of a struct type.
struct StructField {
  const MemoryMapElement* element;
  // Its name as a C identifier.
  std::string name;
  uint32_t start;
  uint32_t size;
};

// A register, or a "[%s]" array of registers, as one member.
struct StructRegister {
  // The register, or every element of the array in order.
  std::vector<const MemoryMapElement*> elements;
  // Its name in the struct: a C identifier, an array's without "[%s]".
  std::string name;
  uint64_t offset;
  // 1, 2, 4 or 8.
  uint32_t bytes;
  // Elements of an array; 1 for a register.
  uint32_t count = 1;
  MemberAccess access = MemberAccess::ReadWrite;
  std::vector<StructField> fields;
};

// A cluster as a member: its type (an index into StructLayouts::types), its
// name and its elements (1 unless it is an array).
struct StructCluster {
  size_t type;
  std::string name;
  uint32_t count = 1;
};

// What sits at one offset of a struct: one register, several registers of
// one offset and width as an anonymous union, a cluster, or several clusters
// of one offset and size (alternate views of one block) as a union.
struct StructMember {
  uint64_t offset = 0;
  uint64_t size = 0;
  // Indices into StructType::registers.
  std::vector<size_t> registers;
  std::vector<StructCluster> clusters;
};

struct StructType {
  // The C type name, "_Type" included; the macros' prefix is the rest.
  std::string name;
  std::vector<StructRegister> registers;
  // In address order, without gaps' reserved members (the writer makes
  // those from the offsets).
  std::vector<StructMember> members;
  // Its size: its last member's end, or a cluster array's increment.
  uint64_t size = 0;
  // The members' widest type, which C aligns the struct to.
  uint64_t alignment = 1;
  // For a cluster type: the prefix of its registers in field macros
  // ("CH_" for a cluster CH), empty for a peripheral's type.
  std::string memberPrefix;
};

// A peripheral: a register group (or the element that holds registers
// outside any group), its base and its type.
struct StructInstance {
  const MemoryMapElement* holder;
  std::string name;
  uint64_t base;
  size_t type;
};

struct StructVector {
  const MemoryMapElement* element;
  std::string name;
  int64_t number;
};

// The Cortex-M core the input names, with what its SVD <cpu> says.
struct StructCpu {
  // "CM0", "CM0PLUS", "CM3", ... as the core header and macros name it.
  std::string core;
  std::optional<uint32_t> revision;
  std::optional<std::string> mpuPresent;
  std::optional<std::string> fpuPresent;
  std::optional<std::string> nvicPrioBits;
  std::optional<std::string> vendorSysTickConfig;
};

struct StructLayouts {
  // Cluster types come before the types that hold them.
  std::vector<StructType> types;
  std::vector<StructInstance> instances;
  std::vector<StructVector> vectors;
  std::optional<StructCpu> cpu;
  // What the struct header leaves out, and where.
  struct Warning {
    const MemoryMapElement* at;
    std::string message;
  };
  std::vector<Warning> warnings;
};

// The first register `type` holds, also when all of them lie in its
// clusters: where the map says what the type is made of. Every type has one.
const MemoryMapElement& firstElementOf(const StructLayouts& layouts, size_t type);

// The structure an SVD file gave an element, as the loaded map records it
// (see README, "Structure kept from an SVD file").

// One level of clusters a register lies in.
struct ClusterLevel {
  std::string name;  // as written, "CH[%s]"
  uint64_t offset = 0;
  uint64_t index = 0;
  uint64_t count = 1;
  uint64_t increment = 0;
  std::string dimIndex;   // as written, empty when none
  std::string alternate;  // the cluster this one is an alternate of
};
// The clusters `reg` lies in, outermost first: empty for none, nothing when
// its attributes do not describe clusters it could lie in.
std::optional<std::vector<ClusterLevel>> clusterLevels(const MemoryMapElement& reg);

// Where an element of a dim array (a peripheral, register) lies in it.
struct ArrayPosition {
  std::string array;  // its name as written, "CCR[%s]"
  uint64_t index = 0;
  uint64_t count = 1;
  uint64_t increment = 0;
  std::string dimIndex;  // as written, empty when none
};
// Nothing for an element of no array, or one whose attributes do not make
// it an element of one.
std::optional<ArrayPosition> arrayPosition(const MemoryMapElement& element);

// Where an element was written, "FILE:LINE".
using ElementLocation = std::function<std::string(const MemoryMapElement& element)>;

StructLayouts buildStructLayouts(const MemoryMapElement* root, const ElementLocation& locate);

// `text` as a C identifier: characters C does not take become "_", and a
// leading digit gets "_" in front; empty for empty text.
std::string structIdentifier(std::string_view text);

}  // namespace rw

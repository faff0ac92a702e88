// The definitions written on the second thread while a map is read or
// walked are those of the loaded tree, or are given up.
//
// Memory running out anywhere in a load that the second thread follows must
// end the load with std::bad_alloc after the writer thread stopped, never
// with the writer reading elements the unwinding freed. Allocations are made
// to fail one at a time at points spread over the whole load; under the
// address sanitizer a read of freed memory fails the test.
#include "header/definitions_while_reading.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "macros/macro_expansion.h"
#include "map_places.h"
#include "memorymap/memory_map.h"
#include "temp_folder.h"

namespace {

// -1: every allocation succeeds. Otherwise the allocation that finds 0 fails,
// and the count goes on below 0, so that exactly one fails.
std::atomic<long> gAllocationsBeforeFailure{-1};
std::atomic<long> gAllocations{0};

}  // namespace

void* operator new(size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (gAllocationsBeforeFailure.load(std::memory_order_relaxed) >= 0 &&
      gAllocationsBeforeFailure.fetch_sub(1, std::memory_order_relaxed) == 0) {
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
// These replace the global pair together, so the malloc behind the new is
// the free behind the delete.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace rw {
namespace {

// Enough registers that the reader hands several batches to the writer
// thread while it reads.
std::string plainMap() {
  std::string map = "<Root name=\"R\">\n";
  for (int g = 0; g < 4; ++g) {
    map += "<RegisterGroup name=\"G" + std::to_string(g) + "\" start=\"0x" + std::to_string(g + 1) + "0000\">\n";
    for (int r = 0; r < 4000; ++r) {
      map += "<Register name=\"R" + std::to_string(g) + "_" + std::to_string(r) + "\" start=\"0x" +
             std::to_string(g + 1) + std::to_string(10000 + 4 * r) + "\" size=\"4\"><BitField name=\"A\" start=\"0\" "
             "size=\"1\"/><BitField name=\"B\" start=\"1\" size=\"3\"/></Register>\n";
    }
    map += "</RegisterGroup>\n";
  }
  return map + "</Root>\n";
}

// Groups made by a loop, the walk's tree placed on the writer thread once
// the first eight are done; `extra` goes in after the tenth.
std::string walkedMap(const std::string& extra = "") {
  const std::string loop = R"map(<for index="g" start="$(FIRST)" end="$(END)" incr="1" mul="0x1000" add="0x40000000">
<RegisterGroup name="G$(g)" start="$(g_ap_hex)"><for index="r" start="0" end="30" incr="1" mul="4">
<Register name="G$(g)_R$(r)" start="+$(r_ap_hex)" size="4"><BitField name="A" start="0" size="1"/>
<BitField name="B" start="1" size="$(r:3)"/></Register></for></RegisterGroup></for>
)map";
  auto withRange = [&](const char* first, const char* end) {
    std::string text = loop;
    text.replace(text.find("$(FIRST)"), 8, first);
    text.replace(text.find("$(END)"), 6, end);
    return text;
  };
  return "<Root name=\"R\">\n" + withRange("0", "10") + extra + withRange("10", "14") + "</Root>\n";
}

// The walk's follower a run would have: the definitions written on the
// second thread.
class WalkFollowers {
public:
  explicit WalkFollowers(MemoryMap& map) {
    map.followWalk([this](size_t expectedBytes) -> ReadingFollower* {
      walk_ = std::make_unique<DefinitionsWhileReading>(text_, options_, drain_, expectedBytes, nullptr);
      if (!walk_->start()) walk_.reset();
      return walk_.get();
    });
  }
  bool started() const { return walk_ != nullptr; }
  // Whether the walk was followed to its end, with memory to spare.
  bool complete() const { return walk_ != nullptr && walk_->followedToTheEnd() && !walk_->ranOutOfMemory(); }
  const std::string& text() const { return text_; }

private:
  const HeaderOptions options_;
  const DefinitionDrain drain_;
  std::string text_;
  std::unique_ptr<DefinitionsWhileReading> walk_;
};

// One load followed on the second thread, read or walked; true when it
// completed. A tree loaded but not followed to the end lies at `places`.
bool followedLoad(const MacroTable& system, const std::string& path, const std::string& places) {
  const HeaderOptions options;
  std::string text;
  const DefinitionDrain drain;
  MemoryMap map(system, [](const std::string&) {});
  DefinitionsWhileReading whileReading(text, options, drain, 0, nullptr);
  if (!whileReading.start()) return false;
  map.followReading(&whileReading);
  const WalkFollowers walk(map);
  const bool loaded = map.load(path, MacroTable());
  map.followReading(nullptr);
  map.followWalk(nullptr);
  if (!loaded) return false;
  const bool followed =
      walk.started() ? walk.complete() : whileReading.followedToTheEnd() && !whileReading.ranOutOfMemory();
  if (followed && map.keptAsRead()) return true;
  // Not followed to the end: placed again after the load, wherever the
  // placing as it was followed stopped.
  EXPECT_EQ(testing::placesOf(map.rootElement()), places);
  return false;
}

// The walk's tree is placed on the writer thread. A start there that only
// the evaluator reads makes that placer give up: the definitions are then
// dropped and the tree is placed again after the load.
TEST(DefinitionsWhileReading, WalkedTreesPlacedOnTheWriterThreadAsAfterTheLoad) {
  const struct {
    const char* name;
    std::string map;
    bool followed;
  } cases[] = {
      {"loops only", walkedMap(), true},
      {"a start the evaluator reads, after the first eight groups",
       walkedMap(R"(<RegisterGroup name="X" start="0x50000000 + 0x10"><Register name="Y" start="+4"/></RegisterGroup>)"),
       false},
      {"a size the evaluator reads", walkedMap(R"(<RegisterGroup name="X" start="0x5" size="2*2"/>)"), false},
  };
  const MacroTable system = systemMacros();
  const testing::TempFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.write("map.xml", c.map);
    MemoryMap alone(system, [](const std::string&) {});
    ASSERT_TRUE(alone.load(path, MacroTable()));
    std::string expected;
    generateDefinitions(expected, alone.rootElement(), HeaderOptions(), {}, alone.elementCounts());

    MemoryMap map(system, [](const std::string&) {});
    const WalkFollowers walk(map);
    ASSERT_TRUE(map.load(path, MacroTable()));
    map.followWalk(nullptr);
    // Both: the follower says it stopped, and the map that it placed again.
    EXPECT_EQ(walk.complete(), c.followed);
    EXPECT_EQ(map.keptAsRead(), c.followed);
    EXPECT_EQ(testing::placesOf(map.rootElement()), testing::placesOf(alone.rootElement()));
    if (c.followed) {
      EXPECT_EQ(walk.text(), expected);
    }
  }
}

TEST(DefinitionsWhileReading, MemoryRunningOutAnywhereStopsTheWriterFirst) {
  const MacroTable system = systemMacros();
  const testing::TempFolder folder;
  folder.write("part.xml", R"(<Root><RegisterGroup name="INC" start="0x60000000"><Register name="IR" start="+4" size="4"/>
</RegisterGroup></Root>)");
  const std::string directives = walkedMap(R"map(<define name="N" expression="2 + 1"/>
<xmldef name="block"><Register name="T$(k)" start="+$(k_ap_hex)" size="4"><BitField name="B" start="1" size="2"/></Register></xmldef>
<RegisterGroup name="TPL" start="0x70000000"><for index="k" start="0" end="$(N)" incr="1" mul="4"><xmlput name="block"/></for></RegisterGroup>
<foreach index="c" list="A,B"><ifdef name="N"><RegisterGroup name="FE$(c)" start="0x7100000$(N)"/></ifdef></foreach>
<include filename="part.xml"/><![CDATA[text]]>)map");
  // The last, with a template, an include and a CDATA section, is placed
  // again after its load: the walk leaves the template's "$(k_ap_hex)" as it
  // is (a loop fills in only what it copies itself).
  const struct {
    std::string text;
    bool followed;
  } maps[] = {{plainMap(), true}, {walkedMap(), true}, {directives, false}};
  for (const auto& [text, followed] : maps) {
    const std::string path = folder.write("map.xml", text);
    MemoryMap alone(system, [](const std::string&) {});
    ASSERT_TRUE(alone.load(path, MacroTable()));
    const std::string places = testing::placesOf(alone.rootElement());
    gAllocations = 0;
    ASSERT_EQ(followedLoad(system, path, places), followed);
    const long total = gAllocations.load();
    // Nodes come from the heap under the address sanitizer only: elsewhere
    // far fewer allocations are made.
    ASSERT_GT(total, 20);
    int points = 0;
    int failed = 0;
    for (long at = 0; at < total; at += 1 + at / 8) {
      ++points;
      gAllocationsBeforeFailure = at;
      try {
        if (!followedLoad(system, path, places)) ++failed;
      } catch (const std::bad_alloc&) {
        ++failed;
      }
      gAllocationsBeforeFailure = -1;
    }
    // Most points must have failed the load: otherwise the sweep missed it.
    EXPECT_GT(2 * failed, points);
  }
}

}  // namespace
}  // namespace rw

// Texts built to make macro expansion run away: nesting far past the pass
// bound, values that double on every pass, floods of unclosed references.
// Each ends fast, and a bound that cuts the expansion short says so.
#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "text_builders.h"

#include "environment/macros.h"

namespace rw {
namespace {

using testing::join;
using testing::repeat;

TEST(ExpandMacrosHostileTest, EndsQuicklyAndReportsTheBoundItMeets) {
  struct Case {
    const char* name;
    std::string text;
    MacroMap caller;
    // Empty when expansion ends on its own.
    std::string warning;
  };
  const size_t deep = 100000;
  const std::vector<Case> cases = {
      {"unclosed references", repeat("$(", deep), {}, ""},
      {"closed references around an unknown name", join({repeat("$(", deep), "X", repeat(")", deep)}), {}, ""},
      // Each pass peels one default: the text would need 100,000 passes.
      {"defaults nested 100,000 deep",
       join({repeat("$(U:", deep), "x", repeat(")", deep)}),
       {},
       "warning: macro expansion stopped after 32 passes; the text still holds references\n"},
      // $(A) doubles on every pass and the default keeps asking for another.
      {"a value that doubles every pass",
       "$(A)$(W:$(Z))",
       {{"A", "$(A)$(A)$(W:$(Z))"}},
       "warning: macro expansion stopped when the text passed 1048576 bytes\n"},
      // Found by fuzzing: the same doubling among unclosed and nested references.
      {"doubling among nested references",
       std::string("$(N)=x;A==;\n$($($(\0\0\0\0\0\0A)))$(A:$(B $(S)tu)dio", 46),
       {{"N", "$(N)$(N)"}},
       "warning: macro expansion stopped when the text passed 1048576 bytes\n"},
  };
  const PropertyClassList table;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto started = std::chrono::steady_clock::now();
    ::testing::internal::CaptureStderr();
    const std::string out = expandMacros(table, c.caller, c.text, false, false);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.warning);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_LT(out.size(), size_t{16} << 20);
  }
}

}  // namespace
}  // namespace rw

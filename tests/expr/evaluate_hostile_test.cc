// Expressions past the evaluator's bounds: each evaluation fails quickly, and
// the bound it met is named on standard error, since nothing else tells the
// user why an address came out as 0.
#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "text_builders.h"

#include "expr/evaluate.h"

namespace rw {
namespace {

using testing::join;
using testing::repeat;

TEST(EvaluateHostileTest, BoundsFailTheEvaluationAndSaySo) {
  struct Case {
    const char* name;
    std::string text;
    // Empty: an ordinary failure or success, which stays silent.
    std::string warning;
  };
  const std::string tooDeep = "warning: expression nested too deeply; not evaluated: ";
  const std::vector<Case> cases = {
      {"parentheses 100,000 deep", join({repeat("(", 100000), "1", repeat(")", 100000)}), join({tooDeep, "((((((((((((((((...\n"})},
      {"a chain of 100,000 operators", join({"1", repeat("+1", 100000)}), join({tooDeep, "1+1+1+1+1+1+1+1+...\n"})},
      {"negations 100,000 deep", join({repeat("-", 100000), "1"}), join({tooDeep, "----------------...\n"})},
      {"unbalanced parentheses", repeat("(", 100000), join({tooDeep, "((((((((((((((((...\n"})},
      {"an ordinary failure", "5 / 0", ""},
      {"a literal far past 64 bits", repeat("9", 100000), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto started = std::chrono::steady_clock::now();
    ::testing::internal::CaptureStderr();
    const UnsignedResult result = evaluateUnsigned(c.text);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.warning);
    if (!c.warning.empty()) {
      EXPECT_FALSE(result.ok);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  }
}

}  // namespace
}  // namespace rw

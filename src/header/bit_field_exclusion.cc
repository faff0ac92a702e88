#include "header/bit_field_exclusion.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdio>

namespace rw {

namespace {

// A pattern such as (a|a)*\d takes time exponential in the name it is tried
// on. Bit-field names are short and real patterns decide them in a few dozen
// steps; these bounds keep a thousand undecidable names within a second.
constexpr uint32_t kMatchLimit = 100000;
constexpr uint32_t kDepthLimit = 1000;

bool gLimitReported = false;

}  // namespace

BitFieldExclusion::BitFieldExclusion(const std::string& pattern) {
  if (pattern.empty()) {
    return;
  }
  // Names are matched by character, as the user reads them, but a name with
  // bytes that are not UTF-8 must still be testable rather than an error:
  // such bytes simply never match a pattern character.
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                        PCRE2_ANCHORED | PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &errorCode, &errorOffset, nullptr);
  if (code_ == nullptr) {
    return;
  }
  // JIT is an optimisation only; without it matching still works.
  pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
  matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
  context_ = pcre2_match_context_create(nullptr);
  if (context_ != nullptr) {
    pcre2_set_match_limit(context_, kMatchLimit);
    pcre2_set_depth_limit(context_, kDepthLimit);
  }
  if (matchData_ == nullptr || context_ == nullptr) {
    pcre2_code_free(code_);
    code_ = nullptr;
  }
}

BitFieldExclusion::~BitFieldExclusion() {
  pcre2_match_context_free(context_);
  pcre2_match_data_free(matchData_);
  pcre2_code_free(code_);
}

bool BitFieldExclusion::excludes(std::string_view name) const {
  if (code_ == nullptr) {
    return false;
  }
  const char* subject = name.empty() ? "" : name.data();
  const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject), name.size(), 0, 0, matchData_, context_);
  if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT ||
      rc == PCRE2_ERROR_HEAPLIMIT) {
    if (!gLimitReported) {
      gLimitReported = true;
      std::fprintf(stderr, "warning: -excludebitfield gave up on %.*s and names like it: the expression needs too "
                   "many steps; such bit fields are kept\n", static_cast<int>(name.size()), subject);
    }
    return false;
  }
  return rc >= 0;
}

}  // namespace rw

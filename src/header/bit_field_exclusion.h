// The -excludebitfield test: does a match of the expression begin at the first
// character of a bit field's name?
#pragma once

#include <string>
#include <string_view>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;
struct pcre2_real_match_context_8;

namespace rw {

class BitFieldExclusion {
public:
  // An empty pattern excludes nothing; so does one that does not compile,
  // which includes a pattern that is not valid UTF-8.
  explicit BitFieldExclusion(const std::string& pattern);
  ~BitFieldExclusion();
  BitFieldExclusion(const BitFieldExclusion&) = delete;
  BitFieldExclusion& operator=(const BitFieldExclusion&) = delete;

  // A name the expression cannot decide within its bounds is not excluded;
  // the first such name of the run is reported on standard error, once
  // however many writers (the header, the web page) ask.
  bool excludes(std::string_view name) const;
  // False when nothing is ever excluded (and nothing reported).
  bool active() const { return code_ != nullptr; }

private:
  pcre2_real_code_8* code_ = nullptr;
  pcre2_real_match_data_8* matchData_ = nullptr;
  pcre2_real_match_context_8* context_ = nullptr;
};

}  // namespace rw

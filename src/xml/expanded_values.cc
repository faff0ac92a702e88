#include "xml/expanded_values.h"

#include <string_view>

namespace rw {

std::span<const ValueChange> ExpandedValues::expand(const XMLElement& element, const MacroTable& table,
                                                    uint64_t& grown) {
  changes_.clear();
  values_.clear();
  ends_.clear();
  size_t index = 0;
  for (const XMLAttribute& attribute : element.attributes()) {
    const std::string_view value = attribute.value;
    if (value.find('$') != std::string_view::npos) {
      expander_.expand(value, table, scratch_);
      if (scratch_ != value) {
        if (scratch_.size() > value.size()) grown += scratch_.size() - value.size();
        changes_.push_back({index, {}});
        values_ += scratch_;
        ends_.push_back(values_.size());
      }
    }
    ++index;
  }
  // The views are taken once values_ stopped growing.
  size_t begin = 0;
  for (size_t i = 0; i < changes_.size(); ++i) {
    changes_[i].value = std::string_view(values_).substr(begin, ends_[i] - begin);
    begin = ends_[i];
  }
  return changes_;
}

}  // namespace rw

// Where the $(NAME) references of a text end.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace rw {

// For every '(' that follows a '$', the index of the ')' that brings its
// depth back to 0 (npos when none does), ordered by the position of the '('.
// Looking the end up here keeps a pass of the expansion linear even when
// thousands of unclosed "$(" would each scan to the end of the text.
class ReferenceEnds {
public:
  // Takes the text whose references are asked for next; the buffers are kept
  // from one text to the next.
  void use(std::string_view text) {
    text_ = text;
    scanned_ = false;
  }

  // The closing index for the '(' at `openParen` of the text in use;
  // calls come in increasing order of `openParen`. Nearly every reference is
  // a plain name: the first parenthesis after its '(' is then its ')', and
  // the text is walked for the depths only when a reference holds another.
  size_t closeOf(size_t openParen) {
    if (!scanned_) {
      for (size_t i = openParen + 1; i < text_.size(); ++i) {
        if (text_[i] == ')') return i;
        if (text_[i] == '(') break;
      }
      scanAll();
    }
    while (next_ < references_.size() && references_[next_].open < openParen) ++next_;
    if (next_ < references_.size() && references_[next_].open == openParen) return references_[next_].close;
    return std::string_view::npos;
  }

private:
  void scanAll() {
    scanned_ = true;
    references_.clear();
    open_.clear();
    next_ = 0;
    for (size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] == '(') {
        if (i > 0 && text_[i - 1] == '$') {
          open_.push_back(references_.size());
          references_.push_back({i, std::string_view::npos});
        } else {
          open_.push_back(kPlainParenthesis);
        }
      } else if (text_[i] == ')' && !open_.empty()) {
        if (open_.back() != kPlainParenthesis) references_[open_.back()].close = i;
        open_.pop_back();
      }
    }
  }

  static constexpr size_t kPlainParenthesis = static_cast<size_t>(-1);
  struct Reference {
    size_t open;
    size_t close;
  };
  std::string_view text_;
  bool scanned_ = false;
  std::vector<Reference> references_;
  // Open parentheses: an index into references_, or kPlainParenthesis.
  std::vector<size_t> open_;
  size_t next_ = 0;
};

}  // namespace rw

#include "svd/svd_values.h"

#include <algorithm>

#include "expr/integer_literal.h"
#include "expr/whole_number.h"

namespace rw {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<uint64_t> parseSvdNumber(std::string_view text) { return svdNumber(text); }

DimIndex::DimIndex(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return;
  const size_t dash = text.find('-');
  if (text.find(',') == std::string_view::npos && dash != std::string_view::npos) {
    const std::string_view first = trimmed(text.substr(0, dash));
    const std::string_view last = trimmed(text.substr(dash + 1));
    if (first.size() == 1 && last.size() == 1 && isAsciiLetter(first[0]) && isAsciiLetter(last[0])) {
      form_ = Form::LetterRange;
      first_ = static_cast<unsigned char>(first[0]);
      last_ = static_cast<unsigned char>(last[0]);
    } else if (const std::optional<uint64_t> from = parseSvdNumber(first), to = parseSvdNumber(last); from && to) {
      form_ = Form::NumberRange;
      first_ = *from;
      last_ = *to;
    }
    return;
  }
  form_ = Form::List;
  for (size_t begin = 0; begin <= text.size();) {
    const size_t comma = std::min(text.find(',', begin), text.size());
    items_.push_back(trimmed(text.substr(begin, comma - begin)));
    begin = comma + 1;
  }
}

std::string DimIndex::name(uint64_t k) const {
  switch (form_) {
    case Form::List:
      if (k < items_.size()) return std::string(items_[k]);
      break;
    case Form::NumberRange:
      if (first_ <= last_ && k <= last_ - first_) return std::to_string(first_ + k);
      break;
    case Form::LetterRange:
      if (first_ <= last_ && k <= last_ - first_) return std::string(1, static_cast<char>(first_ + k));
      break;
    case Form::Numbers:
      break;
  }
  return std::to_string(k);
}

std::optional<uint64_t> DimIndex::size() const {
  switch (form_) {
    case Form::List: return items_.size();
    case Form::NumberRange:
    case Form::LetterRange:
      if (first_ > last_) return 0;
      // 0-18446744073709551615 names one more than 64 bits count.
      return last_ - first_ == UINT64_MAX ? UINT64_MAX : last_ - first_ + 1;
    case Form::Numbers: break;
  }
  return std::nullopt;
}

namespace {

// Calls `text` for each run of `name` between the index markers and `marker`
// for each "[%s]" or "%s" in between, in order; a bracketed marker is one
// marker.
template <typename Text, typename Marker>
void forEachPiece(std::string_view name, Text text, Marker marker) {
  size_t done = 0;
  for (size_t at = name.find("%s"); at != std::string_view::npos; at = name.find("%s", done)) {
    const bool bracketed = at > done && name[at - 1] == '[' && at + 2 < name.size() && name[at + 2] == ']';
    text(name.substr(done, at - done - (bracketed ? 1 : 0)));
    marker();
    done = at + (bracketed ? 3 : 2);
  }
  text(name.substr(done));
}

}  // namespace

std::string substituteIndex(std::string_view name, std::string_view index) {
  std::string out;
  out.reserve(name.size() + index.size());
  forEachPiece(name, [&out](std::string_view text) { out += text; }, [&out, index] { out += index; });
  return out;
}

size_t substitutedSize(std::string_view name, std::string_view index) {
  size_t size = 0;
  forEachPiece(name, [&size](std::string_view text) { size += text.size(); }, [&size, index] { size += index.size(); });
  return size;
}

std::string cIdentifier(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') c = '_';
  }
  return out;
}

std::string collapseWhitespace(std::string_view text) {
  // One pass, byte by byte into text sized once: descriptions are most of an
  // SVD file's text, and most of them run over several lines.
  std::string out(text.size(), '\0');
  char* const begin = out.data();
  char* to = begin;
  bool space = false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) <= ' ') {
      space = true;
      continue;
    }
    if (space && to != begin) *to++ = ' ';
    space = false;
    *to++ = c;
  }
  out.resize(static_cast<size_t>(to - begin));
  return out;
}

}  // namespace rw

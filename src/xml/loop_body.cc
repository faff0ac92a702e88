#include "xml/loop_body.h"

#include <algorithm>
#include <cstring>

#include "macros/macro_expansion.h"

namespace rw {

namespace {

constexpr char kSigil = '$';

// The expander stops a value that grows by more than a megabyte within a
// pass; a value filled in to no more than this never reaches that bound.
constexpr size_t kLongestFilled = size_t{1} << 20;

}  // namespace

void LoopBody::read(const XMLElement& loop, std::span<const std::string> names) {
  names_ = names;
  elements_.clear();
  values_.clear();
  pieces_.clear();
  uses_.clear();
  literals_.clear();
  bool allFilled = true;
  auto readElement = [&](const XMLElement& source) {
    Element element{};
    element.filled = true;
    element.firstValue = values_.size();
    element.firstUse = uses_.size();
    const size_t firstPiece = pieces_.size();
    const size_t literalsSize = literals_.size();
    uses_.resize(uses_.size() + names_.size(), 0);
    size_t index = 0;
    for (const XMLAttribute& attribute : source.attributes()) {
      const std::string_view value = attribute.value;
      if (value.find(kSigil) != std::string_view::npos && !readValue(value, index, element)) {
        element.filled = false;
        break;
      }
      ++index;
    }
    if (!element.filled) {
      // The expander reads this element: what was read of it goes.
      values_.resize(element.firstValue);
      pieces_.resize(firstPiece);
      literals_.resize(literalsSize);
      uses_.resize(element.firstUse);
    }
    element.endValue = values_.size();
    allFilled = allFilled && element.filled;
    elements_.push_back(element);
  };
  for (const XMLNode* child = loop.firstChild; child != nullptr; child = child->nextSibling) {
    const XMLElement* top = asElement(child);
    if (top == nullptr) continue;
    readElement(*top);
    pending_.assign(1, top->firstChild);
    while (!pending_.empty()) {
      const XMLNode* node = pending_.back();
      if (node == nullptr) {
        pending_.pop_back();
        continue;
      }
      pending_.back() = node->nextSibling;
      const XMLElement* element = asElement(node);
      if (element == nullptr) continue;
      readElement(*element);
      if (element->firstChild != nullptr) pending_.push_back(element->firstChild);
    }
  }
  needed_.assign(names_.size(), allFilled ? 0 : 1);
  for (size_t use = 0; use < uses_.size(); ++use) {
    if (uses_[use] != 0) needed_[use % names_.size()] = 1;
  }
}

void LoopBody::addLiteral(std::string_view text, size_t firstPiece) {
  if (text.empty()) return;
  // Runs of one value that meet ("$$" read as "$" between two texts) are one
  // piece.
  if (pieces_.size() > firstPiece && pieces_.back().slot == Piece::kLiteral &&
      pieces_.back().begin + pieces_.back().size == literals_.size()) {
    pieces_.back().size += text.size();
  } else {
    pieces_.push_back({Piece::kLiteral, literals_.size(), text.size()});
  }
  literals_ += text;
}

// One pass of the expander over `text`, taken apart instead of written out.
// A value whose references name no loop macro and that reads back as its own
// text is not kept: the expander would leave it as it is.
bool LoopBody::readValue(std::string_view text, size_t index, Element& element) {
  if (text.size() > kLongestFilled / 16) return false;
  Value value{index, text.size(), pieces_.size(), 0};
  const size_t literalsSize = literals_.size();
  size_t references = 0;
  size_t fixedBytes = 0;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (text[i] != kSigil) {
      const size_t nextSigil = std::min(text.find(kSigil, i), n);
      addLiteral(text.substr(i, nextSigil - i), value.firstPiece);
      i = nextSigil;
      continue;
    }
    if (i + 1 == n) {
      addLiteral("$", value.firstPiece);
      break;
    }
    if (text[i + 1] == kSigil) {
      addLiteral("$", value.firstPiece);
      i += 2;
      continue;
    }
    if (text[i + 1] != '(') {
      addLiteral("$", value.firstPiece);
      ++i;
      continue;
    }
    const size_t begin = i + 2;
    const size_t close = text.find_first_of("()$", begin);
    if (close == std::string_view::npos || text[close] != ')') return false;
    const std::string_view reference = text.substr(begin, close - begin);
    std::string_view name = reference;
    std::string_view fallback = text.substr(i, close + 1 - i);
    const size_t colon = reference.find(':');
    if (colon != std::string_view::npos) {
      name = reference.substr(0, colon);
      const bool literalDefault = colon + 1 < reference.size() && reference[colon + 1] == ':';
      fallback = reference.substr(literalDefault ? colon + 2 : colon + 1);
    }
    const auto slot = std::find(names_.begin(), names_.end(), name);
    if (slot == names_.end()) {
      addLiteral(fallback, value.firstPiece);
      fixedBytes += fallback.size();
    } else {
      if (isDateOrTimeName(name)) return false;
      const auto k = static_cast<size_t>(slot - names_.begin());
      pieces_.push_back({k, 0, 0});
      ++uses_[element.firstUse + k];
      ++references;
    }
    i = close + 1;
  }
  element.fixedBytes += fixedBytes;
  if (references == 0 && std::string_view(literals_).substr(literalsSize) == text) {
    pieces_.resize(value.firstPiece);
    literals_.resize(literalsSize);
    return true;
  }
  value.endPiece = pieces_.size();
  values_.push_back(value);
  element.sourceBytes += n;
  element.references += references;
  return true;
}

void LoopBody::startRound(std::span<const std::string> values) {
  roundValues_ = values;
  tableMade_ = false;
  next_ = 0;
  longestRoundValue_ = 0;
  for (const std::string& value : values) longestRoundValue_ = std::max(longestRoundValue_, value.size());
}

std::span<const ValueChange> LoopBody::expandedByExpander(const XMLElement& source, uint64_t& grown) {
  if (!tableMade_) {
    table_ = MacroTable();
    for (size_t k = 0; k < names_.size(); ++k) table_.set(names_[k], roundValues_[k]);
    tableMade_ = true;
  }
  return expanded_.expand(source, table_, grown);
}

std::span<const ValueChange> LoopBody::changes(const XMLElement& source, uint64_t& grown) {
  const Element& element = elements_[next_++];
  if (!element.filled) return expandedByExpander(source, grown);
  const size_t longest = element.sourceBytes + element.references * longestRoundValue_;
  if (longest > kLongestFilled) return expandedByExpander(source, grown);
  size_t written = element.fixedBytes;
  for (size_t k = 0; k < names_.size(); ++k) written += uses_[element.firstUse + k] * roundValues_[k].size();
  if (!chargeExpandedText(written)) return expandedByExpander(source, grown);

  changes_.clear();
  if (filled_.size() < longest) filled_.resize(std::max(longest, 2 * filled_.size()));
  char* const start = filled_.data();
  char* out = start;
  for (size_t v = element.firstValue; v < element.endValue; ++v) {
    const Value& value = values_[v];
    char* const begin = out;
    for (size_t p = value.firstPiece; p < value.endPiece; ++p) {
      const Piece& piece = pieces_[p];
      const std::string_view text = piece.slot == Piece::kLiteral
                                        ? std::string_view(literals_).substr(piece.begin, piece.size)
                                        : std::string_view(roundValues_[piece.slot]);
      if (!text.empty()) std::memcpy(out, text.data(), text.size());
      out += text.size();
    }
    const auto size = static_cast<size_t>(out - begin);
    if (size > value.sourceSize) grown += size - value.sourceSize;
    changes_.push_back({value.index, std::string_view(begin, size)});
  }
  return changes_;
}

}  // namespace rw

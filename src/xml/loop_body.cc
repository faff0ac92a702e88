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

// A reference closed before any '$' or '(' (one the expander reads in one
// pass, whatever comes before it): its name, and what stands for it when the
// name is unknown (the reference itself, or its default).
struct PlainReference {
  std::string_view name;
  std::string_view fallback;
};

// One pass of the expander over `text`, told instead of written:
// `literal(from, to)` for each part of `text` it writes as it stands ("$$"
// and a lone '$' write the first '$'), `reference(found, end)` for each
// plain reference, which ends before `end`. False as soon as a reference is
// not plain or `reference` says false.
template <typename Literal, typename Reference>
bool readOnePass(std::string_view text, Literal literal, Reference reference) {
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (text[i] != kSigil) {
      const size_t nextSigil = std::min(text.find(kSigil, i), n);
      literal(i, nextSigil);
      i = nextSigil;
      continue;
    }
    if (i + 1 == n || text[i + 1] != '(') {
      literal(i, i + 1);
      i += i + 1 < n && text[i + 1] == kSigil ? 2 : 1;
      continue;
    }
    const size_t close = text.find_first_of("()$", i + 2);
    if (close == std::string_view::npos || text[close] != ')') return false;
    const std::string_view inside = text.substr(i + 2, close - (i + 2));
    PlainReference found{inside, text.substr(i, close + 1 - i)};
    const size_t colon = inside.find(':');
    if (colon != std::string_view::npos) {
      found.name = inside.substr(0, colon);
      const bool literalDefault = colon + 1 < inside.size() && inside[colon + 1] == ':';
      found.fallback = inside.substr(literalDefault ? colon + 2 : colon + 1);
    }
    if (!reference(found, close + 1)) return false;
    i = close + 1;
  }
  return true;
}

}  // namespace

void LoopBody::read(const XMLElement& loop, std::span<const std::string> names, const WalkAfter* walkAfter) {
  names_ = names;
  // Done as the walk would only when every value allows it; else read again
  // for the loop's own expansion alone.
  final_ = walkAfter != nullptr && readBody(loop, walkAfter);
  if (!final_) readBody(loop, nullptr);
  rounds_ = final_ ? walkAfter->rounds : 0;
  bool allFilled = true;
  for (const Element& element : elements_) allFilled = allFilled && element.filled;
  needed_.assign(names_.size(), allFilled ? 0 : 1);
  for (size_t use = 0; use < uses_.size(); ++use) {
    if (uses_[use] != 0) needed_[use % names_.size()] = 1;
  }
}

void LoopBody::chargeWalk() const {
  // Fits: copiesFinal promised so.
  if (final_) chargeExpandedText(walkBytes_ * rounds_);
}

// False, with `walkAfter`, when the walk's part cannot be done here.
bool LoopBody::readBody(const XMLElement& loop, const WalkAfter* walkAfter) {
  elements_.clear();
  values_.clear();
  pieces_.clear();
  uses_.clear();
  literals_.clear();
  walkBytes_ = 0;
  // What the loop's own expansions may write per round, at most.
  uint64_t loopBytes = 0;
  auto readElement = [&](const XMLElement& source) {
    if (walkAfter != nullptr) {
      const size_t word = source.tagWord();
      if (word < 64 && (walkAfter->directiveWords >> word & 1) != 0) return false;
    }
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
      if (value.find(kSigil) != std::string_view::npos && !readValue(value, index, element, walkAfter)) {
        if (walkAfter != nullptr) return false;
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
    if (walkAfter != nullptr) {
      const size_t longest = element.literalBytes + element.references * walkAfter->longestValue;
      if (longest > kLongestFilled) return false;
      loopBytes += element.fixedBytes + element.references * walkAfter->longestValue;
    }
    elements_.push_back(element);
    return true;
  };
  for (const XMLNode* child = loop.firstChild; child != nullptr; child = child->nextSibling) {
    const XMLElement* top = asElement(child);
    if (top == nullptr) continue;
    if (!readElement(*top)) return false;
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
      if (!readElement(*element)) return false;
      if (element->firstChild != nullptr) pending_.push_back(element->firstChild);
    }
  }
  if (walkAfter == nullptr) return true;
  // Both the rounds' expansions and the walk's must fit the account whatever
  // comes first, or the walk's would run out where it would not have.
  const uint64_t perRound = loopBytes + walkBytes_;
  return walkAfter->rounds == 0 || perRound <= expandedTextLeft() / walkAfter->rounds;
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

// One pass of the expander over `text`, taken apart instead of written out;
// with `walkAfter`, the walk's pass over the result too. A value that reads
// back as its own text is not kept: the expanders would leave it as it is.
bool LoopBody::readValue(std::string_view text, size_t index, Element& element, const WalkAfter* walkAfter) {
  if (text.size() > kLongestFilled / 16) return false;
  Value value{index, text.size(), pieces_.size(), 0, 0};
  const size_t literalsSize = literals_.size();
  size_t references = 0;
  size_t fixedBytes = 0;
  const bool plain = readOnePass(
      text, [&](size_t from, size_t to) { addLiteral(text.substr(from, to - from), value.firstPiece); },
      [&](const PlainReference& found, size_t) {
        const auto slot = std::find(names_.begin(), names_.end(), found.name);
        if (slot == names_.end()) {
          addLiteral(found.fallback, value.firstPiece);
          fixedBytes += found.fallback.size();
          return true;
        }
        if (isDateOrTimeName(found.name)) return false;
        const auto k = static_cast<size_t>(slot - names_.begin());
        pieces_.push_back({k, 0, 0});
        ++uses_[element.firstUse + k];
        ++references;
        return true;
      });
  if (!plain) return false;
  element.fixedBytes += fixedBytes;
  const size_t firstPassLiterals = literals_.size() - literalsSize;
  if (walkAfter != nullptr) {
    size_t written = 0;
    if (!readWalkExpansion(value.firstPiece, literalsSize, walkAfter->table, written)) return false;
    walkBytes_ += written;
  }
  const size_t literalBytes = literals_.size() - literalsSize;
  // Without loop macros its text is the same in every round; the first pass
  // never lengthens such a text (a default is shorter than its reference),
  // so leaving it out grows nothing.
  if (references == 0 && std::string_view(literals_).substr(literalsSize) == text) {
    pieces_.resize(value.firstPiece);
    literals_.resize(literalsSize);
    return true;
  }
  value.endPiece = pieces_.size();
  value.firstPassExtra = static_cast<ptrdiff_t>(firstPassLiterals) - static_cast<ptrdiff_t>(literalBytes);
  values_.push_back(value);
  element.literalBytes += literalBytes;
  element.references += references;
  return true;
}

// The walk's pass over one value as the loop's own expansion left it, the
// pieces from `firstPiece` on (their text from `literalsSize` on): they are
// replaced by the pieces of what the walk would make of them. A loop macro's
// value is text the walk passes over (it holds no '$', '(', ')' or ':' and
// is never empty), so the walk reads the same references in every round,
// unless one of them holds a loop macro: then it is not done here. Adds what
// the walk's references write to `written`.
bool LoopBody::readWalkExpansion(size_t firstPiece, size_t literalsSize, const MacroTable& table, size_t& written) {
  // Most values come out of the first pass without a '$': the walk leaves
  // them as they are.
  if (std::string_view(literals_).substr(literalsSize).find(kSigil) == std::string_view::npos) return true;
  firstPass_.clear();
  slotPositions_.clear();
  slotNames_.clear();
  for (size_t p = firstPiece; p < pieces_.size(); ++p) {
    const Piece& piece = pieces_[p];
    if (piece.slot == Piece::kLiteral) {
      firstPass_.append(literals_, piece.begin, piece.size);
    } else {
      slotPositions_.push_back(firstPass_.size());
      slotNames_.push_back(piece.slot);
      firstPass_ += '0';
    }
  }
  pieces_.resize(firstPiece);
  literals_.resize(literalsSize);

  size_t nextSlot = 0;
  // The first pass's text from `from` to `to`, its stand-ins as the loop
  // macros they stand for.
  auto passOn = [&](size_t from, size_t to) {
    while (from < to) {
      const size_t slotAt = nextSlot < slotPositions_.size() ? slotPositions_[nextSlot] : to;
      if (slotAt >= to) {
        addLiteral(std::string_view(firstPass_).substr(from, to - from), firstPiece);
        return;
      }
      addLiteral(std::string_view(firstPass_).substr(from, slotAt - from), firstPiece);
      pieces_.push_back({slotNames_[nextSlot], 0, 0});
      ++nextSlot;
      from = slotAt + 1;
    }
  };
  return readOnePass(
      firstPass_, passOn, [&](const PlainReference& found, size_t end) {
        // A name that holds a loop macro's value differs from round to round.
        if (nextSlot < slotPositions_.size() && slotPositions_[nextSlot] < end) return false;
        const std::string* value = table.find(found.name);
        if (value != nullptr && isDateOrTimeName(found.name)) return false;
        const std::string_view write = value != nullptr ? std::string_view(*value) : found.fallback;
        if (write.size() > kLongestFilled / 16) return false;
        addLiteral(write, firstPiece);
        written += write.size();
        return true;
      });
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
  const size_t longest = element.literalBytes + element.references * longestRoundValue_;
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
    const auto firstPassSize = static_cast<size_t>(static_cast<ptrdiff_t>(size) + value.firstPassExtra);
    if (firstPassSize > value.sourceSize) grown += firstPassSize - value.sourceSize;
    changes_.push_back({value.index, std::string_view(begin, size)});
  }
  return changes_;
}

}  // namespace rw

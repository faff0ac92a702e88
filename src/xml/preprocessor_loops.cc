// for and foreach, and the copies they and xmlput make.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <utf8proc.h>

#include "expr/evaluate.h"
#include "macros/macro_expansion.h"
#include "xml/preprocessor.h"
#include "xml/preprocessor_walk.h"

namespace rw {

namespace {

constexpr std::string_view kForUsage = "<for index=\"i\" start=\"0\" end=\"32\" incr=\"1\">";

uint32_t unsignedOrZero(std::string_view text) {
  const UnsignedResult result = evaluateUnsigned(text);
  return result.ok ? static_cast<uint32_t>(result.value) : 0;
}

uint32_t signedOrZero(std::string_view text) {
  const SignedResult result = evaluateSigned(text);
  return result.ok ? static_cast<uint32_t>(result.value) : 0;
}

// The character with code 65 + i ("A" for 0), in UTF-8; "?" past Unicode or
// for a surrogate.
std::string alphaText(uint64_t i) {
  const uint64_t code = 65 + i;
  if (code > 0x10FFFF || !utf8proc_codepoint_valid(static_cast<utf8proc_int32_t>(code))) return "?";
  utf8proc_uint8_t bytes[4];
  const utf8proc_ssize_t length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(code), bytes);
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
}

// The longest value a for loop gives its macros: a 64-bit count in decimal.
constexpr size_t kLongestLoopValue = 20;

struct CopySize {
  uint64_t elements = 0;
  uint64_t bytes = 0;
};

// What copying the elements below `element` (and `element` itself when asked)
// creates: one loop round, or one template copy.
CopySize copySize(const XMLElement& element, bool withSelf) {
  CopySize size;
  std::vector<const XMLNode*> pending;
  if (withSelf) {
    pending.push_back(&element);
  } else {
    for (const XMLNode* child = element.firstChild; child != nullptr; child = child->nextSibling) {
      if (child->isElement()) pending.push_back(child);
    }
  }
  while (!pending.empty()) {
    const XMLElement* node = asElement(pending.back());
    pending.pop_back();
    ++size.elements;
    size.bytes += node->tagName().size();
    for (const XMLAttribute& attribute : node->attributes()) size.bytes += attribute.name.size() + attribute.value.size();
    for (const XMLNode* child = node->firstChild; child != nullptr; child = child->nextSibling) {
      if (child->isElement()) pending.push_back(child);
    }
  }
  return size;
}

// Appends the clones of the element children of `source` to a chain. The
// chain is freed with it unless release() handed it on: memory running out
// halfway through a loop leaves nothing behind.
class CopyChain {
public:
  CopyChain() = default;
  CopyChain(const CopyChain&) = delete;
  CopyChain& operator=(const CopyChain&) = delete;
  ~CopyChain() {
    if (owned_) destroyChain(first_);
  }
  void append(XMLElement* copy) {
    if (first_ == nullptr) {
      first_ = copy;
    } else {
      last_->nextSibling = copy;
    }
    last_ = copy;
  }
  XMLNode* release() {
    owned_ = false;
    return first_;
  }
  XMLNode* last() const { return last_; }

private:
  XMLNode* first_ = nullptr;
  XMLNode* last_ = nullptr;
  bool owned_ = true;
};

}  // namespace

// The first refusal says so; later ones are silent, or a loop nested in a
// loop would repeat the warning for every copy of it.
bool Preprocessor::chargeCopies(uint64_t elements, uint64_t bytes, const std::string& directive) {
  const bool elementsFit = copiedElements_ <= maxCopiedElements && elements <= maxCopiedElements - copiedElements_;
  const bool bytesFit = copiedBytes_ <= maxCopiedBytes && bytes <= maxCopiedBytes - copiedBytes_;
  if (elementsFit && bytesFit) {
    copiedElements_ += elements;
    copiedBytes_ += bytes;
    return true;
  }
  if (!copyLimitReported_) {
    copyLimitReported_ = true;
    const std::string limit = elementsFit ? std::to_string(maxCopiedBytes) + " bytes of copied text"
                                          : std::to_string(maxCopiedElements) + " copied elements";
    warn_(warningText("<" + directive + "> not expanded: copies would exceed the limit of " + limit +
                        " in one document; later copies beyond it are dropped too"));
  }
  return false;
}

// The `file` of the copies one directive makes: its copy site. The copied
// nodes share a file in practice, so the last answer is kept.
class Preprocessor::CopyMarker {
public:
  CopyMarker(XMLDocument& document, const XMLNode& directive, CopyKind kind)
      : document_(document), directive_(directive), kind_(kind) {}
  uint32_t operator()(uint32_t copied) {
    if (!marked_ || copied != copied_) {
      copied_ = copied;
      mark_ = document_.copyMark(copied, directive_, kind_);
      marked_ = true;
    }
    return mark_;
  }

private:
  XMLDocument& document_;
  const XMLNode& directive_;
  const CopyKind kind_;
  bool marked_ = false;
  uint32_t copied_ = 0;
  uint32_t mark_ = 0;
};

// The shared part of both copies: the element with its attributes, values
// expanded for the loop's round when there is one. The mark is made first:
// making it may run out of memory, and the copy would then be lost.
XMLElement* Preprocessor::copyElement(const XMLElement& source, LoopBody* round, uint64_t& grown,
                                      CopyMarker& mark) {
  const uint32_t file = mark(source.file);
  XMLElement* copy = document_.makeElement.copy(
      source, round != nullptr ? round->changes(source, grown) : std::span<const ValueChange>());
  copy->line = source.line;
  copy->file = file;
  return copy;
}

// Iterative, so that a deep template or loop body cannot exhaust the stack.
// For a loop's round (clone expanded) only elements are copied; for a
// template (deep copy) CDATA sections come along.
XMLElement* Preprocessor::copyTree(const XMLElement& source, LoopBody* round, uint64_t& grown, CopyMarker& mark) {
  // Freed with what was copied into it if memory runs out halfway.
  std::unique_ptr<XMLElement> copied(copyElement(source, round, grown, mark));
  XMLElement* const top = copied.get();
  std::vector<PendingCopy>& pending = pendingCopies_;
  pending.assign(1, PendingCopy{source.firstChild, top});
  while (!pending.empty()) {
    PendingCopy& current = pending.back();
    const XMLNode* node = current.next;
    if (node == nullptr) {
      pending.pop_back();
      continue;
    }
    current.next = node->nextSibling;
    XMLElement* copyParent = current.copyParent;
    const XMLElement* element = asElement(node);
    if (element == nullptr) {
      if (round == nullptr) {
        const uint32_t file = mark(node->file);
        XMLNode* section = new XMLCDATASection(static_cast<const XMLCDATASection*>(node)->text());
        section->line = node->line;
        section->file = file;
        copyParent->appendChild(section);
      }
      continue;
    }
    XMLElement* copy = copyElement(*element, round, grown, mark);
    copyParent->appendChild(copy);
    if (element->firstChild != nullptr) pending.push_back({element->firstChild, copy});
  }
  return copied.release();
}

XMLElement* Preprocessor::deepCopy(const XMLElement& source, const XMLElement& directive) {
  const CopySize size = copySize(source, true);
  if (!chargeCopies(size.elements, size.bytes, std::string(directive.tagName()))) return nullptr;
  uint64_t unchanged = 0;
  CopyMarker mark(document_, directive, CopyKind::Template);
  return copyTree(source, nullptr, unchanged, mark);
}

// The budget was charged for a loop's text as written; what the loop
// macros added to it (`grown` bytes) counts too.
Preprocessor::Outcome Preprocessor::expandInto(XMLNode* copies, uint64_t grown, const char* directive) {
  if (!chargeCopies(0, grown, directive)) {
    destroyChain(copies);
    return drop();
  }
  Outcome outcome;
  outcome.action = Outcome::Action::Replace;
  outcome.replacement = copies;
  return outcome;
}

// A loop that would not end is refused with the usage warning: an increment
// of 0, or a counter that would wrap past 2^32 before reaching `end` (every
// round is checked in 64 bits before it runs). More than kMaxLoopRounds
// rounds, or copies beyond the document's budget, are refused with a warning
// that names the limit. A refused loop is dropped with its content.
Preprocessor::Outcome Preprocessor::processFor(XMLElement& element, Level& level) {
  const std::optional<std::string_view> indexText = element.getAttribute("index");
  const std::optional<std::string_view> start = element.getAttribute("start");
  const std::optional<std::string_view> end = element.getAttribute("end");
  const std::optional<std::string_view> incr = element.getAttribute("incr");
  if (!indexText || !start || !end || !incr || element.firstChild == nullptr) {
    warn_(warningText(kForUsage));
    return drop();
  }
  const uint64_t first = unsignedOrZero(*start);
  const uint64_t limit = unsignedOrZero(*end);
  const uint64_t step = unsignedOrZero(*incr);
  if (step == 0) {
    warn_(warningText(kForUsage));
    return drop();
  }
  const uint64_t rounds = first < limit ? (limit - first + step - 1) / step : 0;
  if (rounds > 0 && first + (rounds - 1) * step + step > UINT32_MAX) {
    warn_(warningText(kForUsage));
    return drop();
  }
  if (rounds > kMaxLoopRounds) {
    warn_(warningText("<for> not expanded: " + std::to_string(rounds) + " rounds exceed the limit of " +
                        std::to_string(kMaxLoopRounds)));
    return drop();
  }
  const CopySize perRound = copySize(element, false);
  if (!chargeCopies(rounds * perRound.elements, rounds * perRound.bytes, "for")) return drop();

  const MacroTable& table = level.table;
  uint32_t offset = 0;
  if (const std::optional<std::string_view> add = element.getAttribute("add")) {
    offset = signedOrZero(expander_.expand(*add, table));
  } else if (const std::optional<std::string_view> sub = element.getAttribute("sub")) {
    offset = 0u - signedOrZero(expander_.expand(*sub, table));
  }
  const std::optional<std::string_view> mul = element.getAttribute("mul");
  const uint32_t factor = mul ? signedOrZero(expander_.expand(*mul, table)) : 1;
  const std::string index(*indexText);

  // Each round's copies see only the five loop macros; what else they
  // reference is resolved when the walk reaches them, or here when it would
  // do nothing else to them. The five are numbers and letters.
  const std::string names[] = {index, index + "_alpha", index + "_ap", index + "_ap_hex", index + "_hex"};
  const LoopBody::WalkAfter walkAfter{level.table, directiveWords(), kLongestLoopValue, rounds};
  loopBody_.read(element, names, &walkAfter);
  std::string values[std::size(names)];

  CopyChain copies;
  CopyMarker mark(document_, element, CopyKind::Loop);
  uint64_t grown = 0;
  uint64_t i = first;
  for (uint64_t round = 0; round < rounds; ++round, i += step) {
    const uint32_t scaled = factor * static_cast<uint32_t>(i) + offset;
    if (loopBody_.needs(0)) values[0] = std::to_string(i);
    if (loopBody_.needs(1)) values[1] = alphaText(i);
    if (loopBody_.needs(2)) values[2] = std::to_string(scaled);
    if (loopBody_.needs(3)) values[3] = hexText(scaled);
    if (loopBody_.needs(4)) values[4] = hexText(i);
    loopBody_.startRound(values);
    for (XMLNode* child = element.firstChild; child != nullptr; child = child->nextSibling) {
      if (const XMLElement* top = asElement(child)) copies.append(copyTree(*top, &loopBody_, grown, mark));
    }
  }
  Outcome outcome = expandInto(copies.release(), grown, "for");
  if (outcome.replacement != nullptr && loopBody_.copiesFinal()) {
    loopBody_.chargeWalk();
    outcome.lastFinal = copies.last();
  }
  return outcome;
}

// Every combination of one item per attribute, the first attribute varying
// slowest. Too many combinations are refused like a long for.
Preprocessor::Outcome Preprocessor::processForeach(XMLElement& element, Level&) {
  struct List {
    std::string name;
    std::string text;
    std::vector<std::string_view> items;
  };
  std::vector<List> lists;
  lists.reserve(element.attributes().size());
  uint64_t combinations = 1;
  for (const XMLAttribute& attribute : element.attributes()) {
    List& list = lists.emplace_back();
    list.name = std::string(attribute.name);
    list.text = withoutNewlines(attribute.value);
    list.items = splitList(list.text);
    // Saturates: anything past the limit is refused anyway.
    combinations = list.items.empty() ? 0 : std::min(combinations * list.items.size(), kMaxLoopRounds + 1);
    if (combinations == 0) break;
  }
  if (combinations == 0) return drop();
  if (combinations > kMaxLoopRounds) {
    warn_(warningText("<foreach> not expanded: its combinations exceed the limit of " +
                        std::to_string(kMaxLoopRounds)));
    return drop();
  }
  const CopySize perRound = copySize(element, false);
  if (!chargeCopies(combinations * perRound.elements, combinations * perRound.bytes, "foreach")) return drop();

  std::vector<size_t> chosen(lists.size(), 0);

  std::vector<std::string> names(lists.size());
  for (size_t n = 0; n < lists.size(); ++n) names[n] = lists[n].name;
  std::vector<std::string> values(lists.size());

  CopyChain copies;
  CopyMarker mark(document_, element, CopyKind::Loop);
  loopBody_.read(element, names);
  uint64_t grown = 0;
  for (uint64_t round = 0; round < combinations; ++round) {
    for (size_t n = 0; n < lists.size(); ++n) values[n] = lists[n].items[chosen[n]];
    loopBody_.startRound(values);
    for (XMLNode* child = element.firstChild; child != nullptr; child = child->nextSibling) {
      if (const XMLElement* top = asElement(child)) copies.append(copyTree(*top, &loopBody_, grown, mark));
    }
    // Odometer: the last list turns fastest.
    for (size_t n = lists.size(); n-- > 0;) {
      if (++chosen[n] < lists[n].items.size()) break;
      chosen[n] = 0;
    }
  }
  return expandInto(copies.release(), grown, "foreach");
}

}  // namespace rw

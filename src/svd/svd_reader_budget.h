// The run-wide bounds of reading one SVD file, which the derivation and the
// tree builder spend from together.
//
// Internal to the SVD reader.
#pragma once

#include <cstddef>
#include <string>

namespace rw {

class SvdBudget {
public:
  SvdBudget(size_t maxElements, size_t maxTextBytes, size_t maxNodeReads)
      : maxElements_(maxElements), maxTextBytes_(maxTextBytes), maxNodeReads_(maxNodeReads) {}

  // What has been spent on each bound.
  struct Spent {
    size_t kept = 0;
    size_t work = 0;
    size_t textBytes = 0;
    size_t nodeReads = 0;
  };

  // Elements kept in the tree: groups, registers, bit fields, enumerated
  // values and vectors. False once past the bound, and from then on.
  bool spendKept(size_t count) { return spend(&Spent::kept, maxElements_, count); }
  // Elements looked at or copied, kept or not: each register and cluster
  // visited (one of dim 0 too), each field looked at (one of width 0 too)
  // and each enumerated value copied. A file that spells out every element
  // looks at no more than it keeps, so both have the same bound.
  bool spendWork(size_t count) { return spend(&Spent::work, maxElements_, count); }
  // Bytes of text read or made for elements. False once past the bound.
  bool spendText(size_t bytes) { return spend(&Spent::textBytes, maxTextBytes_, bytes); }
  // XML nodes and attributes looked at, each time again. False once past
  // the bound.
  bool spendNodeReads(size_t count) { return spend(&Spent::nodeReads, maxNodeReads_, count); }
  // All of `amount` when it fits every bound; else nothing, and false.
  bool spendAll(const Spent& amount);

  Spent spent() const { return spent_; }
  // What doing again the work done since spent() was `before` and
  // spentOnce() `onceBefore` would spend.
  Spent spentAgain(const Spent& before, const Spent& onceBefore) const {
    return {again(&Spent::kept, before, onceBefore), again(&Spent::work, before, onceBefore),
            again(&Spent::textBytes, before, onceBefore), again(&Spent::nodeReads, before, onceBefore)};
  }
  // The part of spent() that went to work done once and remembered (see
  // SpentOnce): doing again what needed it costs that much less.
  Spent spentOnce() const { return once_; }

  size_t maxElements() const { return maxElements_; }
  std::string keptProblem() const {
    return "more than " + std::to_string(maxElements_) + " registers, bit fields and values";
  }
  std::string workProblem() const {
    return "more than " + std::to_string(maxElements_) + " registers, clusters, fields and values read";
  }
  std::string textProblem() const {
    return "more than " + std::to_string(maxTextBytes_) + " bytes of names and descriptions";
  }
  std::string nodeReadsProblem() const {
    return "more than " + std::to_string(maxNodeReads_) + " XML nodes read";
  }

private:
  friend class SpentOnce;

  size_t again(size_t Spent::*counter, const Spent& before, const Spent& onceBefore) const {
    return (spent_.*counter - before.*counter) - (once_.*counter - onceBefore.*counter);
  }

  // Once past its bound, a count stays there rather than wrap.
  bool spend(size_t Spent::*counter, size_t bound, size_t amount) {
    size_t& spent = spent_.*counter;
    if (spent > bound || amount > bound - spent) {
      spent = bound + 1;
      return false;
    }
    spent += amount;
    if (onceDepth_ != 0) once_.*counter += amount;
    return true;
  }

  const size_t maxElements_;
  const size_t maxTextBytes_;
  const size_t maxNodeReads_;
  Spent spent_;
  Spent once_;
  int onceDepth_ = 0;
};

// While one lives, what `budget` spends is for work whose result is kept
// (a derivation chain, an index of names), which asking again finds without
// spending.
class SpentOnce {
public:
  explicit SpentOnce(SvdBudget& budget) : budget_(budget) { ++budget_.onceDepth_; }
  ~SpentOnce() { --budget_.onceDepth_; }
  SpentOnce(const SpentOnce&) = delete;
  SpentOnce& operator=(const SpentOnce&) = delete;

private:
  SvdBudget& budget_;
};

inline bool SvdBudget::spendAll(const Spent& amount) {
  const auto fits = [](size_t spent, size_t bound, size_t more) { return spent <= bound && more <= bound - spent; };
  if (!fits(spent_.kept, maxElements_, amount.kept) || !fits(spent_.work, maxElements_, amount.work) ||
      !fits(spent_.textBytes, maxTextBytes_, amount.textBytes) ||
      !fits(spent_.nodeReads, maxNodeReads_, amount.nodeReads)) {
    return false;
  }
  spent_.kept += amount.kept;
  spent_.work += amount.work;
  spent_.textBytes += amount.textBytes;
  spent_.nodeReads += amount.nodeReads;
  return true;
}

}  // namespace rw

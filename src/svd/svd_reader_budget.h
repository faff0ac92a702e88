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

  // Elements built, kept or not: groups, clusters, registers, bit fields,
  // enumerated values (each copy too) and vectors. False once past the
  // bound, and from then on.
  bool spendElements(size_t count) { return spend(elements_, maxElements_, count); }
  // Bytes of text read or made for elements. False once past the bound.
  bool spendText(size_t bytes) { return spend(textBytes_, maxTextBytes_, bytes); }
  // XML nodes and attributes looked at, each time again. False once past
  // the bound.
  bool spendNodeReads(size_t count) { return spend(nodeReads_, maxNodeReads_, count); }

  size_t maxElements() const { return maxElements_; }
  std::string elementsProblem() const {
    return "more than " + std::to_string(maxElements_) + " registers, bit fields and values";
  }
  std::string textProblem() const {
    return "more than " + std::to_string(maxTextBytes_) + " bytes of names and descriptions";
  }
  std::string nodeReadsProblem() const {
    return "more than " + std::to_string(maxNodeReads_) + " XML nodes read";
  }

private:
  // Once past its bound, a count stays there rather than wrap.
  static bool spend(size_t& spent, size_t bound, size_t amount) {
    if (spent > bound || amount > bound - spent) {
      spent = bound + 1;
      return false;
    }
    spent += amount;
    return true;
  }

  const size_t maxElements_;
  const size_t maxTextBytes_;
  const size_t maxNodeReads_;
  size_t elements_ = 0;
  size_t textBytes_ = 0;
  size_t nodeReads_ = 0;
};

}  // namespace rw

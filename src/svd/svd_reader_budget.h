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

  // Elements kept in the tree: groups, registers, bit fields, enumerated
  // values and vectors. False once past the bound, and from then on.
  bool spendKept(size_t count) { return spend(kept_, maxElements_, count); }
  // Elements looked at or copied, kept or not: each register and cluster
  // visited (one of dim 0 too), each field looked at (one of width 0 too)
  // and each enumerated value copied. A file that spells out every element
  // looks at no more than it keeps, so both have the same bound.
  bool spendWork(size_t count) { return spend(work_, maxElements_, count); }
  // Bytes of text read or made for elements. False once past the bound.
  bool spendText(size_t bytes) { return spend(textBytes_, maxTextBytes_, bytes); }
  // XML nodes and attributes looked at, each time again. False once past
  // the bound.
  bool spendNodeReads(size_t count) { return spend(nodeReads_, maxNodeReads_, count); }

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
  size_t kept_ = 0;
  size_t work_ = 0;
  size_t textBytes_ = 0;
  size_t nodeReads_ = 0;
};

}  // namespace rw

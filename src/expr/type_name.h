// A type named in a cast or in sizeof. Only parsed: no evaluator here can
// give a value of a named type.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rw {

class Expression;
struct TypeName;

struct StructField {
  std::unique_ptr<TypeName> type;
  std::string name;
  uint64_t bitWidth = 0;  // 0 for a whole field
};

struct RegisterField {
  std::string name;
  uint64_t bitOffset = 0;
  uint64_t bitSize = 0;
};

struct TypeName {
  enum class Form { Base, Struct, Register };

  TypeName();
  ~TypeName();

  Form form = Form::Base;
  std::string name;  // the base-type words joined by spaces, or the struct name
  unsigned pointerDepth = 0;
  std::vector<std::unique_ptr<Expression>> arrayLengths;
  std::vector<StructField> structFields;
  uint64_t registerSize = 0;
  std::vector<RegisterField> registerFields;
};

}  // namespace rw

// A property definition: what one user-adjustable setting (or one displayed
// macro) is called, where it is shown, its type, default and limits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

enum class PropertyType : int32_t {
  Boolean = 0,
  Integer = 1,
  IntegerHex = 2,
  IntegerRange = 3,
  String = 4,
  FileName = 5,
  ProjFileName = 6,
  StringList = 7,
  DirPath = 8,
  DirPathList = 9,
  Enumeration = 10,
  Color = 11,
  Font = 12,
  FixedPitchFont = 13,
  Custom = 14,
  JavaScript = 15,
};

// "Boolean", "Integer", ...; "Unknown" for any other code.
std::string_view propertyTypeName(int32_t code);

class PropertyClass {
public:
  PropertyClass() = default;
  virtual ~PropertyClass() = default;

  // Adds one allowed value; "NAME~~CATEGORY" splits into the two lists.
  void addEnumerationItem(std::string_view item);

  std::string key;
  std::string group;
  std::string shortName;
  std::string longText;
  std::string suffix;
  std::string reserved;
  std::string defaultValue;
  std::string specialValueText;
  std::string page;
  uint8_t flagA = 0;
  uint8_t flagB = 1;
  int32_t type = static_cast<int32_t>(PropertyType::String);
  std::vector<std::string> enumeration;
  std::vector<std::string> enumerationCategories;
  int32_t counter = 0;
  int32_t minimum = 0;
  int32_t maximum = 0;
  int32_t flags = 0;
};

}  // namespace rw

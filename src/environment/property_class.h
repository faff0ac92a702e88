// A property definition: what one user-adjustable setting (or one displayed
// macro) is called, where it is shown, its type, default and limits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "environment/property_class_text.h"

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

inline constexpr std::string_view kYes = "Yes";
inline constexpr std::string_view kNo = "No";

class PropertyClass {
public:
  PropertyClass() = default;
  virtual ~PropertyClass() = default;

  // Adds one allowed value; "NAME~~CATEGORY" splits into the two lists.
  void addEnumerationItem(const PropertyText& item);

  PropertyText key;
  PropertyText group;
  PropertyText shortName;
  PropertyText longText;
  PropertyText suffix;
  PropertyText reserved;
  PropertyText defaultValue;
  // Shown in place of the minimum of a ranged number ("Disabled", "Auto").
  PropertyText specialValueText;
  PropertyText page;
  uint8_t flagA = 0;
  uint8_t flagB = 1;
  int32_t type = static_cast<int32_t>(PropertyType::String);
  std::vector<PropertyText> enumeration;
  // The categories of the items given as "NAME~~CATEGORY", in order.
  std::vector<PropertyText> enumerationCategories;
  int32_t counter = 0;
  int32_t minimum = 0;
  int32_t maximum = 0;
  int32_t flags = 0;
};

// Where definitions that carry only a key, a type and limits find their page,
// group, names, description, default and choices. Asked for the key followed
// by ".page", ".group", ".short", ".long", ".default", ".enumerates",
// ".suffix", ".minimum" and ".maximum". The base answers nothing, which is
// what a run of the tool sees: it installs no provider.
class DescriptionProvider {
public:
  virtual ~DescriptionProvider() = default;
  // The text stored under `name`, or empty.
  virtual std::string describe(const std::string& name) const;
};

// The process-wide provider; null until someone installs one.
const DescriptionProvider* descriptionProvider();
void setDescriptionProvider(const DescriptionProvider* provider);

// The six ways a definition is made. Texts given as PropertyText::fromStatic
// are referred to, any other text is copied.

// Every text given.
PropertyClass makeFullProperty(PropertyText key, PropertyType type, PropertyText page, PropertyText group,
                               PropertyText shortName, PropertyText longText, PropertyText defaultValue,
                               int32_t flags);
// A number between limits; the default is written in decimal, or in
// lower-case hexadecimal for IntegerHex.
PropertyClass makeNumericProperty(PropertyText key, PropertyType type, int32_t minimum, int32_t maximum,
                                  PropertyText page, PropertyText group, PropertyText shortName,
                                  PropertyText longText, int32_t defaultNumber, int32_t flags);
// A choice among `items` (each may be "NAME~~CATEGORY").
PropertyClass makeEnumeratedProperty(PropertyText key, PropertyType type, const std::vector<PropertyText>& items,
                                     PropertyText page, PropertyText group, PropertyText shortName,
                                     PropertyText longText, PropertyText defaultValue, int32_t flags);
// "Yes" or "No".
PropertyClass makeBooleanProperty(PropertyText key, PropertyText page, PropertyText group,
                                  PropertyText shortName, PropertyText longText, PropertyText defaultValue,
                                  int32_t flags);
// Limits given here, everything else from the description provider.
PropertyClass makeRangedDescribedProperty(PropertyText key, PropertyType type, int32_t minimum, int32_t maximum,
                                          int32_t flags);
// Everything but the key and the type from the description provider.
PropertyClass makeDescribedProperty(PropertyText key, PropertyType type, int32_t flags);

}  // namespace rw

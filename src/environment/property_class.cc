#include "environment/property_class.h"

#include <array>
#include <charconv>

namespace rw {

namespace {

constexpr std::array<std::string_view, 16> kTypeNames = {
    "Boolean",    "Integer",     "IntegerHex", "IntegerRange", "String", "FileName",       "ProjFileName", "StringList",
    "DirPath",    "DirPathList", "Enumeration", "Color",       "Font",   "FixedPitchFont", "Custom",       "JavaScript",
};

const DescriptionProvider* gDescriptionProvider = nullptr;

// A decimal number from the provider; anything unreadable counts as 0, like
// an absent answer.
int32_t describedNumber(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end ? value : 0;
}

// Fills the texts that kinds 5 and 6 do not carry themselves. Without a
// provider the definition keeps what its arguments gave.
void describe(PropertyClass& p, bool withLimits) {
  const DescriptionProvider* provider = gDescriptionProvider;
  if (provider == nullptr) return;
  auto ask = [&](const char* field) { return provider->describe(p.key + field); };
  p.page = ask(".page");
  p.group = ask(".group");
  p.shortName = ask(".short");
  p.longText = ask(".long");
  p.defaultValue = ask(".default");
  const std::string items = ask(".enumerates");
  size_t start = 0;
  while (start <= items.size()) {
    size_t end = items.find(';', start);
    if (end == std::string::npos) end = items.size();
    if (end > start) p.addEnumerationItem(std::string_view(items).substr(start, end - start));
    start = end + 1;
  }
  p.suffix = ask(".suffix");
  if (withLimits) {
    p.minimum = describedNumber(ask(".minimum"));
    p.maximum = describedNumber(ask(".maximum"));
  }
}

PropertyClass baseProperty(std::string_view key, PropertyType type, int32_t flags) {
  PropertyClass p;
  p.key = key;
  p.type = static_cast<int32_t>(type);
  p.flags = flags;
  return p;
}

void setTexts(PropertyClass& p, std::string_view page, std::string_view group, std::string_view shortName,
              std::string_view longText) {
  p.page = page;
  p.group = group;
  p.shortName = shortName;
  p.longText = longText;
}

}  // namespace

std::string_view propertyTypeName(int32_t code) {
  if (code < 0 || code >= static_cast<int32_t>(kTypeNames.size())) return "Unknown";
  return kTypeNames[static_cast<size_t>(code)];
}

void PropertyClass::addEnumerationItem(std::string_view item) {
  const size_t split = item.find("~~");
  if (split == std::string_view::npos) {
    enumeration.emplace_back(item);
    return;
  }
  enumeration.emplace_back(item.substr(0, split));
  enumerationCategories.emplace_back(item.substr(split + 2));
}

std::string DescriptionProvider::describe(const std::string&) const { return {}; }

const DescriptionProvider* descriptionProvider() { return gDescriptionProvider; }
void setDescriptionProvider(const DescriptionProvider* provider) { gDescriptionProvider = provider; }

PropertyClass makeFullProperty(std::string_view key, PropertyType type, std::string_view page, std::string_view group,
                               std::string_view shortName, std::string_view longText, std::string_view defaultValue,
                               int32_t flags) {
  PropertyClass p = baseProperty(key, type, flags);
  setTexts(p, page, group, shortName, longText);
  p.defaultValue = defaultValue;
  return p;
}

PropertyClass makeNumericProperty(std::string_view key, PropertyType type, int32_t minimum, int32_t maximum,
                                  std::string_view page, std::string_view group, std::string_view shortName,
                                  std::string_view longText, int32_t defaultNumber, int32_t flags) {
  PropertyClass p = baseProperty(key, type, flags);
  setTexts(p, page, group, shortName, longText);
  p.minimum = minimum;
  p.maximum = maximum;
  char buffer[16];
  const int base = type == PropertyType::IntegerHex ? 16 : 10;
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, defaultNumber, base);
  (void)ec;  // 16 bytes hold any 32-bit number in either base
  p.defaultValue.assign(buffer, end);
  return p;
}

PropertyClass makeEnumeratedProperty(std::string_view key, PropertyType type, const std::vector<std::string_view>& items,
                                     std::string_view page, std::string_view group, std::string_view shortName,
                                     std::string_view longText, std::string_view defaultValue, int32_t flags) {
  PropertyClass p = baseProperty(key, type, flags);
  setTexts(p, page, group, shortName, longText);
  p.enumeration.reserve(items.size());
  for (std::string_view item : items) p.addEnumerationItem(item);
  p.defaultValue = defaultValue;
  return p;
}

PropertyClass makeBooleanProperty(std::string_view key, std::string_view page, std::string_view group,
                                  std::string_view shortName, std::string_view longText, std::string_view defaultValue,
                                  int32_t flags) {
  PropertyClass p = baseProperty(key, PropertyType::Boolean, flags);
  setTexts(p, page, group, shortName, longText);
  p.enumeration = {std::string(kYes), std::string(kNo)};
  p.defaultValue = defaultValue;
  return p;
}

PropertyClass makeRangedDescribedProperty(std::string_view key, PropertyType type, int32_t minimum, int32_t maximum,
                                          int32_t flags) {
  PropertyClass p = baseProperty(key, type, flags);
  p.minimum = minimum;
  p.maximum = maximum;
  describe(p, false);
  return p;
}

PropertyClass makeDescribedProperty(std::string_view key, PropertyType type, int32_t flags) {
  PropertyClass p = baseProperty(key, type, flags);
  describe(p, true);
  return p;
}

}  // namespace rw

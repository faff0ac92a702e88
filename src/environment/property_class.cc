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
  const std::string key = p.key.str();
  auto ask = [&](const char* field) { return provider->describe(key + field); };
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
    if (end > start) p.addEnumerationItem(PropertyText(std::string_view(items).substr(start, end - start)));
    start = end + 1;
  }
  p.suffix = ask(".suffix");
  if (withLimits) {
    p.minimum = describedNumber(ask(".minimum"));
    p.maximum = describedNumber(ask(".maximum"));
  }
}

PropertyClass baseProperty(PropertyText key, PropertyType type, int32_t flags) {
  PropertyClass p;
  p.key = std::move(key);
  p.type = static_cast<int32_t>(type);
  p.flags = flags;
  return p;
}

void setTexts(PropertyClass& p, PropertyText page, PropertyText group, PropertyText shortName,
              PropertyText longText) {
  p.page = std::move(page);
  p.group = std::move(group);
  p.shortName = std::move(shortName);
  p.longText = std::move(longText);
}

}  // namespace

std::string_view propertyTypeName(int32_t code) {
  if (code < 0 || code >= static_cast<int32_t>(kTypeNames.size())) return "Unknown";
  return kTypeNames[static_cast<size_t>(code)];
}

void PropertyClass::addEnumerationItem(const PropertyText& item) {
  const size_t split = item.view().find("~~");
  if (split == std::string_view::npos) {
    enumeration.push_back(item);
    return;
  }
  enumeration.push_back(item.substr(0, split));
  enumerationCategories.push_back(item.substr(split + 2));
}

std::string DescriptionProvider::describe(const std::string&) const { return {}; }

const DescriptionProvider* descriptionProvider() { return gDescriptionProvider; }
void setDescriptionProvider(const DescriptionProvider* provider) { gDescriptionProvider = provider; }

PropertyClass makeFullProperty(PropertyText key, PropertyType type, PropertyText page, PropertyText group,
                               PropertyText shortName, PropertyText longText, PropertyText defaultValue,
                               int32_t flags) {
  PropertyClass p = baseProperty(std::move(key), type, flags);
  setTexts(p, std::move(page), std::move(group), std::move(shortName), std::move(longText));
  p.defaultValue = std::move(defaultValue);
  return p;
}

PropertyClass makeNumericProperty(PropertyText key, PropertyType type, int32_t minimum, int32_t maximum,
                                  PropertyText page, PropertyText group, PropertyText shortName,
                                  PropertyText longText, int32_t defaultNumber, int32_t flags) {
  PropertyClass p = baseProperty(std::move(key), type, flags);
  setTexts(p, std::move(page), std::move(group), std::move(shortName), std::move(longText));
  p.minimum = minimum;
  p.maximum = maximum;
  char buffer[16];
  const int base = type == PropertyType::IntegerHex ? 16 : 10;
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, defaultNumber, base);
  (void)ec;  // 16 bytes hold any 32-bit number in either base
  p.defaultValue = std::string_view(buffer, static_cast<size_t>(end - buffer));
  return p;
}

PropertyClass makeEnumeratedProperty(PropertyText key, PropertyType type, const std::vector<PropertyText>& items,
                                     PropertyText page, PropertyText group, PropertyText shortName,
                                     PropertyText longText, PropertyText defaultValue, int32_t flags) {
  PropertyClass p = baseProperty(std::move(key), type, flags);
  setTexts(p, std::move(page), std::move(group), std::move(shortName), std::move(longText));
  p.enumeration.reserve(items.size());
  for (const PropertyText& item : items) p.addEnumerationItem(item);
  p.defaultValue = defaultValue;
  return p;
}

PropertyClass makeBooleanProperty(PropertyText key, PropertyText page, PropertyText group,
                                  PropertyText shortName, PropertyText longText, PropertyText defaultValue,
                                  int32_t flags) {
  PropertyClass p = baseProperty(std::move(key), PropertyType::Boolean, flags);
  setTexts(p, std::move(page), std::move(group), std::move(shortName), std::move(longText));
  p.enumeration = {PropertyText::fromStatic(kYes), PropertyText::fromStatic(kNo)};
  p.defaultValue = std::move(defaultValue);
  return p;
}

PropertyClass makeRangedDescribedProperty(PropertyText key, PropertyType type, int32_t minimum, int32_t maximum,
                                          int32_t flags) {
  PropertyClass p = baseProperty(std::move(key), type, flags);
  p.minimum = minimum;
  p.maximum = maximum;
  describe(p, false);
  return p;
}

PropertyClass makeDescribedProperty(PropertyText key, PropertyType type, int32_t flags) {
  PropertyClass p = baseProperty(std::move(key), type, flags);
  describe(p, true);
  return p;
}

}  // namespace rw

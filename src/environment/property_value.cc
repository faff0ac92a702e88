#include "environment/property_value.h"

#include <cstdio>

#include "environment/environment_settings.h"

namespace rw {

EnvironmentPropertyValue::EnvironmentPropertyValue(EnvironmentSettings& store, const PropertyClass* propertyClass,
                                                   SettingsStore selector)
    : PropertyValue(propertyClass), store_(store), selector_(selector) {
  if (propertyClass != nullptr && !propertyClass->page.empty() && propertyClass->page != kInternalPage) {
    store_.registerOnPage(propertyClass->page, this);
  }
}

const std::string& EnvironmentPropertyValue::value() {
  if (!cached_) {
    const PropertyClass* p = propertyClass();
    cachedValue_ = store_.settings(selector_).get(p->key, p->defaultValue);
    cached_ = true;
  }
  return cachedValue_;
}

void EnvironmentPropertyValue::setValue(const std::string& text) {
  if (text == value()) return;
  cachedValue_ = text;
  const PropertyClass* p = propertyClass();
  Settings& file = store_.settings(selector_);
  if (text == p->defaultValue) {
    file.remove(p->key);
  } else {
    file.set(p->key, text);
  }
  // A listener may add listeners; iterate over the ones present now.
  const std::vector<Listener> listeners = listeners_;
  const std::string key = p->key.str();
  for (const Listener& listener : listeners) listener(key);
}

void PropertyValueList::appendUnique(PropertyValue* value) {
  if (value == nullptr || value->propertyClass() == nullptr) {
    std::fputs("Bad property value in PropertyValueList::appendUnique\n", stderr);
    return;
  }
  for (const PropertyValue* listed : values_) {
    if (listed->propertyClass() == value->propertyClass()) return;
  }
  values_.push_back(value);
}

}  // namespace rw

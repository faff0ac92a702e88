// Setting values: a definition paired with its current value text, and the
// lists of values that the options pages show.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "environment/property_class.h"

namespace rw {

class EnvironmentSettings;

// A value of some definition. Does not own its definition.
class PropertyValue {
public:
  explicit PropertyValue(const PropertyClass* propertyClass) : propertyClass_(propertyClass) {}
  PropertyValue(const PropertyValue&) = delete;
  PropertyValue& operator=(const PropertyValue&) = delete;
  virtual ~PropertyValue() = default;

  const PropertyClass* propertyClass() const { return propertyClass_; }

  virtual void setValue(const std::string& text) = 0;
  virtual const std::string& value() = 0;

private:
  const PropertyClass* propertyClass_;
};

// Which settings file a value lives in.
enum class SettingsStore : uint8_t {
  Root = 0,     // shared by every version of the product
  Version = 1,  // this version's own file
};

// A setting of the environment: its value lives in one of the store's two
// settings files, which hold it only while it differs from the default.
class EnvironmentPropertyValue : public PropertyValue {
public:
  using Listener = std::function<void(const std::string& key)>;

  // Registers the value on its definition's page unless that page is empty
  // or "(Internal)".
  EnvironmentPropertyValue(EnvironmentSettings& store, const PropertyClass* propertyClass, SettingsStore selector);

  // Fetched from the settings file on first use (the definition's default
  // when the file has no entry), then answered from the cache.
  const std::string& value() override;
  // A value equal to the default is removed from the file rather than
  // written; listeners hear the key of every real change.
  void setValue(const std::string& text) override;

  // Forgets the cached text, so the next value() reads the file's map again
  // (after another writer's changes were merged in).
  void markStale() { cached_ = false; }
  bool isCached() const { return cached_; }
  SettingsStore selector() const { return selector_; }

  void addListener(Listener listener) { listeners_.push_back(std::move(listener)); }

private:
  EnvironmentSettings& store_;
  SettingsStore selector_;
  std::string cachedValue_;
  bool cached_ = false;
  std::vector<Listener> listeners_;
};

// The values shown on one page, in order of registration; does not own them.
class PropertyValueList {
public:
  // Adds `value` unless a value of the same definition is already listed. A
  // null value, or one without a definition, is refused with a warning on
  // standard error.
  void appendUnique(PropertyValue* value);

  const std::vector<PropertyValue*>& values() const { return values_; }
  size_t size() const { return values_.size(); }

private:
  std::vector<PropertyValue*> values_;
};

}  // namespace rw

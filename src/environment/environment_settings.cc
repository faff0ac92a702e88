#include "environment/environment_settings.h"

#include "environment/catalogue.h"
#include "environment/paths.h"

namespace rw {

namespace {

EnvironmentSettings* gEnvironmentSettings = nullptr;

constexpr std::chrono::milliseconds kSaveInterval{60000};
// Room for the catalogue, so building it never moves the lists.
constexpr size_t kCatalogueSize = 310;

}  // namespace

std::string_view canonicalPageName(std::string_view page) {
  if (page == "General" || page == "C/C++" || page == "Linker") return "Code";
  if (page == "Debugging") return "Debug";
  return page;
}

void PeriodicHook::elapse(std::chrono::milliseconds time) {
  if (interval_.count() <= 0) return;
  pending_ += time;
  while (pending_ >= interval_) {
    pending_ -= interval_;
    action_();
  }
}

EnvironmentSettings::EnvironmentSettings(bool withSaveTimer) {
  definitions_.reserve(kCatalogueSize);
  values_.reserve(kCatalogueSize);
  root_.setPath(userRootDirectory() + "/settings.xml");
  version_.setPath(userVersionDirectory() + "/settings.xml");
  if (withSaveTimer) {
    saveTimer_ = std::make_unique<PeriodicHook>("environment-settings-save-timer", kSaveInterval,
                                                 [this] { saveSettings(); });
  }
}

EnvironmentSettings::~EnvironmentSettings() = default;

void EnvironmentSettings::buildCatalogue() {
  if (catalogueBuilt_) return;
  catalogueBuilt_ = true;
  buildEnvironmentCatalogue(*this);
}

void EnvironmentSettings::saveSettings() {
  if (!saving_) return;
  if (version_.sync()) {
    for (auto& [name, value] : trackedValues_) {
      if (value != nullptr) value->markStale();
    }
  }
  root_.sync();
}

void EnvironmentSettings::registerOnPage(std::string_view page, PropertyValue* value) {
  const std::string_view canonical = canonicalPageName(page);
  auto it = pages_.find(canonical);
  if (it == pages_.end()) it = pages_.emplace(std::string(canonical), PropertyValueList()).first;
  it->second.appendUnique(value);
}

const PropertyValueList* EnvironmentSettings::page(std::string_view name) const {
  auto it = pages_.find(canonicalPageName(name));
  return it == pages_.end() ? nullptr : &it->second;
}

EnvironmentPropertyValue* EnvironmentSettings::addSetting(std::unique_ptr<PropertyClass> definition,
                                                          SettingsStore selector, std::string_view registeredPage) {
  const PropertyClass* p = definition.get();
  definitions_.push_back(std::move(definition));
  values_.push_back(std::make_unique<EnvironmentPropertyValue>(*this, p, selector));
  EnvironmentPropertyValue* value = values_.back().get();
  if (!registeredPage.empty()) registerOnPage(registeredPage, value);
  return value;
}

EnvironmentPropertyValue* EnvironmentSettings::find(std::string_view key) const {
  for (const auto& value : values_) {
    if (value->propertyClass()->key == key) return value.get();
  }
  return nullptr;
}

EnvironmentSettings* environmentSettings() { return gEnvironmentSettings; }
void setEnvironmentSettings(EnvironmentSettings* store) { gEnvironmentSettings = store; }

}  // namespace rw

// The environment's settings store: the user's two settings files, the
// catalogue of settings and the options pages that list them.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "environment/property_class.h"
#include "environment/property_value.h"
#include "environment/settings.h"

namespace rw {

// The page of settings that are never shown.
inline constexpr std::string_view kInternalPage = "(Internal)";

// Pages that grew under several names are listed under one: "General",
// "C/C++" and "Linker" under "Code", "Debugging" under "Debug".
std::string_view canonicalPageName(std::string_view page);

// A periodic action without an event loop: whoever owns the loop reports the
// time that passed and the hook runs its action once per whole interval.
class PeriodicHook {
public:
  PeriodicHook(std::string name, std::chrono::milliseconds interval, std::function<void()> action)
      : name_(std::move(name)), interval_(interval), action_(std::move(action)) {}

  void elapse(std::chrono::milliseconds time);

  const std::string& name() const { return name_; }
  std::chrono::milliseconds interval() const { return interval_; }

private:
  std::string name_;
  std::chrono::milliseconds interval_;
  std::function<void()> action_;
  std::chrono::milliseconds pending_{0};
};

class EnvironmentSettings {
public:
  // Loads the root file (userRootDirectory() + "/settings.xml") and the
  // per-version file (userVersionDirectory() + "/settings.xml"). With
  // `withSaveTimer`, a hook named "environment-settings-save-timer" saves
  // every 60000 ms of reported time.
  explicit EnvironmentSettings(bool withSaveTimer);
  EnvironmentSettings(const EnvironmentSettings&) = delete;
  EnvironmentSettings& operator=(const EnvironmentSettings&) = delete;
  virtual ~EnvironmentSettings();

  // Creates every setting of the catalogue; a second call does nothing.
  virtual void buildCatalogue();

  // Syncs the per-version file, then the root file. Values listed through
  // trackValue re-read their text after a sync that merged in another
  // writer's file. Does nothing while saving is off.
  void saveSettings();
  void setSaving(bool on) { saving_ = on; }
  bool saving() const { return saving_; }

  Settings& settings(SettingsStore selector) { return selector == SettingsStore::Root ? root_ : version_; }
  Settings& rootSettings() { return root_; }
  Settings& versionSettings() { return version_; }

  // Lists `value` on the page `page` names (canonicalised), once.
  void registerOnPage(std::string_view page, PropertyValue* value);
  // The values listed on a page (any of its names), or null.
  const PropertyValueList* page(std::string_view name) const;
  const std::map<std::string, PropertyValueList, std::less<>>& pages() const { return pages_; }

  // Takes a definition, creates its value and lists it on `registeredPage`
  // (when not empty) besides its definition's own page.
  EnvironmentPropertyValue* addSetting(std::unique_ptr<PropertyClass> definition, SettingsStore selector,
                                       std::string_view registeredPage);
  // The catalogue's values, in creation order. Each value's definition is
  // owned here too.
  const std::vector<std::unique_ptr<EnvironmentPropertyValue>>& values() const { return values_; }
  // Looks the key up among the values (a linear search: lookups are rare and
  // an index would cost every run memory it never uses).
  EnvironmentPropertyValue* find(std::string_view key) const;

  // A value whose cached text must be dropped when a sync merges another
  // writer's file in. Components that keep values alive register them here.
  void trackValue(std::string name, EnvironmentPropertyValue* value) { trackedValues_[std::move(name)] = value; }

  PeriodicHook* saveTimer() { return saveTimer_.get(); }

private:
  Settings root_;
  Settings version_;
  std::map<std::string, PropertyValueList, std::less<>> pages_;
  std::map<std::string, EnvironmentPropertyValue*> trackedValues_;
  bool saving_ = true;
  std::unique_ptr<PeriodicHook> saveTimer_;
  bool catalogueBuilt_ = false;
  std::vector<std::unique_ptr<PropertyClass>> definitions_;
  std::vector<std::unique_ptr<EnvironmentPropertyValue>> values_;
};

// The process-wide store; null until the entry point creates it.
EnvironmentSettings* environmentSettings();
void setEnvironmentSettings(EnvironmentSettings* store);

}  // namespace rw

// The catalogue of environment settings: one row per setting, in the order
// the store creates them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "environment/property_class.h"
#include "environment/property_value.h"

namespace rw {

class EnvironmentSettings;

// The way a definition is made (see the make*Property functions).
enum class DefinitionKind : uint8_t {
  Full = 1,
  Numeric = 2,
  Enumerated = 3,
  Boolean = 4,
  RangedDescribed = 5,
  Described = 6,
};

// The allowed values of an enumerated row.
enum class ChoiceList : uint8_t {
  None,
  YesNo,
  CaretStyles,
  LineNumberModes,
  MateMatchingModes,
  UndoModes,
  SearchContexts,
  PageOrientations,
  PageSizes,
  VariableDisplayModes,
  FloatingPointFormats,
  PropertyDisplayFormats,
  MouseActions,
  BookmarkFills,
  TextCodecs,
  // Read at build time from the installation's "styles.xml".
  FormattingStyles,
};

// What a row's default text is relative to.
enum class DefaultBase : uint8_t {
  None,
  DocumentsDirectory,  // the default follows the user's documents directory
};

struct CatalogueRow {
  std::string_view key;
  DefinitionKind kind;
  PropertyType type;
  std::string_view page;
  std::string_view group;
  std::string_view shortName;
  std::string_view longText;
  // A number in decimal for numeric rows.
  std::string_view defaultValue;
  int32_t minimum;
  int32_t maximum;
  std::string_view specialValueText;
  std::string_view suffix;
  SettingsStore store;
  // The page the catalogue registers the value on, besides its definition's
  // own page; empty for settings that are never shown.
  std::string_view registeredPage;
  ChoiceList choices;
  DefaultBase defaultBase;
};

// Every setting, in catalogue order.
std::span<const CatalogueRow> catalogueRows();

// The allowed values of `list`; FormattingStyles gives nothing here (the
// styles come from a file, see readFormattingStyles).
std::vector<std::string_view> choiceItems(ChoiceList list);

// The "name" attribute of every element of the installation's style list,
// "$(StudioDir)/bin/styles.xml", in document order. Nothing when the file
// cannot be read.
std::vector<std::string> readFormattingStyles();

// The definition a row describes. `styles` supplies the FormattingStyles
// choices.
PropertyClass makeCatalogueDefinition(const CatalogueRow& row, const std::vector<std::string>& styles);

// Creates every catalogue setting in `store`.
void buildEnvironmentCatalogue(EnvironmentSettings& store);

}  // namespace rw

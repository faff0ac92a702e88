#include "environment/catalogue.h"

#include <array>
#include <charconv>
#include <memory>

#include "environment/environment_settings.h"
#include "environment/macros.h"
#include "environment/paths.h"
#include "xml/xml_document.h"

namespace rw {

namespace {

constexpr std::string_view kYesNo[] = {"Yes", "No"};
constexpr std::string_view kCaretStyles[] = {"Steady Underline",   "Steady Block",   "Steady Vertical Bar",
                                             "Blinking Underline", "Blinking Block", "Blinking Vertical Bar"};
constexpr std::string_view kLineNumberModes[] = {"Every 10 Lines", "Every 5 Lines", "All Lines", "Current Line", "Off"};
constexpr std::string_view kMateMatchingModes[] = {"Always Match", "Match When Typing", "Never Match"};
constexpr std::string_view kUndoModes[] = {"Whole Of Last Insertion", "Individual Words", "Individual Characters"};
constexpr std::string_view kSearchContexts[] = {"Folder And Sub-folders", "Single Folder Only", "Entire Solution",
                                                "Current Project",        "All Open Documents", "Current Document"};
constexpr std::string_view kPageOrientations[] = {"Landscape", "Portrait"};
constexpr std::string_view kPageSizes[] = {
    "A4", "B5", "Letter", "Legal", "Executive", "A0", "A1", "A2", "A3", "A5", "A6", "A7", "A8", "A9", "B0",
    "B1", "B10", "B2", "B3", "B4", "B6", "B7", "B8", "B9", "Envelope C5", "Envelope #10", "Envelope DL", "Folio",
    "Ledger", "Tabloid"};
constexpr std::string_view kVariableDisplayModes[] = {"Hexadecimal", "Decimal", "Binary",
                                                      "Unsigned Decimal", "ASCII", "Octal"};
constexpr std::string_view kFloatingPointFormats[] = {"%e", "%f", "%g"};
constexpr std::string_view kPropertyDisplayFormats[] = {"Categorically", "Alphabetically"};
constexpr std::string_view kMouseActions[] = {"Paste",           "Go To Include",    "Go To Method", "Find Help",
                                              "Find in Solution", "Find References", "Go To Definition", "Default"};
constexpr std::string_view kTextCodecs[] = {
    "Default~~Common",       "UTF-8~~Common",         "ISO-8859-1~~ISO",      "ISO-8859-2~~ISO",
    "ISO-8859-3~~ISO",       "ISO-8859-4~~ISO",       "ISO-8859-5~~ISO",      "ISO-8859-6~~ISO",
    "ISO-8859-7~~ISO",       "ISO-8859-8~~ISO",       "ISO-8859-9~~ISO",      "ISO-8859-10~~ISO",
    "ISO-8859-13~~ISO",      "ISO-8859-14~~ISO",      "ISO-8859-15~~ISO",     "ISO-8859-16~~ISO",
    "CP 850~~Code Pages",    "CP 866~~Code Pages",    "CP 874~~Code Pages",   "CP 1250~~Code Pages",
    "CP 1251~~Code Pages",   "CP 1252~~Code Pages",   "CP 1253~~Code Pages",  "CP 1254~~Code Pages",
    "CP 1255~~Code Pages",   "CP 1256~~Code Pages",   "CP 1257~~Code Pages",  "CP 1258~~Code Pages",
    "BIG-5~~Eastern",        "BIG5-HKSCS~~Eastern",   "EUC-JP~~Eastern",      "EUC-KR~~Eastern",
    "GB2312~~Eastern",       "GBK~~Eastern",          "GB18030~~Eastern",     "ISO-2022-JP~~Eastern",
    "Shift-JIS~~Eastern",    "TSCII~~Eastern",        "KOI8-R~~Eastern",      "KOI8-U~~Eastern",
    "TIS-620~~Eastern",      "UTF-16~~Others",        "Apple Roman~~Others",  "HP-Roman8~~Others"};

// The named colours, numbered from 1 in this order.
constexpr std::string_view kNamedColours[] = {
    "Red",       "Orange",      "Peach",       "Yellow",      "Green",      "Teal",      "Olive",
    "Blue",      "Purple",      "Maroon",      "Steel",       "Dark Steel", "Gray",      "Dark Gray",
    "Charcoal",  "Dark Red",    "Dark Orange", "Dark Peach",  "Dark Yellow", "Dark Green", "Dark Teal",
    "Dark Olive", "Dark Blue",  "Dark Purple", "Dark Maroon"};
// Too dark or too grey to tell a bookmark from the text behind it.
constexpr std::string_view kNotBookmarkFills[] = {"Steel", "Dark Steel", "Gray", "Dark Gray", "Charcoal"};

std::vector<std::string_view> bookmarkFills() {
  std::vector<std::string_view> fills;
  for (std::string_view colour : kNamedColours) {
    bool excluded = false;
    for (std::string_view grey : kNotBookmarkFills) excluded = excluded || grey == colour;
    if (!excluded) fills.push_back(colour);
  }
  return fills;
}

template <size_t N>
std::vector<std::string_view> items(const std::string_view (&list)[N]) {
  return std::vector<std::string_view>(list, list + N);
}

int32_t numberOf(std::string_view text) {
  int32_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

std::vector<std::string_view> choiceItems(ChoiceList list) {
  switch (list) {
    case ChoiceList::None: return {};
    case ChoiceList::YesNo: return items(kYesNo);
    case ChoiceList::CaretStyles: return items(kCaretStyles);
    case ChoiceList::LineNumberModes: return items(kLineNumberModes);
    case ChoiceList::MateMatchingModes: return items(kMateMatchingModes);
    case ChoiceList::UndoModes: return items(kUndoModes);
    case ChoiceList::SearchContexts: return items(kSearchContexts);
    case ChoiceList::PageOrientations: return items(kPageOrientations);
    case ChoiceList::PageSizes: return items(kPageSizes);
    case ChoiceList::VariableDisplayModes: return items(kVariableDisplayModes);
    case ChoiceList::FloatingPointFormats: return items(kFloatingPointFormats);
    case ChoiceList::PropertyDisplayFormats: return items(kPropertyDisplayFormats);
    case ChoiceList::MouseActions: return items(kMouseActions);
    case ChoiceList::BookmarkFills: return bookmarkFills();
    case ChoiceList::TextCodecs: return items(kTextCodecs);
    case ChoiceList::FormattingStyles: return {};
  }
  return {};
}

std::vector<std::string> readFormattingStyles() {
  const PropertyClassList* table = systemMacroTable();
  const std::string path =
      table != nullptr ? expandSystemMacros(*table, "$(StudioDir)/bin/styles.xml") : "$(StudioDir)/bin/styles.xml";
  XMLDocument doc(false);
  if (!doc.load(path)) return {};
  std::vector<std::string> styles;
  // Every element with a name, in document order; walked without recursion
  // since the file's nesting is not ours to bound.
  XMLNode* node = doc.root;
  while (node != nullptr) {
    if (const XMLElement* element = asElement(node)) {
      // An empty name offers nothing to choose.
      const std::optional<std::string_view> name = element->getAttribute("name");
      if (name && !name->empty()) styles.emplace_back(*name);
    }
    if (node->firstChild != nullptr) {
      node = node->firstChild;
      continue;
    }
    while (node != nullptr && node != doc.root && node->nextSibling == nullptr) node = node->parent;
    node = node == nullptr || node == doc.root ? nullptr : node->nextSibling;
  }
  return styles;
}

PropertyClass makeCatalogueDefinition(const CatalogueRow& row, const std::vector<std::string>& styles) {
  // The rows are static data: the definition refers to their texts.
  auto text = [](std::string_view t) { return PropertyText::fromStatic(t); };
  PropertyText defaultValue = text(row.defaultValue);
  if (row.defaultBase == DefaultBase::DocumentsDirectory) defaultValue = documentsDirectory() + defaultValue.str();
  PropertyClass p;
  switch (row.kind) {
    case DefinitionKind::Full:
      p = makeFullProperty(text(row.key), row.type, text(row.page), text(row.group), text(row.shortName),
                           text(row.longText), std::move(defaultValue), 0);
      break;
    case DefinitionKind::Numeric:
      p = makeNumericProperty(text(row.key), row.type, row.minimum, row.maximum, text(row.page), text(row.group),
                              text(row.shortName), text(row.longText), numberOf(row.defaultValue), 0);
      break;
    case DefinitionKind::Enumerated: {
      std::vector<PropertyText> choices;
      if (row.choices == ChoiceList::FormattingStyles) {
        choices.assign(styles.begin(), styles.end());
      } else {
        for (std::string_view item : choiceItems(row.choices)) choices.push_back(text(item));
      }
      p = makeEnumeratedProperty(text(row.key), row.type, choices, text(row.page), text(row.group),
                                 text(row.shortName), text(row.longText), std::move(defaultValue), 0);
      break;
    }
    case DefinitionKind::Boolean:
      p = makeBooleanProperty(text(row.key), text(row.page), text(row.group), text(row.shortName),
                              text(row.longText), std::move(defaultValue), 0);
      break;
    case DefinitionKind::RangedDescribed:
      p = makeRangedDescribedProperty(text(row.key), row.type, row.minimum, row.maximum, 0);
      break;
    case DefinitionKind::Described:
      p = makeDescribedProperty(text(row.key), row.type, 0);
      break;
  }
  if (!row.specialValueText.empty()) p.specialValueText = text(row.specialValueText);
  if (!row.suffix.empty()) p.suffix = text(row.suffix);
  return p;
}

void buildEnvironmentCatalogue(EnvironmentSettings& store) {
  const std::vector<std::string> styles = readFormattingStyles();
  for (const CatalogueRow& row : catalogueRows()) {
    store.addSetting(std::make_unique<PropertyClass>(makeCatalogueDefinition(row, styles)), row.store,
                     row.registeredPage);
  }
}

}  // namespace rw

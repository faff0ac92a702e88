// The environment settings, one row each, in the order the store creates
// them. Rows are written through small constructors named after the way
// each definition is made, so every row reads as the data it is.
#include <array>

#include "environment/catalogue.h"

namespace rw {

namespace {

using T = PropertyType;
using C = ChoiceList;

constexpr std::string_view kEnv = "Environment";
constexpr std::string_view kEditor = "Text Editor";
constexpr std::string_view kBuild = "Building";
constexpr std::string_view kWindows = "Windows";
constexpr std::string_view kDebug = "Debugging";
constexpr std::string_view kSourceControl = "Source Control";
constexpr std::string_view kHidden = "(Internal)";

constexpr CatalogueRow row(std::string_view key, DefinitionKind kind, T type, std::string_view page,
                           std::string_view group, std::string_view shortName, std::string_view longText,
                           std::string_view defaultValue, std::string_view registeredPage) {
  return CatalogueRow{key,   kind, type, page, group,           shortName,    longText, defaultValue,
                      0,     0,    "",   "",   SettingsStore::Version, registeredPage, C::None, DefaultBase::None};
}

constexpr std::string_view visible(std::string_view page) { return page == kHidden ? std::string_view() : page; }

constexpr CatalogueRow full(std::string_view key, T type, std::string_view page, std::string_view group,
                            std::string_view shortName, std::string_view longText, std::string_view defaultValue = "") {
  return row(key, DefinitionKind::Full, type, page, group, shortName, longText, defaultValue, visible(page));
}

constexpr CatalogueRow hidden(std::string_view key, T type, std::string_view shortName,
                              std::string_view defaultValue = "") {
  return full(key, type, kHidden, "", shortName, "", defaultValue);
}

constexpr CatalogueRow numeric(std::string_view key, int32_t minimum, int32_t maximum, std::string_view page,
                               std::string_view group, std::string_view shortName, std::string_view longText,
                               std::string_view defaultNumber, std::string_view specialValueText = "",
                               std::string_view suffix = "") {
  CatalogueRow r = row(key, DefinitionKind::Numeric, T::IntegerRange, page, group, shortName, longText, defaultNumber,
                       visible(page));
  r.minimum = minimum;
  r.maximum = maximum;
  r.specialValueText = specialValueText;
  r.suffix = suffix;
  return r;
}

constexpr CatalogueRow enumerated(std::string_view key, T type, C choices, std::string_view page,
                                  std::string_view group, std::string_view shortName, std::string_view longText,
                                  std::string_view defaultValue) {
  CatalogueRow r =
      row(key, DefinitionKind::Enumerated, type, page, group, shortName, longText, defaultValue, visible(page));
  r.choices = choices;
  return r;
}

constexpr CatalogueRow boolean(std::string_view key, std::string_view page, std::string_view group,
                               std::string_view shortName, std::string_view longText, std::string_view defaultValue) {
  return row(key, DefinitionKind::Boolean, T::Boolean, page, group, shortName, longText, defaultValue, visible(page));
}

constexpr CatalogueRow ranged(std::string_view key, int32_t minimum, int32_t maximum, std::string_view registeredPage,
                              std::string_view specialValueText = "", std::string_view suffix = "") {
  CatalogueRow r = row(key, DefinitionKind::RangedDescribed, T::IntegerRange, "", "", "", "", "", registeredPage);
  r.minimum = minimum;
  r.maximum = maximum;
  r.specialValueText = specialValueText;
  r.suffix = suffix;
  return r;
}

constexpr CatalogueRow described(std::string_view key, T type, std::string_view registeredPage) {
  return row(key, DefinitionKind::Described, type, "", "", "", "", "", registeredPage);
}

constexpr CatalogueRow inRootFile(CatalogueRow r) {
  r.store = SettingsStore::Root;
  return r;
}

constexpr CatalogueRow underDocuments(CatalogueRow r) {
  r.defaultBase = DefaultBase::DocumentsDirectory;
  return r;
}

constexpr CatalogueRow mouseAction(std::string_view key, std::string_view shortName, std::string_view longText,
                                   std::string_view defaultValue) {
  return enumerated(key, T::Enumeration, C::MouseActions, kEditor, "Mouse Options", shortName, longText, defaultValue);
}

constexpr CatalogueRow datatip(std::string_view key, std::string_view mode, std::string_view longText,
                               std::string_view defaultValue) {
  return boolean(key, kDebug, "Extended Data Tips Options", mode, longText, defaultValue);
}

constexpr std::string_view kBuildOptions = "Build Options";
constexpr std::string_view kVisual = "Visual Appearance";
constexpr std::string_view kEditing = "Editing Options";
constexpr std::string_view kFindReplace = "Find And Replace Options";
constexpr std::string_view kFileSearch = "File Search Options";
constexpr std::string_view kInternet = "Internet Options";
constexpr std::string_view kPrint = "Print Options";
constexpr std::string_view kDisplay = "Display Options";
constexpr std::string_view kFence = "Cursor Fence Options";

constexpr CatalogueRow kRows[] = {
    hidden("Environment/Main Window/State", T::String, "State", "Maximized"),
    hidden("Environment/Main Window/Geometry", T::String, "Geometry"),
    hidden("Environment/Main Window/Toolbar State", T::String, "Toolbar State"),
    hidden("Environment/Bookmarks", T::StringList, "Bookmarks"),
    enumerated("Environment/Bookmark Default Fill", T::Enumeration, C::BookmarkFills, kHidden, "",
               "Bookmark Default Fill", "", "Green"),
    hidden("Environment/HUD List", T::StringList, "HUD List"),
    numeric("Environment/Error Display Timeout", 2, 10, kEnv, "User Interface Options", "Error Display Timeout",
            "The time an error message stays on screen.", "3", "None", "seconds"),
    hidden("Environment/Output Window View", T::Enumeration, "Output Window View", "Tasks"),
    described("Environment/Splash Screen", T::Boolean, kEnv),
    ranged("Environment/Max Window Menu Items", 1, 9, kEnv),
    described("Environment/Permit Multiple Studio Instances", T::Boolean, kEnv),
    inRootFile(described("Environment/Launcher Enabled", T::Boolean, kEnv)),
    inRootFile(described("Environment/Launcher Use Latest Installations Only", T::Boolean, kEnv)),
    described("Environment/Status Bar", T::Boolean, kEnv),
    described("Environment/Size Display Unit", T::Enumeration, kEnv),
    described("Environment/Error Display Mode", T::Enumeration, kEnv),
    described("Environment/Number Menus", T::Boolean, kEnv),
    described("Environment/Show Selector", T::Boolean, kEnv),
    described("Environment/Application Main Font", T::Font, kEnv),
    described("Environment/Application Monospace Font", T::FixedPitchFont, kEnv),
    described("Environment/Show Transcript On Build", T::Boolean, kEnv),
    boolean("Environment/Clear Debug Terminal On Run", kDebug, "Window Options", "Clear Debug Terminal On Run",
            "Specifies whether the debug terminal is cleared each time the program runs.", "Yes"),
    full("Environment/External Web Browser", T::FileName, kEnv, kInternet, "External Web Browser",
         "The program that opens web pages outside the environment.", "firefox"),
    hidden("Environment/Perspectives", T::StringList, "Perspectives", "Browse;Help;Hide Docks"),
    boolean("Environment/Load Last Project On Startup", kEnv, "Startup Options", "Load Last Project On Startup",
            "Specifies whether to load the last project the next time Pellworth runs.", "Yes"),

    hidden("Text Editor/Color Scheme V4", T::String, "Color Scheme"),
    ranged("Text Editor/Backup File Depth", 0, 9, kEditor, "No", "files"),
    ranged("Text Editor/Auto Recovery Backup Time", 0, 1440, kEditor, "Disabled", "minutes"),
    ranged("Text Editor/Auto Recovery Keep Time", 0, 365, kEditor, "Disabled", "days"),
    described("Text Editor/HScroll Bar", T::Boolean, kEditor),
    described("Text Editor/VScroll Bar", T::Boolean, kEditor),
    described("Text Editor/Mini Toolbar", T::Boolean, kEditor),
    described("Text Editor/Copy On Mouse Select", T::Boolean, kEditor),
    described("Text Editor/Icon Gutter", T::Boolean, kEditor),
    described("Text Editor/Drag Drop Editing", T::Boolean, kEditor),
    described("Text Editor/Suggest Completion While Typing", T::Boolean, kEditor),
    described("Text Editor/Preprocessor Definition Suggestions", T::Boolean, kEditor),
    described("Text Editor/Template Suggestions", T::Boolean, kEditor),
    ranged("Text Editor/Template Suggestions Characters", 1, 9, kEditor),
    described("Text Editor/FIXME Tags", T::StringList, kEditor),
    described("Text Editor/ATTENTION Tags", T::StringList, kEditor),
    described("Text Editor/LINT Tags", T::StringList, kEditor),
    described("Text Editor/Auto Surround", T::Boolean, kEditor),
    described("Text Editor/Auto Comment", T::Boolean, kEditor),
    described("Text Editor/Mouse Wheel Adjusts Font Size", T::Boolean, kEditor),
    described("Text Editor/Ask For Index", T::Boolean, kEditor),
    described("Text Editor/Show Tooltip", T::Boolean, kEditor),
    described("Text Editor/Show Inactive Code", T::Boolean, kEditor),
    ranged("Text Editor/Inactive Code Opacity", 0, 100, kEditor),
    enumerated("Text Editor/FormattingStyle", T::Enumeration, C::FormattingStyles, kEditor, "Formatting Options",
               "Formatting Style", "The style that source formatting follows.", "LLVM"),
    described("Text Editor/Delete Trailing Space On Save", T::Boolean, kEditor),
    described("Text Editor/Cleanup Tabs On Save", T::Boolean, kEditor),
    described("Text Editor/Default Line Endings", T::Enumeration, kEditor),
    described("Text Editor/Column Mode Tab", T::Boolean, kEditor),
    described("Text Editor/Spell Checking", T::Boolean, kEditor),
    described("Text Editor/Enable Popup Diagnostics", T::Boolean, kEditor),
    described("Text Editor/Bold Popup Diagnostics", T::Boolean, kEditor),
    described("Text Editor/Diagnostic Cycle Mode", T::Enumeration, kEditor),
    described("Text Editor/Highlight Cursor Line", T::Boolean, kEditor),
    described("Text Editor/Highlight All Selected Text", T::Boolean, kEditor),
    described("Text Editor/Font", T::FixedPitchFont, kEditor),
    described("Text Editor/Font Rendering", T::Enumeration, kEditor),
    ranged("Text Editor/Antialias Threshold", 5, 20, kEditor),
    described("Text Editor/Confirm Modified File Reload", T::Boolean, kEditor),
    described("Text Editor/Numeric Keypad Enabled", T::Boolean, kEditor),
    described("Text Editor/Cut Blank Lines", T::Boolean, kEditor),
    described("Text Editor/Cut Action", T::Enumeration, kEditor),
    described("Text Editor/Copy Action", T::Enumeration, kEditor),
    boolean("Text Editor/Hide Cursor When Typing", kEditor, kEditing, "Hide Cursor When Typing",
            "Specifies whether the mouse pointer is hidden while you type.", "No"),
    boolean("Text Editor/Ibeam cursor", kEditor, kVisual, "I-beam Cursor",
            "Specifies whether the mouse pointer is an I-beam over text.", "Yes"),
    boolean("Text Editor/Enable Virtual Space", kEditor, kEditing, "Enable Virtual Space",
            "Specifies whether the cursor can move past the end of a line.", "No"),
    boolean("Text Editor/Tab Key Indents Preprocessor Directives", kEditor, kEditing,
            "Tab Key Indents Preprocessor Directives",
            "Specifies whether the tab key indents lines that hold preprocessor directives.", "Yes"),
    enumerated("Text Editor/Insert Caret Style", T::Enumeration, C::CaretStyles, kEditor, kVisual,
               "Insert Caret Style", "The shape of the caret in insert mode.", "Blinking Vertical Bar"),
    enumerated("Text Editor/Overwrite Caret Style", T::Enumeration, C::CaretStyles, kEditor, kVisual,
               "Overwrite Caret Style", "The shape of the caret in overwrite mode.", "Blinking Block"),
    enumerated("Text Editor/Line Number Mode", T::Enumeration, C::LineNumberModes, kEditor, kVisual, "Line Numbers",
               "Which lines show their numbers in the margin.", "Every 10 Lines"),
    enumerated("Text Editor/Mate Matching Mode", T::Enumeration, C::MateMatchingModes, kEditor, kVisual,
               "Mate Matching Mode", "When the bracket matching the one at the cursor is highlighted.",
               "Always Match"),
    enumerated("Text Editor/Default Codec", T::Enumeration, C::TextCodecs, kEditor, "International",
               "Default Text File Encoding", "The encoding of text files that do not declare their own.", "Default"),
    described("Text Editor/Diagnostic Icons", T::Boolean, kEditor),
    boolean("Text Editor/Edit Read Only", kEditor, kEditing, "Edit Read Only",
            "Specifies whether read-only files can be changed in the editor.", "Yes"),
    enumerated("Text Editor/Undo Mode", T::Enumeration, C::UndoModes, kEditor, kEditing, "Undo And Redo Behavior",
               "How much text one undo or redo step takes back.", "Individual Words"),

    numeric("Environment/Build/Building Threads", 0, 16, kBuild, "Build Acceleration", "Building Threads",
            "The number of compilations that run at once.", "0", "Auto"),
    boolean("Environment/Build/Parallel Project Building", kBuild, "Build Acceleration", "Parallel Project Building",
            "Specifies whether independent projects build at the same time.", "No"),
    full("Environment/Build/Tool Chain Root Directory", T::String, kBuild, kBuildOptions, "Tool Chain Root Directory",
         "The directory that holds the compilers, assemblers and linkers.", "$(StudioDir)"),
    boolean("Environment/Build/Confirm Debugger Stop", kBuild, kBuildOptions, "Confirm Debugger Stop",
            "Specifies whether to ask before a build stops the debugger.", "Yes"),
    boolean("Environment/Build/Show Command Lines", kBuild, kBuildOptions, "Show Command Lines",
            "Specifies whether the build shows the command lines it runs.", "No"),
    boolean("Environment/Build/Show Unparsed Error Output", kBuild, kBuildOptions, "Show Unparsed Error Output",
            "Specifies whether tool output that is not a recognised message is shown.", "No"),
    boolean("Environment/Build/Build Before Debug", kBuild, kBuildOptions, "Build Before Debug",
            "Specifies whether the project builds before a debug session starts.", "No"),
    described("Environment/Build/Find Error After Build", T::Boolean, kBuild),
    boolean("Environment/Build/Save Project File On Build", kBuild, kBuildOptions, "Save Project File On Build",
            "Specifies whether the project file is saved before a build.", "Yes"),
    boolean("Environment/Build/Show Build Information", kBuild, kBuildOptions, "Show Build Information",
            "Specifies whether the build reports its configuration and timing.", "No"),
    boolean("Environment/Build/Keep Going On Error", kBuild, kBuildOptions, "Keep Going On Error",
            "Specifies whether the build continues with other files after an error.", "No"),
    boolean("Environment/Build/Disable Unity Build", kBuild, kBuildOptions, "Disable Unity Build",
            "Specifies whether unity builds are turned off.", "No"),
    boolean("Environment/Build/Display Progress Bar", kBuild, kBuildOptions, "Display Progress Bar",
            "Specifies whether a progress bar shows how far the build has got.", "Yes"),
    boolean("Environment/Build/Display ETA", kBuild, kBuildOptions, "Display ETA",
            "Specifies whether the build estimates the time it still needs.", "Yes"),

    described("Environment/Macros/Global Macros", T::StringList, kBuild),

    described("Environment/Variable Window/Show Address Column", T::Boolean, kDebug),
    described("Environment/Variable Window/Show Size Column", T::Boolean, kDebug),
    described("Environment/Variable Window/Show Type Column", T::Boolean, kDebug),
    described("Environment/Variable Window/Show Member Functions", T::Boolean, kDebug),

    described("Environment/Call Stack/Show Parameter Names", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Parameter Values", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Parameter Types", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Call Location", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Call Address", T::Boolean, kDebug),
    described("Environment/Call Stack/Most Recent At Top", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Stack Pointer", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Stack Usage", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Stack Usage In Bytes", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Cumulative Stack Usage", T::Boolean, kDebug),
    described("Environment/Call Stack/Show Cumulative Stack Usage In Bytes", T::Boolean, kDebug),

    described("Text Editor/Formatting/AccessModifierOffset", T::Integer, kEditor),
    described("Text Editor/Formatting/AlignAfterOpenBracket", T::Boolean, kEditor),
    // The blank at the end belongs to the key: files written by earlier
    // versions hold it that way.
    described("Text Editor/Formatting/AlignConsecutiveAssignments ", T::Boolean, kEditor),
    described("Text Editor/Formatting/AlignEscapedNewlinesLeft", T::Boolean, kEditor),
    described("Text Editor/Formatting/AlignOperands", T::Boolean, kEditor),
    described("Text Editor/Formatting/AlignTrailingComments", T::Boolean, kEditor),
    described("Text Editor/Formatting/AllowAllParametersOfDeclarationOnNextLine", T::Boolean, kEditor),
    described("Text Editor/Formatting/AllowShortBlocksOnASingleLine", T::Boolean, kEditor),
    described("Text Editor/Formatting/AllowShortCaseLabelsOnASingleLine", T::Boolean, kEditor),
    described("Text Editor/Formatting/AllowShortFunctionsOnASingleLine", T::Enumeration, kEditor),
    described("Text Editor/Formatting/AllowShortIfStatementsOnASingleLine", T::Boolean, kEditor),
    described("Text Editor/Formatting/AllowShortLoopsOnASingleLine", T::Boolean, kEditor),
    described("Text Editor/Formatting/AlwaysBreakAfterDefinitionReturnType", T::Boolean, kEditor),
    described("Text Editor/Formatting/AlwaysBreakBeforeMultilineStrings", T::Boolean, kEditor),
    described("Text Editor/Formatting/AlwaysBreakTemplateDeclarations", T::Boolean, kEditor),
    described("Text Editor/Formatting/BinPackArguments", T::Boolean, kEditor),
    described("Text Editor/Formatting/BinPackParameters", T::Boolean, kEditor),
    described("Text Editor/Formatting/BreakBeforeBinaryOperators", T::Enumeration, kEditor),
    described("Text Editor/Formatting/BreakBeforeBraces", T::Enumeration, kEditor),
    described("Text Editor/Formatting/BreakBeforeTernaryOperators", T::Boolean, kEditor),
    described("Text Editor/Formatting/BreakConstructorInitializersBeforeComma", T::Boolean, kEditor),
    described("Text Editor/Formatting/ColumnLimit", T::Integer, kEditor),
    described("Text Editor/Formatting/CommentPragmas", T::String, kEditor),
    described("Text Editor/Formatting/ConstructorInitializerAllOnOneLineOrOnePerLine", T::Boolean, kEditor),
    described("Text Editor/Formatting/ConstructorInitializerIndentWidth", T::Integer, kEditor),
    described("Text Editor/Formatting/ContinuationIndentWidth", T::Integer, kEditor),
    described("Text Editor/Formatting/Cpp11BracedListStyle", T::Boolean, kEditor),
    described("Text Editor/Formatting/DerivePointerBinding", T::Boolean, kEditor),
    described("Text Editor/Formatting/ForEachMacros", T::StringList, kEditor),
    described("Text Editor/Formatting/IndentCaseLabels", T::Boolean, kEditor),
    described("Text Editor/Formatting/IndentWidth", T::Integer, kEditor),
    described("Text Editor/Formatting/IndentWrappedFunctionNames", T::Boolean, kEditor),
    described("Text Editor/Formatting/KeepEmptyLinesAtTheStartOfBlocks", T::Boolean, kEditor),
    described("Text Editor/Formatting/MaxEmptyLinesToKeep", T::Integer, kEditor),
    described("Text Editor/Formatting/NamespaceIndentation", T::Enumeration, kEditor),
    ranged("Text Editor/Formatting/PenaltyBreakBeforeFirstCallParameter", 1, 1000000, kEditor),
    ranged("Text Editor/Formatting/PenaltyBreakComment", 1, 1000000, kEditor),
    ranged("Text Editor/Formatting/PenaltyBreakFirstLessLess", 1, 1000000, kEditor),
    ranged("Text Editor/Formatting/PenaltyBreakString", 1, 1000000, kEditor),
    ranged("Text Editor/Formatting/PenaltyExcessCharacter", 1, 1000000, kEditor),
    ranged("Text Editor/Formatting/PenaltyReturnTypeOnItsOwnLine", 1, 1000000, kEditor),
    described("Text Editor/Formatting/PointerAlignment", T::Enumeration, kEditor),
    described("Text Editor/Formatting/SpaceAfterCStyleCast", T::Boolean, kEditor),
    described("Text Editor/Formatting/SpaceBeforeAssignmentOperators", T::Boolean, kEditor),
    described("Text Editor/Formatting/SpaceBeforeParens", T::Enumeration, kEditor),
    described("Text Editor/Formatting/SpaceInEmptyParentheses", T::Boolean, kEditor),
    ranged("Text Editor/Formatting/SpacesBeforeTrailingComments", 1, 100, kEditor),
    described("Text Editor/Formatting/SpacesInAngles", T::Boolean, kEditor),
    described("Text Editor/Formatting/SpacesInCStyleCastParentheses", T::Boolean, kEditor),
    described("Text Editor/Formatting/SpacesInContainerLiterals", T::Boolean, kEditor),
    described("Text Editor/Formatting/SpacesInParentheses", T::Boolean, kEditor),
    described("Text Editor/Formatting/SpacesInSquareBrackets", T::Boolean, kEditor),
    described("Text Editor/Formatting/Standard", T::Enumeration, kEditor),
    ranged("Text Editor/Formatting/TabWidth", 1, 100, kEditor),
    described("Text Editor/Formatting/UseTab", T::Enumeration, kEditor),

    described("Environment/General/Ribbon/Show", T::Boolean, kEnv),
    described("Environment/General/Status Bar/Show Target", T::Boolean, kEnv),
    described("Environment/General/Status Bar/Show Build Status", T::Boolean, kEnv),
    described("Environment/General/Status Bar/Show Insert Mode", T::Boolean, kEnv),
    described("Environment/General/Status Bar/Show Caret Pos", T::Boolean, kEnv),
    described("Environment/General/Status Bar/Show Read Only", T::Boolean, kEnv),
    described("Environment/General/Status Bar/Show Time", T::Boolean, kEnv),
    described("Environment/General/Status Bar/Show Size Grip", T::Boolean, kEnv),
    described("Environment/General/Title Bar/Show Full Solution Path", T::Boolean, kEnv),
    described("Environment/General/Large Icons", T::Boolean, kEnv),
    underDocuments(full("Environment/General/Solution Directory", T::String, kEnv, "Startup Options",
                        "New Project Directory", "The directory where projects are created.", "/Larkspan Projects/")),

    described("Project Explorer/Confirm Configuration Folder Delete", T::Boolean, kWindows),
    described("Project Explorer/Confirm Reject Property Changes", T::Boolean, kWindows),
    described("Project Explorer/Confirm File Replacement Warning", T::Boolean, kWindows),

    described("Environment/Project Explorer/External Editor", T::FileName, kWindows),
    described("Environment/Project Explorer/Starred File Names", T::StringList, kWindows),
    described("Environment/Project Explorer/Favorite Properties", T::StringList, kWindows),
    described("Environment/Project Explorer/Sync Editor", T::Boolean, kWindows),
    described("Environment/Project Explorer/Count Files", T::Boolean, kWindows),
    described("Environment/Project Explorer/Count Projects", T::Boolean, kWindows),
    described("Environment/Project Explorer/Color Nodes", T::Boolean, kWindows),
    described("Environment/Project Explorer/Show Non-Local Overlay", T::Boolean, kWindows),
    described("Environment/Project Explorer/Show Dynamic Overlay", T::Boolean, kWindows),
    described("Environment/Project Explorer/Show Modified Properties", T::Boolean, kWindows),
    described("Environment/Project Explorer/Statistics Display", T::Boolean, kWindows),
    described("Environment/Project Explorer/Statistics Format", T::Enumeration, kWindows),
    described("Environment/Project Explorer/Statistics Read-Only Data Handling", T::Enumeration, kWindows),
    described("Environment/Project Explorer/Dependencies Display", T::Enumeration, kWindows),
    described("Environment/Project Explorer/Properties Display", T::StringList, kWindows),
    described("Environment/Project Explorer/Common Properties Display", T::StringList, kWindows),
    described("Environment/Project Explorer/Context Menu Common Folder", T::Boolean, kWindows),
    described("Environment/Project Explorer/Show Output Files", T::Boolean, kWindows),
    described("Environment/Project Explorer/Show Source Control Column", T::Boolean, kWindows),
    described("Environment/Project Explorer/Show Source Control Annotation", T::Boolean, kWindows),
    described("Environment/Project Explorer/Context Menu Properties Position", T::Enumeration, kWindows),
    described("Environment/Project Explorer/Context Menu Show Favorites", T::Boolean, kWindows),
    full("Environment/Project Explorer/Filename Replace Macros", T::StringList, kWindows, "Project Explorer Options",
         "Filename Replace Macros", "The macros whose values are shown by name in file names.",
         "StudioDir;TargetsDir;SamplesDir"),
    mouseAction("Environment/Project Explorer/Middle Click Action", "Middle Click Action",
                "The action the editor performs on Middle Click", "Default"),
    mouseAction("Environment/Project Explorer/Shift+Middle Click Action", "Shift+Middle Click Action",
                "The action the editor performs on Shift+Middle Click", "Go To Include"),
    mouseAction("Environment/Project Explorer/Shift+Right Click Action", "Shift+Right Click Action",
                "The action the editor performs on Shift+Right Click", "Default"),
    mouseAction("Environment/Project Explorer/Ctrl+Left Click Action", "Ctrl+Left Click Action",
                "The action the editor performs on Ctrl+Left Click", "Default"),
    mouseAction("Environment/Project Explorer/Ctrl+Middle Click Action", "Ctrl+Middle Click Action",
                "The action the editor performs on Ctrl+Middle Click", "Default"),
    mouseAction("Environment/Project Explorer/Ctrl+Right Click Action", "Ctrl+Right Click Action",
                "The action the editor performs on Ctrl+Right Click", "Default"),
    mouseAction("Environment/Project Explorer/Alt+Left Click Action", "Alt+Left Click Action",
                "The action the editor performs on Alt+Left Click", "Default"),
    mouseAction("Environment/Project Explorer/Alt+Middle Click Action", "Alt+Middle Click Action",
                "The action the editor performs on Alt+Middle Click", "Go To Method"),
    mouseAction("Environment/Project Explorer/Alt+Right Click Action", "Alt+Right Click Action",
                "The action the editor performs on Alt+Right Click", "Find References"),

    described("Environment/Windows/Show Sizes", T::Boolean, kWindows),
    described("Environment/Windows/Grouping", T::Enumeration, kWindows),
    described("Environment/Windows/Show Filename Tooltips", T::Boolean, kWindows),

    described("Windows/Outline/Preview Refresh Mode", T::Enumeration, kWindows),
    described("Windows/Outline/Group Defines", T::Boolean, kWindows),
    described("Windows/Outline/Group Includes", T::Boolean, kWindows),
    described("Windows/Outline/Group Top Level Items", T::Boolean, kWindows),

    described("Windows/Source Navigator/Show Definitions Only", T::Boolean, kWindows),

    full("Text Editor/Find/History", T::StringList, kEditor, kFindReplace, "Find History",
         "The texts searched for most recently."),
    boolean("Text Editor/Find/Match Whole Word", kEditor, kFindReplace, "Match Whole Word",
            "Specifies whether a match must be a whole word.", "No"),
    boolean("Text Editor/Find/Match Case", kEditor, kFindReplace, "Match Case",
            "Specifies whether a match must have the same case.", "No"),
    boolean("Text Editor/Find/Use RegExp", kEditor, kFindReplace, "Use Regular Expressions",
            "Specifies whether the search text is a regular expression.", "No"),

    full("Text Editor/Replace/History", T::StringList, kEditor, kFindReplace, "Replace History",
         "The replacement texts used most recently."),

    boolean("Text Editor/Margins/Enabled", kEditor, kFence, "Enabled",
            "Specifies whether the cursor keeps a distance from the edges of the window.", "No"),
    numeric("Text Editor/Margins/Left", 0, 20, kEditor, kFence, "Left Margin",
            "The distance the cursor keeps from the left edge.", "10", "", "characters"),
    numeric("Text Editor/Margins/Right", 0, 20, kEditor, kFence, "Right Margin",
            "The distance the cursor keeps from the right edge.", "10", "", "characters"),
    numeric("Text Editor/Margins/Top", 0, 20, kEditor, kFence, "Top Margin",
            "The distance the cursor keeps from the top edge.", "5", "", "lines"),
    numeric("Text Editor/Margins/Bottom", 0, 20, kEditor, kFence, "Bottom Margin",
            "The distance the cursor keeps from the bottom edge.", "5", "", "lines"),

    full("Find In Files/Find History", T::StringList, kEnv, kFileSearch, "Find History",
         "The texts searched for in files most recently."),
    full("Find In Files/Replace History", T::StringList, kEnv, kFileSearch, "Replace History",
         "The replacement texts used in files most recently."),
    full("Find In Files/File Type", T::StringList, kEnv, kFileSearch, "File Type",
         "The file name patterns that searched files match.", "*.*"),
    full("Find In Files/Folder History", T::StringList, kEnv, kFileSearch, "Folder History",
         "The folders searched most recently."),
    boolean("Find In Files/Match Whole Word", kEnv, kFileSearch, "Match Whole Word",
            "Specifies whether a match must be a whole word.", "No"),
    boolean("Find In Files/Search Dependencies", kEnv, kFileSearch, "Search Dependencies",
            "Specifies whether the files a project depends on are searched too.", "No"),
    boolean("Find In Files/Match Case", kEnv, kFileSearch, "Match Case",
            "Specifies whether a match must have the same case.", "No"),
    boolean("Find In Files/Use RegExp", kEnv, kFileSearch, "Use Regular Expressions",
            "Specifies whether the search text is a regular expression.", "No"),
    enumerated("Find In Files/Context", T::Enumeration, C::SearchContexts, kEnv, kFileSearch, "Search In",
               "Where the search looks for files.", "Current Project"),

    hidden("Find Window/Context", T::Enumeration, "Context"),
    hidden("Find Window/File Type", T::StringList, "File Type"),
    boolean("Find Window/Show Options", kHidden, "", "Show Options", "", "No"),

    numeric("Environment/Printing/Left Margin", 0, 2450, kEnv, kPrint, "Left Margin",
            "The width of the left margin of a printed page.", "25", "", "mm"),
    numeric("Environment/Printing/Right Margin", 0, 2450, kEnv, kPrint, "Right Margin",
            "The width of the right margin of a printed page.", "25", "", "mm"),
    numeric("Environment/Printing/Top Margin", 0, 2450, kEnv, kPrint, "Top Margin",
            "The height of the top margin of a printed page.", "25", "", "mm"),
    numeric("Environment/Printing/Bottom Margin", 0, 2450, kEnv, kPrint, "Bottom Margin",
            "The height of the bottom margin of a printed page.", "25", "", "mm"),
    enumerated("Environment/Printing/Orientation", T::Enumeration, C::PageOrientations, kEnv, kPrint,
               "Page Orientation", "The orientation of printed pages.", "Portrait"),
    enumerated("Environment/Printing/Page Size", T::Enumeration, C::PageSizes, kEnv, kPrint, "Page Size",
               "The paper size of printed pages.", "A4"),

    enumerated("Environment/Debugger/Default Variable Display Mode", T::Enumeration, C::VariableDisplayModes, kDebug,
               kDisplay, "Default Display Mode", "The number base variables are shown in.", "Hexadecimal"),
    datatip("Environment/Debugger/Extended Tooltip Display Mode/ASCII", "ASCII", "Selects ASCII extended datatips.",
            "Yes"),
    datatip("Environment/Debugger/Extended Tooltip Display Mode/Binary", "Binary", "Selects Binary extended datatips.",
            "Yes"),
    datatip("Environment/Debugger/Extended Tooltip Display Mode/Octal", "Octal", "Selects Octal extended datatips.",
            "No"),
    datatip("Environment/Debugger/Extended Tooltip Display Mode/Decimal", "Decimal",
            "Selects Decimal extended datatips.", "Yes"),
    datatip("Environment/Debugger/Extended Tooltip Display Mode/Unsigned Decimal", "Unsigned Decimal",
            "Selects Unsigned Decimal extended datatips.", "No"),
    datatip("Environment/Debugger/Extended Tooltip Display Mode/Hexadecimal", "Hexadecimal",
            "Selects Hexadecimal extended datatips.", "Yes"),
    numeric("Environment/Debugger/Maximum Array Elements Displayed", 1, 256, kDebug, kDisplay,
            "Maximum Array Elements Displayed", "The number of array elements shown at most.", "32", "", "elements"),
    numeric("Environment/Debugger/Maximum Backtrace Calls", 0, 1024, kDebug, kDisplay, "Maximum Backtrace Calls",
            "The number of calls a backtrace shows at most.", "100", "", "calls"),
    numeric("Environment/Debugger/Array Elements Prompt Size", 1, 2147483647, kDebug, kDisplay,
            "Array Elements Prompt Size", "The array size above which the debugger asks before showing elements.",
            "256", "", "elements"),
    enumerated("Environment/Debugger/Floating Point Format Display", T::Custom, C::FloatingPointFormats, kDebug,
               kDisplay, "Display Floating Point Number In", "The printf format floating-point values are shown in.",
               "%g"),
    boolean("Environment/Debugger/Display Char Ptr As String", kDebug, kDisplay, "Display Char Ptr As String",
            "Specifies whether a character pointer is shown as the string it points to.", "Yes"),
    full("Environment/Debugger/Source Path", T::StringList, kDebug, "Target Options", "Source Path",
         "The directories searched for source files the debugger cannot find."),
    boolean("Environment/Debugger/Clear Disassembly Breakpoint", kDebug, "Breakpoint Options",
            "Clear Disassembly Breakpoint",
            "Specifies whether a breakpoint set in the disassembly is cleared when it is hit.", "Yes"),
    boolean("Environment/Debugger/Disassembly Show Labels", kDebug, kDisplay, "Disassembly Show Labels",
            "Specifies whether the disassembly shows labels.", "Yes"),
    boolean("Environment/Debugger/Close Disassembly On Mode Switch", kDebug, "Window Options",
            "Close Disassembly On Mode Switch",
            "Specifies whether the disassembly window closes when the debugger stops.", "Yes"),
    boolean("Environment/Debugger/Disassembly Show Source", kDebug, kDisplay, "Disassembly Show Source",
            "Specifies whether the disassembly shows the source lines.", "Yes"),
    boolean("Environment/Debugger/Step Using Hardware Step", kDebug, "Target Options", "Step Using Hardware Step",
            "Specifies whether single steps use the target's hardware stepping.", "No"),
    boolean("Environment/Debugger/Show Data Tips", kDebug, kDisplay, "Show Data Tips",
            "Specifies whether hovering over a variable shows its value.", "Yes"),

    boolean("Environment/Memory Window/Scroll Wheel Modifies Start Address", kDebug, "Memory Window Options",
            "Scroll Wheel Modifies Start Address",
            "Specifies whether the mouse wheel moves the start address of a memory window.", "Yes"),
    boolean("Environment/Memory Window/Confirm Size", kDebug, "Memory Window Options", "Confirm Size",
            "Specifies whether to ask before a memory window reads a large block.", "Yes"),

    boolean("Environment/Properties Windows/Show Details", kWindows, "Properties Window Options", "Show Details",
            "Specifies whether the description of the selected property is shown.", "Yes"),
    enumerated("Environment/Properties Windows/Property Display Format", T::Enumeration, C::PropertyDisplayFormats,
               kWindows, "Properties Window Options", "Properties Displayed", "How properties are ordered.",
               "Categorically"),
    enumerated("Environment/Properties Windows/Favorites Grouped", T::Enumeration, C::YesNo, kWindows,
               "Properties Window Options", "Enable Favorites Group",
               "Specifies whether favorite properties are listed in a group of their own.", "Yes"),
    enumerated("Environment/Properties Windows/Public Setting Check", T::Enumeration, C::YesNo, kWindows,
               "Properties Window Options", "Public Setting Check",
               "Specifies whether settings are checked for being public.", "Yes"),

    described("Environment/Source Code Control/DiffCommand", T::String, kSourceControl),
    described("Environment/Source Code Control/MergeCommand", T::String, kSourceControl),
    described("Environment/Source Code Control/Immediate Commit", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Update", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Revert", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Lock", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Unlock", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Add", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Remove", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Resolved", T::Boolean, kSourceControl),
    described("Environment/Source Code Control/Immediate Get", T::Boolean, kSourceControl),

    described("Debugging/Show Transcript On Load", T::Boolean, kDebug),
    boolean("Debugging/Hide Transcript On Successful Load", kDebug, "Window Options",
            "Hide Transcript On Successful Load",
            "Specifies whether the transcript closes after a program loads without errors.", "No"),

    hidden("Environment/Clipboard Ring/Contents", T::StringList, "Contents"),
    numeric("Environment/Clipboard Ring/Max Entries", 5, 20, kWindows, "Clipboard Ring Options", "Max Entries",
            "The number of entries the clipboard ring keeps.", "12"),
    boolean("Environment/Clipboard Ring/Save", kWindows, "Clipboard Ring Options", "Save",
            "Specifies whether the clipboard ring is kept between sessions.", "No"),

    boolean("Environment/Internet/Enable Debugging", kEnv, kInternet, "Enable Debugging",
            "Specifies whether network requests are logged.", "No"),
    boolean("Environment/Internet/RSS Update", kEnv, kInternet, "RSS Update",
            "Specifies whether news feeds are fetched.", "Yes"),
    boolean("Environment/Internet/Check Updates", kEnv, kInternet, "Check Updates",
            "Specifies whether to check for a newer version at startup.", "Yes"),
    boolean("Environment/Internet/Check Packages", kEnv, kInternet, "Check Packages",
            "Specifies whether to check for newer packages at startup.", "Yes"),
    // The system's proxy configuration supplies the defaults; on Linux it
    // has none, which gives port 0 and no server.
    numeric("Environment/Internet/HTTP Proxy Port", 0, 65535, kEnv, kInternet, "HTTP Proxy Port",
            "The port of the proxy server that web requests go through.", "0"),
    full("Environment/Internet/HTTP Proxy Server", T::String, kEnv, kInternet, "HTTP Proxy Server",
         "The proxy server that web requests go through."),
    hidden("Environment/Internet/Download History", T::StringList, "Download History"),
    numeric("Environment/Internet/Max Download History Items", 1, 100, kEnv, kInternet, "Max Download History Items",
            "The number of downloads the history keeps.", "50", "", "items"),

    hidden("Environment/JavaScript/Console History", T::StringList, "Console History"),
    hidden("Environment/ForthScript/Console History", T::StringList, "Console History"),
    hidden("Environment/Calcpad/Console History", T::StringList, "Console History"),
    hidden("Environment/Debug Immediate Window/Console History", T::StringList, "Console History"),

    described("Environment/Browser/Underline Web Links", T::Boolean, kEnv),
    described("Environment/Browser/Text Size", T::Enumeration, kEnv),

    hidden("Environment/Package/Source Directory", T::String, "Source Directory"),
    hidden("Environment/Package/Source URL", T::StringList, "Source URL"),
    boolean("Environment/Package/Use Content Delivery Network", kEnv, kInternet, "Use Content Delivery Network",
            "Specifies whether packages are downloaded through a content delivery network.", "Yes"),
    full("Environment/Package/Destination Directory", T::String, kEnv, kInternet, "Destination Directory",
         "The directory packages are installed in.", "$(StudioUserDir)/packages"),
    described("Environment/Package/Check Solution Package Dependencies", T::Boolean, kEnv),
    described("Environment/Package/Show Logos", T::Boolean, kEnv),

    described("Debug Terminal/Use Window System Colors", T::Boolean, kDebug),
    ranged("Debug Terminal/Backscroll Buffer Lines", 0, 10000, kDebug),
};

}  // namespace

std::span<const CatalogueRow> catalogueRows() { return kRows; }

}  // namespace rw

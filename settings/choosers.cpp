// settings/choosers.cpp: the two choosers' requests and how their answers are stored.
#include "settings/choosers.h"

#include <algorithm>

namespace favpage {

namespace {

constexpr SettingsChar kChooserInitialDir[] = FAVPAGE_SETTINGS_TEXT("C:\\WINDOWS\\FAVORITES");

ChoiceResult Store(const SettingsText& text, SettingsChar (&field)[kSettingsFieldSize]) {
    // A field keeps at most 254 characters and its zero; a longer path is refused whole rather
    // than cut into a path that names something else.
    if (text.size() >= kSettingsFieldSize) return ChoiceResult::TooLong;
    std::copy_n(text.c_str(), text.size() + 1, field);
    return ChoiceResult::Stored;
}

}  // namespace

ChooserRequest FolderChooserRequest() {
    return ChooserRequest{kOfnHideReadOnly | kOfnPathMustExist | kOfnNoTestFileCreate,
                          FAVPAGE_SETTINGS_TEXT("dummy.txt"),
                          FAVPAGE_SETTINGS_TEXT("All Files (*.*)|*.*|"),
                          kChooserInitialDir,
                          nullptr,
                          FAVPAGE_SETTINGS_TEXT("Find the directory that has the Shortcuts"),
                          true};
}

ChooserRequest OutputChooserRequest(const Settings& record) {
    return ChooserRequest{kOfnHideReadOnly | kOfnOverwritePrompt,
                          FieldText(record.output),
                          FAVPAGE_SETTINGS_TEXT("HTML Files (*.htm)|*.htm|"),
                          kChooserInitialDir,
                          FAVPAGE_SETTINGS_TEXT("htm"),
                          FAVPAGE_SETTINGS_TEXT("Select a filename for the output file"),
                          false};
}

ChoiceResult StoreFolderChoice(const SettingsText& returnedPath, Settings& record) {
    const size_t cut = returnedPath.rfind('\\');
    return Store(cut == SettingsText::npos ? returnedPath : returnedPath.substr(0, cut),
                 record.location);
}

ChoiceResult StoreOutputChoice(const SettingsText& returnedPath, Settings& record) {
    return Store(returnedPath, record.output);
}

}  // namespace favpage

// settings/choosers.cpp: the two choosers' requests and how their answers are stored.
#include "settings/choosers.h"

#include <cstring>

namespace favpage {

namespace {

constexpr char kChooserInitialDir[] = "C:\\WINDOWS\\FAVORITES";

ChoiceResult Store(const std::string& text, char (&field)[kSettingsFieldSize]) {
    // A field keeps at most 254 characters and its zero; a longer path is refused whole rather
    // than cut into a path that names something else.
    if (text.size() >= kSettingsFieldSize) return ChoiceResult::TooLong;
    std::memcpy(field, text.c_str(), text.size() + 1);
    return ChoiceResult::Stored;
}

}  // namespace

ChooserRequest FolderChooserRequest() {
    return ChooserRequest{kOfnHideReadOnly | kOfnPathMustExist | kOfnNoTestFileCreate,
                          "dummy.txt",
                          "All Files (*.*)|*.*|",
                          kChooserInitialDir,
                          nullptr,
                          "Find the directory that has the Shortcuts",
                          true};
}

ChooserRequest OutputChooserRequest(const Settings& record) {
    return ChooserRequest{kOfnHideReadOnly | kOfnOverwritePrompt,
                          std::string(record.output, strnlen(record.output, kSettingsFieldSize)),
                          "HTML Files (*.htm)|*.htm|",
                          kChooserInitialDir,
                          "htm",
                          "Select a filename for the output file",
                          false};
}

ChoiceResult StoreFolderChoice(const std::string& returnedPath, Settings& record) {
    const size_t cut = returnedPath.rfind('\\');
    return Store(cut == std::string::npos ? returnedPath : returnedPath.substr(0, cut),
                 record.location);
}

ChoiceResult StoreOutputChoice(const std::string& returnedPath, Settings& record) {
    return Store(returnedPath, record.output);
}

}  // namespace favpage

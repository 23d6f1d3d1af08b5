// settings/choosers.h: what the two Browse... choosers ask the file dialog for, and how a choice
// enters the settings record.
#pragma once
#include <cstdint>

#include "settings/settings_record.h"

namespace favpage {

// File-dialog flag bits the choosers use (the values of the system's file dialog).
constexpr uint32_t kOfnOverwritePrompt = 0x2;
constexpr uint32_t kOfnHideReadOnly = 0x4;
constexpr uint32_t kOfnPathMustExist = 0x800;
constexpr uint32_t kOfnNoTestFileCreate = 0x10000;

// One chooser's request: everything it hands the file-open dialog.
struct ChooserRequest {
    uint32_t flags;
    SettingsText fileName;          // the name the dialog starts with
    const SettingsChar* filter;     // description|pattern| pairs
    const SettingsChar* initialDir;
    const SettingsChar* defaultExtension;  // nullptr: none
    const SettingsChar* title;
    bool folderTemplate;    // the program's folder-only template rather than the system's
};

// The folder chooser: a file-open dialog whose file-name parts are out of view, seeded with a
// dummy name; the folder is what comes back in front of it.
ChooserRequest FolderChooserRequest();
// The output chooser starts from the page stored in the record, not from the field.
ChooserRequest OutputChooserRequest(const Settings& record);

// Outcome of storing a chosen path.
enum class ChoiceResult { Stored, TooLong };

// Cuts the returned path at its last backslash (the backslash and the dummy name go; a path
// without one stays whole) and stores it as `location`.
ChoiceResult StoreFolderChoice(const SettingsText& returnedPath, Settings& record);
// Stores the returned path as `output`.
ChoiceResult StoreOutputChoice(const SettingsText& returnedPath, Settings& record);

// Said when a chosen path does not fit a field; the record is then left as it was.
constexpr SettingsChar kChoiceTooLongText[] =
    FAVPAGE_SETTINGS_TEXT("The path you chose is longer than 254 characters, too long to be kept.");

}  // namespace favpage

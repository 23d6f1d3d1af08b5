// settings/settings_record.h: SettingsRecord, the process's one record of the two settings.
#pragma once
#include <cstddef>

namespace favpage {

// Bytes of each field, its terminating zero included: at most 254 characters of text.
constexpr std::size_t kSettingsFieldSize = 255;

// The folder to search and the page to write, back to back: the dialog's edit fields transfer
// into and out of these 510 bytes in this order.
struct Settings {
    char location[kSettingsFieldSize];
    char output[kSettingsFieldSize];
};
static_assert(sizeof(Settings) == 2 * kSettingsFieldSize, "the two fields lie back to back");
static_assert(offsetof(Settings, output) == kSettingsFieldSize, "location comes first");

// One record for the whole process, all zero (both fields empty) at start.
extern Settings SettingsRecord;

}  // namespace favpage

// platform/win32/code_page_labels.cpp: the web label of each system code page.
#include <windows.h>

#include "platform/win32/code_page_labels.h"

namespace favpage::win32 {

namespace {

struct LabelRow {
    unsigned codePage;
    const char* label;
};

// The system code pages of Windows: each Windows locale's ANSI code page, and UTF-8 (the
// "Use Unicode UTF-8 for worldwide language support" setting, and Unicode-only locales). The
// web's encodings of these names were made from these very code pages, so a browser reads every
// byte the conversion writes as the character it came from.
constexpr LabelRow kLabels[] = {
    {874, "windows-874"},     // Thai
    {932, "shift_jis"},       // Japanese: the web's Shift_JIS is code page 932's
    {936, "gbk"},             // Simplified Chinese
    {949, "euc-kr"},          // Korean: the web's EUC-KR is code page 949's
    {950, "big5"},            // Traditional Chinese
    {1250, "windows-1250"},   // Central European
    {1251, "windows-1251"},   // Cyrillic
    {1252, "windows-1252"},   // Western
    {1253, "windows-1253"},   // Greek
    {1254, "windows-1254"},   // Turkish
    {1255, "windows-1255"},   // Hebrew
    {1256, "windows-1256"},   // Arabic
    {1257, "windows-1257"},   // Baltic
    {1258, "windows-1258"},   // Vietnamese
    {CP_UTF8, "utf-8"},
};

}  // namespace

std::string_view WebLabel(unsigned codePage) {
    for (const LabelRow& row : kLabels) {
        if (row.codePage == codePage) return row.label;
    }
    return {};
}

}  // namespace favpage::win32

// Tests of the admission rule, the date text and message formatting: pure functions, so they run
// on every platform.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/dir_search.h"
#include "platform/message_format.h"

namespace favpage {
namespace {

struct AdmissionCase {
    uint32_t attrs;
    bool bySubFolderMask;
    bool byFileMask;
};

TEST(AdmissionTest, EngineMasksFollowTheAttributeTable) {
    const AdmissionCase cases[] = {
        {0x00, true, true},  {0x01, true, true},  {0x20, true, true},  {0x21, true, true},
        {0x80, true, true},  // bits other than the six are not looked at
        {0x02, false, true}, {0x22, false, true}, {0x04, false, true}, {0x06, false, true},
        {0x10, true, false}, {0x11, true, false}, {0x30, true, false},
        {0x12, true, true},  {0x14, true, true},  {0x16, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Admits(kSubFolderMask, c.attrs), c.bySubFolderMask) << std::hex << c.attrs;
        EXPECT_EQ(Admits(kFileMask, c.attrs), c.byFileMask) << std::hex << c.attrs;
    }
}

TEST(AdmissionTest, MasksLetSpecialBitsThroughButDoNotDemandThem) {
    EXPECT_TRUE(Admits(0x01, 0x21));    // ordinary files pass any mask
    EXPECT_FALSE(Admits(0x01, 0x10));   // the overwrite check never finds a folder
    EXPECT_FALSE(Admits(0x01, 0x02));   // ... nor a hidden file
    EXPECT_TRUE(Admits(0x02, 0x12));    // one shared special bit is enough
    EXPECT_TRUE(Admits(0x08, 0x08));    // a volume label needs the label bit in the mask
    EXPECT_TRUE(Admits(0x08, 0x18));
    EXPECT_FALSE(Admits(0x10, 0x0A));   // hidden label, mask without label or hidden
}

TEST(DateLineTest, EveryWeekdayAndMonth) {
    const char* const weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int w = 0; w < 7; ++w) {
        LocalTime t{2026, 12, 7, w, 3, 28, 41};
        EXPECT_EQ(FormatDateLine(t), std::string(weekdays[w]) + " Dec 07 03:28:41 2026\n");
    }
    for (int m = 1; m <= 12; ++m) {
        LocalTime t{1999, m, 31, 5, 23, 59, 9};
        EXPECT_EQ(FormatDateLine(t), std::string("Fri ") + months[m - 1] + " 31 23:59:09 1999\n");
    }
}

TEST(DateLineTest, ZeroPaddingAndLength) {
    const std::string line = FormatDateLine(LocalTime{2026, 1, 1, 4, 0, 0, 0});
    EXPECT_EQ(line, "Thu Jan 01 00:00:00 2026\n");
    EXPECT_EQ(line.size(), 25u);
    EXPECT_EQ(FormatDateLine(LocalTime{987, 3, 9, 0, 7, 5, 3}), "Sun Mar 09 07:05:03  987\n");
}

TEST(DateLineTest, OutOfRangeFieldsDoNotReadPastTheNames) {
    EXPECT_EQ(FormatDateLine(LocalTime{2026, 13, 7, 7, 3, 28, 41}), "??? ??? 07 03:28:41 2026\n");
}

TEST(MessageFormatTest, ConversionsComeOnlyFromTheFormat) {
    EXPECT_EQ(FormatMessageText("Done.  Searched %s\n and found %i Shortcut files.",
                                {"C:\\100%s\\%i", 42}),
              "Done.  Searched C:\\100%s\\%i\n and found 42 Shortcut files.");
    EXPECT_EQ(FormatMessageText("%i|%i|%i", {0, -7, int32_t(-2147483647 - 1)}),
              "0|-7|-2147483648");
    EXPECT_EQ(FormatMessageText("100%% %d %", {}), "100% %d %");
    EXPECT_EQ(FormatMessageText("a %s b %s", {"x"}), "a x b ");  // a missing argument is empty
    EXPECT_EQ(FormatMessageText("Unable to find directory\n %s", {"%n%n%s"}),
              "Unable to find directory\n %n%n%s");
}

}  // namespace
}  // namespace favpage

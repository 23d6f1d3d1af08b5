// Dialog 2000 as the linked resources hold it: the dialog's style, place, font and title, and
// every control's id, class, text, style and rectangle in template (= tab) order.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "view/resource_ids.h"

namespace {

struct Item {
    uint32_t style;
    int16_t x, y, cx, cy;
    uint16_t id;
    std::string cls;
    std::string text;
};

struct Template {
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::string caption, face;
    uint16_t points = 0;
    std::vector<Item> items;
};

// Reads the classic DLGTEMPLATE layout: WORD-aligned, strings in UTF-16, items DWORD-aligned.
class Reader {
public:
    explicit Reader(const uint8_t* at) : m_base(at), m_at(at) {}
    uint16_t Word() { uint16_t w; memcpy(&w, m_at, 2); m_at += 2; return w; }
    uint32_t Dword() { uint32_t d; memcpy(&d, m_at, 4); m_at += 4; return d; }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    std::string Text() {
        std::string s;
        for (uint16_t c; (c = Word()) != 0;) s += static_cast<char>(c);
        return s;
    }
    // A name or an ordinal (0xFFFF then a number, shown here as "#number").
    std::string NameOrOrdinal() {
        uint16_t first;
        memcpy(&first, m_at, 2);
        if (first == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Text();
    }
    void AlignDword() { m_at += (4 - (m_at - m_base) % 4) % 4; }

private:
    const uint8_t* m_base;
    const uint8_t* m_at;
};

Template LoadTemplate(int id) {
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!res) return {};
    Reader r(static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, res))));
    Template t;
    t.style = r.Dword();
    r.Dword();   // extended style
    const uint16_t count = r.Word();
    t.x = r.Short(); t.y = r.Short(); t.cx = r.Short(); t.cy = r.Short();
    r.NameOrOrdinal();   // menu
    r.NameOrOrdinal();   // class
    t.caption = r.Text();
    if (t.style & DS_SETFONT) {
        t.points = r.Word();
        t.face = r.Text();
    }
    for (uint16_t i = 0; i < count; ++i) {
        r.AlignDword();
        Item item;
        item.style = r.Dword();
        r.Dword();
        item.x = r.Short(); item.y = r.Short(); item.cx = r.Short(); item.cy = r.Short();
        item.id = r.Word();
        item.cls = r.NameOrOrdinal();
        item.text = r.NameOrOrdinal();
        const uint16_t extra = r.Word();
        for (uint16_t b = 0; b < extra; ++b) r.Word();
        t.items.push_back(item);
    }
    return t;
}

// Ordinals of the predefined classes in a template.
const std::string kButton = "#128", kEdit = "#129", kStatic = "#130";
constexpr uint32_t kChildVisible = WS_CHILD | WS_VISIBLE;
// The edit fields scroll, so every one of their 254 characters can be typed and seen.
constexpr uint32_t kField = kChildVisible | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;

TEST(ClientTemplate, DialogIsAFontedPopUpAtItsPlace) {
    const Template t = LoadTemplate(IDD_CLIENT);
    EXPECT_EQ(t.style, 0x80C800C0u);
    EXPECT_EQ(t.x, -269);
    EXPECT_EQ(t.y, 103);
    EXPECT_EQ(t.cx, 206);
    EXPECT_EQ(t.cy, 218);
    EXPECT_EQ(t.caption, "FAVPAGE");
    EXPECT_EQ(t.face, "MS Sans Serif");
    EXPECT_EQ(t.points, 8);
}

TEST(ClientTemplate, ControlsInTabOrderWithTheirTextsStylesAndPlaces) {
    const std::string blurb =
        "FAVPAGE reads the Internet Shortcut files used with Internet Explorer and creates an "
        "HTML file which contains links to all the locations the Shortcuts referenced.  It does "
        "not delete the Shortcut files.";
    const std::vector<Item> expected = {
        {kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 110, 63, 14, 1, kButton, "Start Conversion"},
        {kChildVisible | WS_TABSTOP, 90, 110, 50, 14, 2, kButton, "EXIT"},
        {kChildVisible | WS_TABSTOP, 150, 110, 49, 14, 101, kButton, "Help"},
        {kField, 10, 60, 191, 15, 102, kEdit, ""},
        {kField, 11, 90, 190, 15, 103, kEdit, ""},
        {kChildVisible | WS_TABSTOP, 150, 50, 47, 10, 104, kButton, "Browse..."},
        {kChildVisible | WS_TABSTOP, 150, 80, 47, 10, 105, kButton, "Browse..."},
        {kChildVisible | WS_GROUP, 10, 47, 134, 12, 0xFFFF, kStatic, "Location of .URL Files:"},
        {kChildVisible | WS_GROUP, 10, 80, 136, 10, 0xFFFF, kStatic, "Name of Output File:"},
        {kChildVisible | WS_GROUP, 12, 6, 190, 34, 0xFFFF, kStatic, blurb},
    };
    const Template t = LoadTemplate(IDD_CLIENT);
    ASSERT_EQ(t.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + expected[i].text + "\"");
        const Item& a = t.items[i];
        const Item& e = expected[i];
        EXPECT_EQ(a.id, e.id);
        EXPECT_EQ(a.cls, e.cls);
        EXPECT_EQ(a.text, e.text);
        EXPECT_EQ(a.style, e.style) << std::hex << a.style << " vs " << e.style;
        EXPECT_EQ(a.x, e.x);
        EXPECT_EQ(a.y, e.y);
        EXPECT_EQ(a.cx, e.cx);
        EXPECT_EQ(a.cy, e.cy);
    }
}

}  // namespace

// Frames and dialogs with real windows: a pop-up dialog taken as client becomes a bordered child
// laid out above the decorations, the frame grows to show it whole, the dialog's cancel path ends the frame without deleting the
// object, Enter and Escape reach the dialog through the message loop, and transfers keep to
// their bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "framework/application.h"
#include "framework/control.h"
#include "framework/decorated_frame.h"
#include "framework/dialog.h"
#include "tests/win32/framework/box_watcher.h"
#include "tests/win32/framework/test_resources.h"

namespace {

constexpr unsigned kFieldLength = 8;

struct Record {
    wchar_t field[kFieldLength];
    wchar_t other[kFieldLength];
};

class TestClient : public TDialog {
public:
    explicit TestClient(TWindow* parent = nullptr) : TDialog(parent, IDD_TEST_CLIENT) {
        m_field = new TEdit(this, IDC_TEST_FIELD, kFieldLength);
        m_other = new TEdit(this, IDC_TEST_OTHER, kFieldLength);
        ++sLiving;
    }
    ~TestClient() override { --sLiving; }
    static int sLiving;
    TEdit* m_field;
    TEdit* m_other;
};
int TestClient::sLiving = 0;

// A decoration of a fixed height, like a status bar.
class Strip : public TWindow {
public:
    explicit Strip(int height) : TWindow(nullptr) { Attr().h = height; }
};

class Host : public TApplication {
public:
    Host() : TApplication(L"host", nullptr, SW_SHOWNORMAL) {}
    TDecoratedFrame* frame = nullptr;
    TestClient* client = nullptr;
    Strip* strip = nullptr;
    std::function<void(Host&)> script;

protected:
    void SetUpMainWindow() override {
        frame = new TDecoratedFrame(nullptr, L"host");
        strip = new Strip(20);
        frame->Insert(*strip);
        SetMainWindow(frame);
    }
    void InitInstance() override {
        TApplication::InitInstance();
        client = new TestClient;
        frame->SetClientWindow(client);
        if (script) script(*this);
    }
};

// Runs the host's loop with a deadline, so a test that goes wrong fails instead of hanging.
int RunHost(Host& host) {
    UINT_PTR deadline = StartLoopDeadline(15000, 99);
    const int status = host.Run();
    StopLoopDeadline(deadline);
    return status;
}

void Type(HWND field, const char* text) {
    for (const char* c = text; *c; ++c) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

TEST(FrameClient, APopUpDialogBecomesABorderedChildAboveTheDecorations) {
    Host host;
    LONG_PTR style = 0, exStyle = 0;
    HWND parent = nullptr, frame = nullptr;
    RECT client{}, area{}, strip{};
    host.script = [&](Host& h) {
        HWND dialog = h.client->GetHandle();
        style = GetWindowLongPtrA(dialog, GWL_STYLE);
        exStyle = GetWindowLongPtrA(dialog, GWL_EXSTYLE);
        parent = GetParent(dialog);
        frame = h.frame->GetHandle();
        GetWindowRect(dialog, &client);
        GetWindowRect(h.strip->GetHandle(), &strip);
        GetClientRect(h.frame->GetHandle(), &area);
        MapWindowPoints(h.frame->GetHandle(), nullptr, reinterpret_cast<POINT*>(&area), 2);
        PostMessageA(h.frame->GetHandle(), WM_CLOSE, 0, 0);
    };
    ASSERT_EQ(RunHost(host), 0);
    EXPECT_EQ(parent, frame);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_DLGFRAME);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(exStyle & WS_EX_DLGMODALFRAME);
    // One border outside the visible area on the left, top and right; the strip below it.
    const int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
    EXPECT_EQ(client.left, area.left - bx);
    EXPECT_EQ(client.top, area.top - by);
    EXPECT_EQ(client.right, area.right + bx);
    EXPECT_EQ(client.bottom, strip.top);
    EXPECT_EQ(strip.left, area.left - bx);
    EXPECT_EQ(strip.right, area.right + bx);
    EXPECT_EQ(strip.bottom, area.bottom + by);
    EXPECT_EQ(strip.bottom - strip.top, 20);
}

// How big the frame is made, per direction, before it is asked to grow: as big as the whole
// client needs, larger, short by half the client's empty margin (every control still shows), or
// short by more than that margin (a control is cut off).
enum class Room { Whole, Larger, MarginCut, ControlCut };

struct GrowCase {
    const char* name;
    Room width, height;
    bool minimised;
};

void PrintTo(const GrowCase& c, std::ostream* os) { *os << c.name; }

class FrameGrowth : public ::testing::TestWithParam<GrowCase> {};

// The test client is 160 x 80 dialog units; its controls end at 150 and 64.
TEST_P(FrameGrowth, GrowsToTheWholeClientOnlyInADirectionThatCutsOffAControl) {
    const GrowCase& c = GetParam();
    Host host;
    SIZE whole{}, grown{}, clientArea{};
    RECT template_{0, 0, 160, 80}, margin{0, 0, 10, 16};
    bool minimisedAfter = false;
    host.script = [&](Host& h) {
        HWND frame = h.frame->GetHandle();
        whole = h.frame->SizeToShowClient();
        MapDialogRect(h.client->GetHandle(), &template_);
        MapDialogRect(h.client->GetHandle(), &margin);
        const auto size = [](Room room, LONG full, LONG spare) {
            switch (room) {
            case Room::Whole: return full;
            case Room::Larger: return full + 30;
            case Room::MarginCut: return full - spare / 2;
            case Room::ControlCut: return full - spare - 4;
            }
            return full;
        };
        SetWindowPos(frame, nullptr, 0, 0, size(c.width, whole.cx, margin.right),
                     size(c.height, whole.cy, margin.bottom), SWP_NOMOVE | SWP_NOZORDER);
        if (c.minimised) ShowWindow(frame, SW_SHOWMINNOACTIVE);
        h.frame->GrowToShowClient();
        minimisedAfter = IsIconic(frame) != FALSE;
        if (c.minimised) ShowWindow(frame, SW_RESTORE);
        RECT rc{};
        GetWindowRect(frame, &rc);
        grown = SIZE{rc.right - rc.left, rc.bottom - rc.top};
        GetClientRect(h.client->GetHandle(), &rc);
        clientArea = SIZE{rc.right, rc.bottom};
        PostMessageA(frame, WM_CLOSE, 0, 0);
    };
    ASSERT_EQ(RunHost(host), 0);
    const auto expected = [](Room room, LONG full, LONG spare) {
        return room == Room::Larger ? full + 30 : room == Room::MarginCut ? full - spare / 2 : full;
    };
    EXPECT_EQ(grown.cx, expected(c.width, whole.cx, margin.right));
    EXPECT_EQ(grown.cy, expected(c.height, whole.cy, margin.bottom));
    EXPECT_EQ(minimisedAfter, c.minimised);
    // The whole size shows the dialog at exactly its template's size above the strip.
    if (c.width == Room::Whole || c.width == Room::ControlCut) {
        EXPECT_EQ(clientArea.cx, template_.right);
    }
    if (c.height == Room::Whole || c.height == Room::ControlCut) {
        EXPECT_EQ(clientArea.cy, template_.bottom);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Framework, FrameGrowth,
    ::testing::Values(GrowCase{"WholeStays", Room::Whole, Room::Whole, false},
                      GrowCase{"WidthCutGrowsHeightLargerStays", Room::ControlCut, Room::Larger, false},
                      GrowCase{"MarginCutStaysHeightCutGrows", Room::MarginCut, Room::ControlCut, false},
                      GrowCase{"LargerStaysMarginCutStays", Room::Larger, Room::MarginCut, false},
                      GrowCase{"MinimisedGrowsItsRestoredSize", Room::ControlCut, Room::ControlCut, true}),
    [](const ::testing::TestParamInfo<GrowCase>& info) { return info.param.name; });

struct EndCase {
    const char* name;
    void (*act)(Host&);
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class DialogEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(DialogEnd, CancelDestroysTheWindowClosesTheFrameAndKeepsTheObject) {
    Host host;
    Record record{L"abc", L"xyz"};
    host.script = [&](Host& h) {
        h.client->SetTransferBuffer(&record);
        h.client->TransferData(TTransfer::SetData);
        Type(h.client->m_field->GetHandle(), "Q");
        GetParam().act(h);
    };
    EXPECT_EQ(RunHost(host), 0);   // the frame closed itself, not the deadline
    ASSERT_EQ(TestClient::sLiving, 1);
    EXPECT_EQ(host.client->GetHandle(), nullptr);
    EXPECT_EQ(host.client->m_field->GetHandle(), nullptr);
    EXPECT_STREQ(record.field, L"abc");   // typed text did not reach the record
}

INSTANTIATE_TEST_SUITE_P(
    Framework, DialogEnd,
    ::testing::Values(
        EndCase{"EscapeKey",
                [](Host& h) {
                    HWND field = h.client->m_field->GetHandle();
                    PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                    PostMessageA(field, WM_KEYUP, VK_ESCAPE, 0xC0010001);
                }},
        EndCase{"CancelButton",
                [](Host& h) {
                    PostMessageA(GetDlgItem(h.client->GetHandle(), IDCANCEL), BM_CLICK, 0, 0);
                }}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return info.param.name; });

TEST(EditTransfer, MovesExactlyItsLengthAndNeverReadsPastIt) {
    Host host;
    wchar_t buffer[2 * kFieldLength + 4];
    std::wstring shown;
    int limit = 0;
    host.script = [&](Host& h) {
        std::fill(std::begin(buffer), std::end(buffer), L'x');   // no zero anywhere
        h.client->SetTransferBuffer(buffer);
        h.client->TransferData(TTransfer::SetData);
        shown = h.client->m_field->GetText();
        limit = static_cast<int>(SendMessageA(h.client->m_field->GetHandle(), EM_GETLIMITTEXT, 0, 0));
        h.client->m_field->SetText(L"ab");
        h.client->TransferData(TTransfer::GetData);
        PostMessageA(h.frame->GetHandle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(RunHost(host), 0);
    EXPECT_EQ(shown, std::wstring(kFieldLength - 1, L'x'));
    EXPECT_EQ(limit, static_cast<int>(kFieldLength - 1));
    EXPECT_EQ(std::wstring(buffer, kFieldLength), std::wstring(L"ab\0\0\0\0\0\0", kFieldLength));
    EXPECT_EQ(std::wstring(buffer + kFieldLength, kFieldLength - 1), std::wstring(kFieldLength - 1, L'x'));
    EXPECT_EQ(std::wstring(buffer + 2 * kFieldLength, 4), L"xxxx");   // beyond both fields: untouched
}

}  // namespace

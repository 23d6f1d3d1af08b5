// framework/control.h: the standard controls the program uses: TControl, TStatic and TEdit.
#pragma once
#include "framework/window.h"

#include <string>

// A system control. Either created in code at a given place (its window is made when the parent
// sets up), or bound to the control with `resourceId` in the parent dialog's template.
class TControl : public TWindow {
public:
    TControl(TWindow* parent, int id, const wchar_t* text, int x, int y, int w, int h);
    TControl(TWindow* parent, int resourceId);

    int Id() const { return Attr().id; }
    bool FromResource() const { return m_fromResource; }
    void Create() override;

    void SetText(const wchar_t* text);
    std::wstring GetText() const;

protected:
    // The system class this control is made of ("STATIC", "EDIT", ...).
    virtual const wchar_t* SystemClass() const = 0;

private:
    bool m_fromResource;
};

// A text control; made in code it is left-aligned, in its own group, without a tab stop. It takes
// no part in transfers.
class TStatic : public TControl {
public:
    TStatic(TWindow* parent, int id, const wchar_t* text, int x, int y, int w, int h);
    TStatic(TWindow* parent, int resourceId);

protected:
    const wchar_t* SystemClass() const override { return L"STATIC"; }
};

// The notification code of the WM_COMMAND a TEdit sends its parent when it refused a paste.
constexpr WORD kEditPasteRefused = 0x7F01;

// A single-line edit field holding at most `textLength` - 1 characters. It transfers exactly
// `textLength` UTF-16 characters: the text, a zero and zeros up to that length. A paste that
// would make the text longer than the field holds is refused whole, never cut (the system's
// field would keep what fits): the field stays as it was and tells its parent with a
// WM_COMMAND of kEditPasteRefused.
class TEdit : public TControl {
public:
    TEdit(TWindow* parent, int resourceId, unsigned textLength);

    unsigned TextLength() const { return m_textLength; }
    // True when the field holds more than it transfers, which only text set by another program
    // can make; a transfer would cut it.
    bool IsOverfull() const;
    void SetupWindow() override;
    std::size_t Transfer(void* buffer, TTransfer direction) override;

protected:
    bool Dispatch(TEvent& ev) override;
    const wchar_t* SystemClass() const override { return L"EDIT"; }
    LRESULT EvPaste(TEvent& ev);
    LRESULT EvKeyDown(TEvent& ev);

private:
    unsigned m_textLength;
};

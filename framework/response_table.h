// framework/response_table.h: events, event handlers and the response tables that bind them.
#pragma once
#include <windows.h>

#include <cstddef>

// One message as the framework hands it to a handler; the handler leaves its answer in `result`.
struct TEvent {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    LRESULT result = 0;
};

// Anything that answers events from a response table: windows, the application, the document
// manager. Dispatch returns true when an entry took the event.
class TEventHandler {
public:
    virtual ~TEventHandler() = default;
    virtual bool Dispatch(TEvent& ev);
};

// One entry of a class's table. Command entries take WM_COMMAND for one id; notification
// entries take a message whose wParam carries one code; message entries take every `msg`.
template <class T>
struct TResponse {
    enum class Kind : unsigned char { Message, Command, Notify };
    UINT msg;
    Kind kind;
    UINT key;                         // command id or notification code; unused for messages
    void (T::*command)();             // command entries
    LRESULT (T::*message)(TEvent&);   // message and notification entries
};

template <class T>
constexpr TResponse<T> Command(UINT id, void (T::*f)()) {
    return {WM_COMMAND, TResponse<T>::Kind::Command, id, f, nullptr};
}
template <class T>
constexpr TResponse<T> Message(UINT msg, LRESULT (T::*f)(TEvent&)) {
    return {msg, TResponse<T>::Kind::Message, 0, nullptr, f};
}
template <class T>
constexpr TResponse<T> Notify(UINT msg, UINT code, LRESULT (T::*f)(TEvent&)) {
    return {msg, TResponse<T>::Kind::Notify, code, nullptr, f};
}

// True when a WM_COMMAND event is a command for `id`: a menu item, an accelerator or a button
// click. Other notifications of a control (an edit field's EN_CHANGE, ...) carry the control's id
// too, but they are not the command.
inline bool IsCommandFor(const TEvent& ev, UINT id) {
    const UINT code = HIWORD(ev.wp);
    return ev.msg == WM_COMMAND && LOWORD(ev.wp) == id && (code == BN_CLICKED || code == 1);
}

// Runs the first entry of `table` that matches `ev`; false when none does. Each class calls this
// with its own table and, when it returns false, its base class's Dispatch: own entries first.
template <class T, std::size_t N>
bool Respond(T& self, const TResponse<T> (&table)[N], TEvent& ev) {
    using Kind = typename TResponse<T>::Kind;
    for (const TResponse<T>& r : table) {
        if (r.msg != ev.msg) continue;
        switch (r.kind) {
        case Kind::Command:
            if (!IsCommandFor(ev, r.key)) continue;
            (self.*r.command)();
            ev.result = 0;
            return true;
        case Kind::Notify:
            if (ev.wp != r.key) continue;
            ev.result = (self.*r.message)(ev);
            return true;
        case Kind::Message:
            ev.result = (self.*r.message)(ev);
            return true;
        }
    }
    return false;
}

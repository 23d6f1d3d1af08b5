// framework/exceptions.h: the exception classes that reach the framework's error boxes, and the
// barrier that keeps an exception between a window procedure and the message loop.
#pragma once
#include <cstddef>
#include <exception>
#include <string>

// A message exception: carries the text shown to the user.
class xmsg {
public:
    explicit xmsg(std::wstring message) : m_message(std::move(message)) {}
    virtual ~xmsg() = default;
    const std::wstring& why() const { return m_message; }

private:
    std::wstring m_message;
};

// Running out of memory.
class xalloc : public xmsg {
public:
    explicit xalloc(std::wstring message, std::size_t size = 0)
        : xmsg(std::move(message)), m_size(size) {}
    std::size_t requested() const { return m_size; }

private:
    std::size_t m_size;
};

// The window framework's own failures (a window that cannot be created, ...).
class TXOwl : public xmsg {
public:
    using xmsg::xmsg;
};

// No C++ exception may unwind through the window system's frames: a window procedure keeps what
// a handler threw here, and the message loop takes it and reports it.
void KeepPendingException(std::exception_ptr e);
std::exception_ptr TakePendingException();

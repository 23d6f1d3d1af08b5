// platform/message_format.h: the "%s"/"%i" formatting of the program's message texts.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace favpage {

// One argument of a message: a text for "%s" or a signed 32-bit number for "%i".
class MessageArg {
public:
    MessageArg(std::string_view text) : m_text(text), m_isNumber(false) {}
    MessageArg(const char* text) : m_text(text), m_isNumber(false) {}
    MessageArg(const std::string& text) : m_text(text), m_isNumber(false) {}
    MessageArg(int32_t number) : m_number(number), m_isNumber(true) {}

    std::string_view text() const { return m_text; }
    int32_t number() const { return m_number; }
    bool isNumber() const { return m_isNumber; }

private:
    std::string_view m_text;
    int32_t m_number = 0;
    bool m_isNumber;
};

// Only the format is interpreted: "%s" inserts the next text unchanged, "%i" the next number in
// signed decimal, "%%" a percent sign; every other character stands for itself. Text arguments
// are never read as formats, so a path holding "%s" or "%n" is safe.
std::string FormatMessageText(std::string_view format, std::initializer_list<MessageArg> args);

}  // namespace favpage

// framework/resource_strings.h: the framework's string resources, shared by framework.rc and
// the code, with the built-in texts used when a string is missing.
#pragma once

#define IDS_UNTITLED 32503          // title of a new document
#define IDS_UNHANDLED_XMSG 32764    // caption: a message exception from outside the framework
#define IDS_OK_TO_RESUME 32765      // question under the text of an exception box
#define IDS_OWL_EXCEPTION 32766     // caption: the framework's own exceptions

#ifndef RC_INVOKED
#include <string>

// String resource `id` of the program, or `fallback` when it has none.
std::wstring LoadText(unsigned id, const wchar_t* fallback);
#endif

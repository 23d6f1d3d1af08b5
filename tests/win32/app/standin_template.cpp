// tests/win32/app/standin_template.cpp: the document template of the stand-in program: the
// program's own template fields, with the stand-in view.
#include "framework/doc_template.h"
#include "framework/document.h"
#include "tests/win32/app/standin_view.h"

namespace {
TDocTemplateT<TFileDocument, StandinView> gStandinTemplate(
    L"All Files (*.*)", L"*.*", nullptr, L"TXT", kTemplateAutoDelete | kTemplateUpdateDir);
}  // namespace

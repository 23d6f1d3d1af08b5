// app/doc_template.cpp: the program's one document template: a file document, never read or
// written, shown by the dialog view.
#include "framework/doc_template.h"
#include "framework/document.h"
#include "view/client_dialog.h"

namespace {
// A static object: it joins the template list before WinMain runs and leaves it afterwards.
// The document goes with its last view; the remembered-folder flag only matters to file
// dialogs of the document manager, which this program never shows.
TDocTemplateT<TFileDocument, favpage2TDLGClient> gDialogViewTemplate(
    L"All Files (*.*)", L"*.*", nullptr, L"TXT", kTemplateAutoDelete | kTemplateUpdateDir);
}  // namespace

// tests/win32/app/standin_resources.h: ids of the stand-in client view's dialog.
#pragma once
#define IDD_STANDIN 2000
#define IDC_STANDIN_FIELD 102
#define IDC_THROW_XMSG 301
#define IDC_THROW_OWL 302

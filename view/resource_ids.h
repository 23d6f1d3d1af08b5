// view/resource_ids.h: ids shared by the resource script and the program's code.
// Ranges: 1-2 the dialog manager's own buttons (IDOK, IDCANCEL: Enter and Escape press them)
//         101-105 controls of the client view | 1001 the program's icon
//         1536, 2000 dialog templates | 32000 and up: the framework's strings (framework.rc)
#pragma once

#define IDC_START_CONVERSION 1      // the default button, = IDOK
#define IDC_EXIT 2                  // = IDCANCEL
#define IDC_SHOW_HELP 101
#define IDC_LOCATION 102
#define IDC_OUTPUT 103
#define IDC_BROWSE_LOCATION 104
#define IDC_BROWSE_OUTPUT 105

#define IDI_FAVPAGE 1001
#define IDD_FOLDER_CHOOSER 1536
#define IDD_CLIENT 2000

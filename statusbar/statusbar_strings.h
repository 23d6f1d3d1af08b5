// statusbar/statusbar_strings.h: the status bar's string resources, shared by statusbar.rc and
// the code.
#pragma once

#define IDS_MODES 32530      // the indicators' words when on, split at '|'
#define IDS_MODESOFF 32531   // the blanks shown when they are off

// Used when the program's resources lack the strings.
#define STATUSBAR_MODES_TEXT "EXT|CAPS|NUM|SCRL|OVR|REC"
#define STATUSBAR_MODESOFF_TEXT "   |    |   |    |   |   "

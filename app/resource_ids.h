// app/resource_ids.h: ids of the shell's own resources, shared by app.rc and the code.
#pragma once

#define IDI_FAVPAGE 1001      // the frame's icon: 32 x 32 in 16 colours and in monochrome
#define CM_HELPABOUT 2009     // the About command; nothing in the program sends it

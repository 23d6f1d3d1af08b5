// app/main.cpp: the entry point; the command line is ignored.
#include <windows.h>

#include "app/favpage_app.h"
#include "framework/exceptions.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
    try {
        favpage2App app(instance, cmdShow);
        return app.Run();
    } catch (const xmsg& x) {
        MessageBoxA(nullptr, x.why().c_str(), "Exception", 0);
        return -1;
    }
}

// app/entry.cpp: the application object's life, and the last box for what escapes it.
#include "app/entry.h"

#include "app/favpage_app.h"
#include "framework/exceptions.h"

int RunReportingMessageExceptions(const std::function<int()>& body) {
    try {
        return body();
    } catch (const xmsg& x) {
        MessageBoxW(nullptr, x.why().c_str(), L"Exception", 0);
        return -1;
    }
}

int FavpageMain(HINSTANCE instance, int cmdShow) {
    return RunReportingMessageExceptions([&] {
        favpage2App app(instance, cmdShow);
        return app.Run();
    });
}

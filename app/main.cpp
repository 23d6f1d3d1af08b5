// app/main.cpp: WinMain. The program takes no command line.
#include "app/entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
    return FavpageMain(instance, cmdShow);
}

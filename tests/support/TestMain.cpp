// Entry point of every test program. Tests never use an X display: drawing goes through EGL.
// Coin, headless OpenGL and every registered node class are ready before the first test.
#include <Inventor/Win/SoWin.h>

#include <gtest/gtest.h>

#include <cstdlib>

// Leaks that belong to Coin itself (objects SoDB::init makes once and never frees) and to the
// font lookup it uses for text (fontconfig's caches) are not ours to report: the leak checker of a
// sanitizer build skips them. Defined here, in the object every test program links, because the
// sanitizer runtime looks it up by name; without sanitizers it is never called.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libCoin.so\nleak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    unsetenv("DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    SoWin::init("OivWinTav tests");
    return RUN_ALL_TESTS();
}

// Entry point of every test program. Tests never use an X display: drawing goes through EGL.
// Coin, headless OpenGL and every registered node class are ready before the first test.
#include "SanitizerDefaults.h"

#include <Inventor/Win/SoWin.h>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    unsetenv("DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    SoWin::init("OivWinTav tests");
    return RUN_ALL_TESTS();
}

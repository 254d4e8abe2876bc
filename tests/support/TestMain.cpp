// Entry point of every test program. Tests never use an X display: drawing goes through EGL.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    unsetenv("DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Fixture of the desktop tests: one program of the project on the desktop, found by the title of
// its window and closed through the window manager at the end, which it must survive with exit
// status 0 and no sanitizer report.
#ifndef OIVWINTAV_TESTS_DESKTOP_DESKTOPPROGRAMTEST_H
#define OIVWINTAV_TESTS_DESKTOP_DESKTOPPROGRAMTEST_H

#include "onscreen/TestScreen.h"

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <string>

namespace desktop {

// Asks `done` again and again until it says so or a generous time has passed; true when done.
bool waitUntil(const std::function<bool()>& done);
// Starts `program` with the test's environment, its output into `outputPath`; -1 if it cannot.
pid_t spawn(const char* program, const std::string& outputPath);

class DesktopProgramTest : public ::testing::Test {
protected:
    // Starts `program` and waits until its window titled `title` is on the screen.
    void start(const char* program, const std::string& title);
    void TearDown() override;
    // What `window` shows on the screen now.
    onscreen::ScreenImage grab(onscreen::TestScreen::Window window);

    onscreen::TestScreen m_Screen;
    onscreen::TestScreen::Window m_Window = 0;

private:
    std::string output() const;

    pid_t m_Program = -1;
    std::string m_OutputPath;
};

} // namespace desktop

#endif

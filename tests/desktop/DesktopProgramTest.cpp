#include "desktop/DesktopProgramTest.h"

#include "support/TempPath.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace desktop {

// Long enough for a sanitizer build on a loaded machine to start, or to end and check for leaks.
constexpr auto kWaitLimit = std::chrono::seconds(60);

bool waitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + kWaitLimit;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
}

pid_t spawn(const char* program, const std::string& outputPath) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, program, &files, nullptr, argv, environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

void DesktopProgramTest::start(const char* program, const std::string& title) {
    ASSERT_TRUE(m_Screen.isOpen());
    // The leaks a sanitizer build of the program may report that are not ours.
    setenv("LSAN_OPTIONS", "suppressions=" OIVWINTAV_CHILD_LEAK_SUPPRESSIONS, 1);
    setenv("ASAN_OPTIONS", OIVWINTAV_CHILD_ASAN_OPTIONS, 1);
    m_OutputPath = testsupport::tempPath("oivwintav-desktop", ".log");
    m_Program = spawn(program, m_OutputPath);
    ASSERT_GT(m_Program, 0) << "cannot start " << program;
    ASSERT_TRUE(waitUntil([&] { return (m_Window = m_Screen.findTopLevel(title)); }))
        << "no window \"" << title << "\"; the program wrote:\n"
        << output();
}

void DesktopProgramTest::TearDown() {
    if (m_Program <= 0)
        return;
    if (m_Window)
        m_Screen.requestClose(m_Window);
    int status = -1;
    const bool ended = waitUntil([&] { return waitpid(m_Program, &status, WNOHANG) == m_Program; });
    if (!ended) {
        kill(m_Program, SIGKILL);
        waitpid(m_Program, nullptr, 0);
    }
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << output();
    EXPECT_EQ(output().find("Sanitizer"), std::string::npos) << output();
    unlink(m_OutputPath.c_str());
}

onscreen::ScreenImage DesktopProgramTest::grab(onscreen::TestScreen::Window window) {
    const SbVec2s size = m_Screen.sizeOf(window);
    return m_Screen.grab(m_Screen.originOf(window), size[0], size[1]);
}

std::string DesktopProgramTest::output() const {
    std::stringstream text;
    text << std::ifstream(m_OutputPath).rdbuf();
    return text.str();
}

} // namespace desktop

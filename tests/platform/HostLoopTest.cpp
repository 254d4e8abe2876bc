// A host's own event loop drives the library through its descriptor and OivWin32ProcessEvents: a
// message posted from another thread wakes the host at once, and one call dispatches it.
#include "Win32Fixture.h"

#include <oivwin32.h>

#include <poll.h>

#include <thread>

using namespace win32test;

namespace {

bool readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return poll(&watched, 1, 0) == 1;
}

} // namespace

using HostLoopTest = Win32Test;

TEST_F(HostLoopTest, MessageFromAnotherThreadWakesTheHostAndOneCallDispatchesIt) {
    const int fd = OivWin32GetEventFd();
    ASSERT_GE(fd, 0);
    HWND window = createRecorded(nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    OivWin32ProcessEvents();
    recorded().clear();
    ASSERT_FALSE(readable(fd)) << "nothing to do yet";
    std::thread([window] { PostMessageA(window, WM_USER, 0, 0); }).join();
    EXPECT_TRUE(readable(fd));
    EXPECT_EQ(OivWin32GetNextTimeoutMs(), 0);
    EXPECT_TRUE(OivWin32ProcessEvents());
    EXPECT_TRUE(sequenceIs(messagesOf(window), {WM_USER}));
    EXPECT_FALSE(readable(fd));
    DestroyWindow(window);
}

#include "WindowSystem.h"

#include "WindowRegistry.h"

#include <vector>

namespace oivwin32 {

namespace {

// Never deleted: the windows and the drawing surfaces on it may be used until the process ends,
// and the connection closes with the process.
WindowSystem* theSystem = nullptr;

} // namespace

WindowSystem* WindowSystem::installed() {
    return theSystem;
}

bool WindowSystem::install(std::unique_ptr<WindowSystem> system) {
    if (theSystem || !system)
        return false;
    theSystem = system.release();
    // Windows made before the display was chosen (a host may create its main window before
    // initialising the viewer layer) are shown on it now, parents before their children.
    std::vector<HWND> existing = WindowRegistry::instance().locked(
        [](WindowRegistry& registry) { return registry.handles(); });
    for (HWND hwnd : existing)
        created(hwnd);
    return true;
}

void WindowSystem::created(HWND hwnd) {
    if (theSystem)
        theSystem->windowCreated(hwnd);
}

void WindowSystem::destroyed(HWND hwnd) {
    if (theSystem)
        theSystem->windowDestroyed(hwnd);
}

void WindowSystem::shown(HWND hwnd, bool visible) {
    if (theSystem)
        theSystem->windowShown(hwnd, visible);
}

void WindowSystem::placed(HWND hwnd) {
    if (theSystem)
        theSystem->windowPlaced(hwnd);
}

void WindowSystem::retitled(HWND hwnd) {
    if (theSystem)
        theSystem->windowRetitled(hwnd);
}

void WindowSystem::reparented(HWND hwnd) {
    if (theSystem)
        theSystem->windowReparented(hwnd);
}

void WindowSystem::raised(HWND hwnd) {
    if (theSystem)
        theSystem->windowRaised(hwnd);
}

void WindowSystem::cursorSet(HWND hwnd, WORD cursorId) {
    if (theSystem)
        theSystem->windowCursorSet(hwnd, cursorId);
}

void WindowSystem::pump() {
    if (theSystem)
        theSystem->pumpEvents();
}

void WindowSystem::wait(MessageQueue& queue, MessageQueue::Clock::time_point deadline) {
    if (theSystem)
        theSystem->waitForEvents(queue, deadline);
    else
        queue.waitForPost(deadline);
}

} // namespace oivwin32

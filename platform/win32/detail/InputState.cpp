#include "InputState.h"

namespace oivwin32 {

namespace {

bool isClientMouseMessage(UINT message) {
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

} // namespace

InputState& InputState::instance() {
    static InputState state;
    return state;
}

void InputState::observe(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isClientMouseMessage(message) || message == WM_MOUSEWHEEL) {
        // Wheel messages carry screen coordinates, the others client coordinates.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (message == WM_MOUSEWHEEL || ClientToScreen(hwnd, &point))
            setCursor(point);
        WORD keys = GET_KEYSTATE_WPARAM(wParam);
        std::lock_guard<std::mutex> lock(mutex_);
        if (message != WM_MOUSEWHEEL) // the wheel goes to the focus, wherever the pointer is
            pointerWindow_ = hwnd;
        keysDown_[VK_LBUTTON] = (keys & MK_LBUTTON) != 0;
        keysDown_[VK_RBUTTON] = (keys & MK_RBUTTON) != 0;
        keysDown_[VK_MBUTTON] = (keys & MK_MBUTTON) != 0;
        keysDown_[VK_SHIFT] = (keys & MK_SHIFT) != 0;
        keysDown_[VK_CONTROL] = (keys & MK_CONTROL) != 0;
        return;
    }
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        setKey(static_cast<int>(wParam), true);
    else if (message == WM_KEYUP || message == WM_SYSKEYUP)
        setKey(static_cast<int>(wParam), false);
}

POINT InputState::cursor() {
    std::lock_guard<std::mutex> lock(mutex_);
    return cursor_;
}

HWND InputState::pointerWindow() {
    std::lock_guard<std::mutex> lock(mutex_);
    return pointerWindow_;
}

void InputState::setCursor(POINT position) {
    std::lock_guard<std::mutex> lock(mutex_);
    cursor_ = position;
}

bool InputState::isKeyDown(int virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    return virtualKey >= 0 && virtualKey < static_cast<int>(keysDown_.size()) &&
           keysDown_[static_cast<size_t>(virtualKey)];
}

void InputState::setKey(int virtualKey, bool down) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (virtualKey >= 0 && virtualKey < static_cast<int>(keysDown_.size()))
        keysDown_[static_cast<size_t>(virtualKey)] = down;
}

} // namespace oivwin32

// The pointer and keyboard state of the process.
//
// There is no real mouse or keyboard here: a mouse or key message that is posted or sent to a
// window is where the pointer is and which keys are down. So the cursor position follows the
// client coordinates of mouse messages (converted to screen coordinates), the key state follows
// key messages and the MK_* flags of mouse messages, and MSG.pt of a posted message agrees with
// its lParam.
#ifndef OIVWINTAV_WIN32_DETAIL_INPUTSTATE_H
#define OIVWINTAV_WIN32_DETAIL_INPUTSTATE_H

#include <windows.h>

#include <array>
#include <mutex>

namespace oivwin32 {

class InputState {
public:
    static InputState& instance();

    InputState(const InputState&) = delete;
    InputState& operator=(const InputState&) = delete;

    // Takes in what a message delivered to `hwnd` says about the pointer and the keys.
    void observe(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    POINT cursor();
    // The window that got the last mouse message: the one the pointer is over, or the capture.
    HWND pointerWindow();
    void setCursor(POINT position);
    bool isKeyDown(int virtualKey);

private:
    InputState() = default;
    void setKey(int virtualKey, bool down);

    std::mutex mutex_;
    POINT cursor_{0, 0};
    HWND pointerWindow_ = nullptr;
    std::array<bool, 256> keysDown_{};
};

} // namespace oivwin32

#endif

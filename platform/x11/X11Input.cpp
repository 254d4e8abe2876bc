#include "X11Input.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace oivwin32 {

namespace {

constexpr unsigned int kLeftButton = 1, kMiddleButton = 2, kRightButton = 3;
constexpr unsigned int kWheelAway = 4, kWheelTowards = 5;

// Bits 30 (the key was down) and 31 (it is being released) of a key-up's lParam.
constexpr LPARAM kReleaseBits = LPARAM(0xC0000000);
constexpr int kScanCodeShift = 16;

struct KeyRange {
    unsigned long firstKeysym, lastKeysym;
    int firstVirtualKey;
};

// Keys whose codes run in the same order in both sets.
constexpr KeyRange kKeyRanges[] = {
    {XK_a, XK_z, 'A'},      {XK_A, XK_Z, 'A'},           {XK_0, XK_9, '0'},
    {XK_F1, XK_F12, VK_F1}, {XK_Left, XK_Down, VK_LEFT},
};

struct SingleKey {
    unsigned long keysym;
    int virtualKey;
};

constexpr SingleKey kSingleKeys[] = {
    {XK_BackSpace, VK_BACK},  {XK_Tab, VK_TAB},           {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN}, {XK_Escape, VK_ESCAPE},     {XK_space, VK_SPACE},
    {XK_Prior, VK_PRIOR},     {XK_Next, VK_NEXT},         {XK_End, VK_END},
    {XK_Home, VK_HOME},       {XK_Delete, VK_DELETE},     {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},   {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},      {XK_Alt_R, VK_MENU},
};

WPARAM buttonFlag(unsigned int button) {
    switch (button) {
    case kLeftButton:
        return MK_LBUTTON;
    case kMiddleButton:
        return MK_MBUTTON;
    case kRightButton:
        return MK_RBUTTON;
    default:
        return 0;
    }
}

} // namespace

WPARAM X11Input::mouseKeys(unsigned int state) {
    WPARAM keys = 0;
    keys |= (state & Button1Mask) ? MK_LBUTTON : 0;
    keys |= (state & Button2Mask) ? MK_MBUTTON : 0;
    keys |= (state & Button3Mask) ? MK_RBUTTON : 0;
    keys |= (state & ShiftMask) ? MK_SHIFT : 0;
    keys |= (state & ControlMask) ? MK_CONTROL : 0;
    return keys;
}

bool X11Input::buttonMessage(unsigned int button, bool press, unsigned int state, UINT* message,
                             WPARAM* wParam) {
    static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
    static constexpr UINT kUp[] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
    const WPARAM flag = buttonFlag(button);
    if (!flag)
        return false;
    *message = press ? kDown[button - kLeftButton] : kUp[button - kLeftButton];
    *wParam = press ? (mouseKeys(state) | flag) : (mouseKeys(state) & ~flag);
    return true;
}

int X11Input::wheelDelta(unsigned int button) {
    if (button == kWheelAway)
        return WHEEL_DELTA;
    if (button == kWheelTowards)
        return -WHEEL_DELTA;
    return 0;
}

int X11Input::virtualKey(unsigned long keysym) {
    for (const KeyRange& range : kKeyRanges)
        if (keysym >= range.firstKeysym && keysym <= range.lastKeysym)
            return range.firstVirtualKey + static_cast<int>(keysym - range.firstKeysym);
    for (const SingleKey& key : kSingleKeys)
        if (key.keysym == keysym)
            return key.virtualKey;
    return 0;
}

UINT X11Input::keyMessage(bool press, int virtualKey, unsigned int state) {
    const bool system = (state & Mod1Mask) || virtualKey == VK_MENU;
    if (system)
        return press ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    return press ? WM_KEYDOWN : WM_KEYUP;
}

LPARAM X11Input::keyLParam(bool press, unsigned int keycode) {
    LPARAM lParam = 1 | (LPARAM(keycode & 0xFF) << kScanCodeShift);
    return press ? lParam : (lParam | kReleaseBits);
}

} // namespace oivwin32

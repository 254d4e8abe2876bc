// What an X pointer or key event means to a Win32 program: the message, its MK_* flags and its
// virtual-key code. Buttons 1, 2 and 3 are the left, middle and right buttons, buttons 4 and 5 one
// notch of the wheel away from and towards the user; keys without a virtual-key code here (most
// punctuation, keypad, media keys) produce no message.
#ifndef OIVWINTAV_X11_X11INPUT_H
#define OIVWINTAV_X11_X11INPUT_H

#include <windows.h>

namespace oivwin32 {

class X11Input {
public:
    // The MK_* flags for an X key-and-button state mask.
    static WPARAM mouseKeys(unsigned int state);

    // The message and MK_* flags of a button press or release. As on Win32, a press already
    // counts its own button as held and a release no longer does. False for buttons that have
    // none (the wheel's, which wheelDelta answers, and extra buttons).
    static bool buttonMessage(unsigned int button, bool press, unsigned int state, UINT* message,
                              WPARAM* wParam);

    // The wheel rotation of a button press, in WHEEL_DELTA units (positive away from the
    // user); 0 when the button is not a wheel button.
    static int wheelDelta(unsigned int button);

    // The virtual-key code of an X keysym (the unshifted one of the key), 0 for none.
    static int virtualKey(unsigned long keysym);

    // The message and lParam of a key event: repeat count 1, the X key code as scan code, and
    // for a release the previous-state and transition bits. With Alt held (or for Alt itself)
    // the WM_SYS... messages, as Win32 sends them.
    static UINT keyMessage(bool press, int virtualKey, unsigned int state);
    static LPARAM keyLParam(bool press, unsigned int keycode);

    X11Input() = delete;
};

} // namespace oivwin32

#endif

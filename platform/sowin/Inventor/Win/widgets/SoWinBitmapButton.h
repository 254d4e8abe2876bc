// A viewer button: a small child window showing a bitmap, that can be selected (drawn pushed
// in) and show a focus frame. A click on it is routed through its window properties: "THIS"
// (the SoWinFullViewer it belongs to), "CallbackData" (the button id) and "SoWinBitmapButton"
// (the button), to that viewer's pushButtonCB(window, id, button). A button made outside the
// viewer takes part once those properties are set on its window.
#ifndef OIVWINTAV_SOWINBITMAPBUTTON_H
#define OIVWINTAV_SOWINBITMAPBUTTON_H

#include <Inventor/SbBasic.h>
#include <windows.h>

class SoWinBitmapButton {
public:
    // Side length of a button window in pixels.
    static constexpr int kSize = 30;

    // The window properties through which a click finds its way to a viewer.
    static constexpr const char* kViewerProperty = "THIS";
    static constexpr const char* kIdProperty = "CallbackData";
    static constexpr const char* kButtonProperty = "SoWinBitmapButton";

    // A button window on `parent`, titled `name`. `depth` (colour depth of the picture) and
    // `bits` (picture data) are kept as given; pictures come from setBitmap.
    SoWinBitmapButton(HWND parent, int depth = 0, const char* name = NULL, void* bits = NULL);
    ~SoWinBitmapButton();
    SoWinBitmapButton(const SoWinBitmapButton&) = delete;
    SoWinBitmapButton& operator=(const SoWinBitmapButton&) = delete;

    // The button's window.
    HWND getWidget(void) const { return m_Window; }

    // Shows bitmap `resourceId` of `module` (registered with the module's resources); a
    // bitmap that cannot be loaded leaves the button without picture.
    void setBitmap(HINSTANCE module, int resourceId);
    HBITMAP getBitmap(void) const { return m_Bitmap; }

    // Whether the button is drawn pressed.
    void select(SbBool on) { m_Selected = on; }
    SbBool isSelected(void) const { return m_Selected; }

    // Whether the button is drawn with the focus mark.
    void showFocus(SbBool on) { m_FocusShown = on; }
    SbBool isFocusShown(void) const { return m_FocusShown; }

    // The bitmap depth and bits given at construction.
    int getDepth(void) const { return m_Depth; }
    void* getBits(void) const { return m_Bits; }

    // Window class of the button windows.
    static const char* getClassName(void);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void clicked(HWND hwnd);

    HWND m_Window = nullptr;
    HBITMAP m_Bitmap = nullptr;
    bool m_Selected = false;
    bool m_FocusShown = false;
    int m_Depth;
    void* m_Bits;
};

#endif // OIVWINTAV_SOWINBITMAPBUTTON_H

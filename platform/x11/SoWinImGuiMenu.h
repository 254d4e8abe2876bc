// Shows the viewers' popup menus on screen, drawn with Dear ImGui like the dialogs, in a window
// of its own without a frame at the pointer. A click on an item chooses it; a click anywhere
// else in the program's windows or Escape closes the menu without a choice.
#ifndef OIVWINTAV_SOWINIMGUIMENU_H
#define OIVWINTAV_SOWINIMGUIMENU_H

#include <windows.h>

class SoWinImGuiMenu {
public:
    // Presents the popup menus from now on.
    static void install();

    // Where the item shown as `text` in the open menu was drawn last, in screen pixels; false
    // when no menu is open or no such item was drawn.
    static bool findItem(const char* text, RECT* screen);
    // Whether a menu is open.
    static bool isOpen();

    SoWinImGuiMenu() = delete;
};

#endif // OIVWINTAV_SOWINIMGUIMENU_H

// Shows the dialog toolkit on screen: each top-level dialog that is shown gets a window of its
// own (SoWinImGuiWindow), placed to the right of the application's top-level window, and each
// notice a window over it that the dialogs wait for; the viewers' popup menus are shown too.
// Installed by the display choice when windows are on screen; headless, nobody listens and show
// only marks a dialog shown.
#ifndef OIVWINTAV_SOWINIMGUIDIALOGS_H
#define OIVWINTAV_SOWINIMGUIDIALOGS_H

#include <windows.h>

class SoMessageDialog;

class SoWinImGuiDialogs {
public:
    // Listens on the show hooks of top-level dialogs and notices from now on.
    static void install();

    // Where `node` (a control of a shown dialog, or a shown notice for its OK button) was drawn
    // last, in screen pixels; with an index, the place of that item of a combo box's open list
    // or that tab of a tab container. False when it is not on screen.
    static bool findOnScreen(const void* node, RECT* screen, int index = -1);

    // The notice on screen (the latest when there are several), null when none is.
    static SoMessageDialog* getOpenNotice();

    SoWinImGuiDialogs() = delete;
};

#endif // OIVWINTAV_SOWINIMGUIDIALOGS_H

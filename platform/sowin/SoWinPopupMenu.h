// A viewer's popup menu: the items it offers and where the user's choice goes. The window layer
// that can show menus installs a presenter; without one (off screen) no menu opens.
#ifndef OIVWINTAV_SOWINPOPUPMENU_H
#define OIVWINTAV_SOWINPOPUPMENU_H

#include <windows.h>

#include <string>
#include <vector>

class SoWinPopupMenu {
public:
    // One line of the menu: its text, whether it shows a tick, and the id reported when chosen.
    struct Item {
        std::string text;
        int id;
        bool checked;
    };
    // Called with the id of the item chosen; not called when the menu closes without a choice.
    typedef void ChosenCB(void* data, int id);
    typedef void OpenCB(const std::vector<Item>& items, POINT screen, ChosenCB* chosen, void* data);
    typedef void CloseCB(void* data);

    // Installs who shows menus: `open` pops one up (replacing any open one), `close` takes down
    // the one opened for `data`.
    static void setPresenter(OpenCB* open, CloseCB* close);
    // Pops up `items` with its top left corner at `screen`; the choice goes to `chosen` with
    // `data`. False when nothing shows menus.
    static bool open(const std::vector<Item>& items, POINT screen, ChosenCB* chosen, void* data);
    // Closes the menu opened for `data` without a choice (its owner goes away).
    static void close(void* data);

    SoWinPopupMenu() = delete;
};

#endif // OIVWINTAV_SOWINPOPUPMENU_H

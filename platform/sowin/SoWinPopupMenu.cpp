#include "SoWinPopupMenu.h"

namespace {

SoWinPopupMenu::OpenCB* presenterOpen = nullptr;
SoWinPopupMenu::CloseCB* presenterClose = nullptr;

} // namespace

void SoWinPopupMenu::setPresenter(OpenCB* open, CloseCB* close) {
    presenterOpen = open;
    presenterClose = close;
}

bool SoWinPopupMenu::open(const std::vector<Item>& items, POINT screen, ChosenCB* chosen,
                          void* data) {
    if (!presenterOpen || items.empty())
        return false;
    presenterOpen(items, screen, chosen, data);
    return true;
}

void SoWinPopupMenu::close(void* data) {
    if (presenterClose)
        presenterClose(data);
}

#include "SoWinImGuiDialogs.h"

#include "SoWinImGuiMenu.h"
#include "SoWinImGuiWindow.h"

#include <DialogViz/dialog/SoMessageDialog.h>
#include <DialogViz/dialog/SoTopLevelDialog.h>

#include <Inventor/Win/SoWin.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Between the application's window and the first dialog beside it, and between dialogs placed
// one below another.
constexpr int kGap = 8;
constexpr POINT kWithoutApplicationWindow = {40, 40};

class Dialogs {
public:
    Dialogs() : m_Retire(retireCB, this) {}

    static void topLevelCB(void* data, SoTopLevelDialog* dialog) {
        static_cast<Dialogs*>(data)->topLevelChanged(dialog);
    }

    static void noticeCB(void* data, SoMessageDialog* notice) {
        static_cast<Dialogs*>(data)->open(std::make_unique<SoWinImGuiWindow>(notice));
    }

    bool findOnScreen(const void* node, RECT* screen, int index) const {
        return std::any_of(m_Windows.begin(), m_Windows.end(), [&](const auto& window) {
            return window->findOnScreen(node, screen, index);
        });
    }

    SoMessageDialog* openNotice() const {
        for (auto it = m_Windows.rbegin(); it != m_Windows.rend(); ++it)
            if (SoMessageDialog* notice = (*it)->getNotice())
                return notice;
        return nullptr;
    }

private:
    void topLevelChanged(SoTopLevelDialog* dialog) {
        if (dialog->isShown()) {
            open(std::make_unique<SoWinImGuiWindow>(dialog));
            return;
        }
        for (auto& window : m_Windows)
            if (window->getDialog() == dialog)
                retire(window.get());
    }

    void open(std::unique_ptr<SoWinImGuiWindow> window) {
        window->setClosedCallback(closedCB, this);
        window->setResizedCallback(resizedCB, this);
        place(*window);
        window->show();
        m_Windows.push_back(std::move(window));
    }

    // Dialogs go to the right of the application's window, one below another; notices over
    // the middle of it.
    void place(SoWinImGuiWindow& window) {
        RECT application{kWithoutApplicationWindow.x, kWithoutApplicationWindow.y,
                         kWithoutApplicationWindow.x, kWithoutApplicationWindow.y};
        HWND topLevel = SoWin::getTopLevelWidget();
        if (topLevel)
            GetWindowRect(topLevel, &application);
        const SbVec2s size = window.getSize();
        POINT at{application.right + kGap, application.top};
        if (window.getNotice()) {
            at = POINT{(application.left + application.right - size[0]) / 2,
                       (application.top + application.bottom - size[1]) / 2};
        } else {
            for (const auto& other : m_Windows) {
                RECT shown{};
                if (other->getDialog() && GetWindowRect(other->getShellWidget(), &shown))
                    at.y = std::max<LONG>(at.y, shown.bottom + kGap);
            }
        }
        MoveWindow(window.getShellWidget(), at.x, at.y, size[0], size[1], TRUE);
    }

    static void resizedCB(void* data, SoWinImGuiWindow* window) {
        static_cast<Dialogs*>(data)->pushDownBelow(window);
    }

    // A dialog placed before it was drawn had a first guess of a height; once it takes the
    // height of its controls, the dialogs placed below it in the column move down, so that
    // none covers another.
    void pushDownBelow(SoWinImGuiWindow* grown) {
        RECT above{};
        bool below = false;
        for (const auto& window : m_Windows) {
            RECT shown{};
            if (window.get() == grown) {
                below = GetWindowRect(grown->getShellWidget(), &above);
            } else if (below && window->getDialog() &&
                       GetWindowRect(window->getShellWidget(), &shown) &&
                       shown.left == above.left && shown.top >= above.top) {
                const LONG top = std::max<LONG>(shown.top, above.bottom + kGap);
                MoveWindow(window->getShellWidget(), shown.left, top, shown.right - shown.left,
                           shown.bottom - shown.top, TRUE);
                above = RECT{shown.left, top, shown.right, top + shown.bottom - shown.top};
            }
        }
    }

    static void closedCB(void* data, SoWinImGuiWindow* window) {
        static_cast<Dialogs*>(data)->closed(window);
    }

    void closed(SoWinImGuiWindow* window) {
        if (SoTopLevelDialog* dialog = window->getDialog()) {
            dialog->hide(); // the hook retires the window
            return;
        }
        if (SoMessageDialog* notice = window->getNotice())
            notice->destroy();
        retire(window);
    }

    // The window may be the one whose message or sensor got us here: it is released at once and
    // deleted from the loop.
    void retire(SoWinImGuiWindow* window) {
        window->release();
        m_Retire.schedule();
    }

    static void retireCB(void* data, SoSensor*) {
        auto& windows = static_cast<Dialogs*>(data)->m_Windows;
        windows.erase(
            std::remove_if(windows.begin(), windows.end(),
                           [](const auto& w) { return !w->getDialog() && !w->getNotice(); }),
            windows.end());
    }

    std::vector<std::unique_ptr<SoWinImGuiWindow>> m_Windows;
    SoOneShotSensor m_Retire;
};

// Lives as long as the process: dialogs may be shown until it ends.
Dialogs* theDialogs = nullptr;

} // namespace

void SoWinImGuiDialogs::install() {
    if (theDialogs)
        return;
    theDialogs = new Dialogs;
    SoTopLevelDialog::setShowCallback(Dialogs::topLevelCB, theDialogs);
    SoMessageDialog::setShowCallback(Dialogs::noticeCB, theDialogs);
    SoWinImGuiMenu::install();
}

SoMessageDialog* SoWinImGuiDialogs::getOpenNotice() {
    return theDialogs ? theDialogs->openNotice() : nullptr;
}

bool SoWinImGuiDialogs::findOnScreen(const void* node, RECT* screen, int index) {
    return theDialogs && theDialogs->findOnScreen(node, screen, index);
}

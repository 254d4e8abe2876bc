#include "SoWinImGuiWindow.h"

#include "SoWinDialogOperation.h"
#include "SoWinImGuiContext.h"
#include "SoWinImGuiDialog.h"

#include <DialogViz/dialog/SoMessageDialog.h>
#include <DialogViz/dialog/SoTopLevelDialog.h>

#include <Inventor/Win/SoWin.h>
#include <Inventor/sensors/SoNodeSensor.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <imgui.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr short kDialogWidth = 420;
constexpr short kFirstDialogHeight = 120;
constexpr short kTallestDialog = 900;
constexpr short kNoticeWidth = 380;
constexpr short kNoticeHeight = 160;
// A notice's text wraps at this width; the window fits what it shows.
constexpr float kNoticeTextWidth = 460.0f;
constexpr float kOkButtonWidth = 88.0f;
constexpr const char* kOkText = "OK";
constexpr const char* kShellWindowProperty = "SoWinImGuiWindow";
// ImGui lays out a new pop-up (a notice, a combo box's list) over a few frames before it shows
// it where it stays: after any change this many more frames are drawn.
constexpr int kSettlingFrames = 3;

// Notice windows open now, oldest first; while there is one, dialog windows ignore the mouse.
std::vector<SoWinImGuiWindow*> openNotices;

bool closesNotice(const MSG& msg) {
    return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

// The newest notice comes to the front, as a blocked click on its owner brings a desktop's
// modal dialog forward.
void raiseNewestNotice() {
    if (!openNotices.empty())
        SetForegroundWindow(openNotices.back()->getShellWidget());
}

} // namespace

struct SoWinImGuiWindow::Private {
    Private(SoWinImGuiWindow* owner, SoTopLevelDialog* dialog, SoMessageDialog* notice)
        : owner(owner), dialog(dialog), notice(notice), changed(changedCB, owner),
          afterFrame(afterFrameCB, owner) {
        if (dialog)
            changed.attach(dialog);
        if (notice) {
            notice->ref();
            openNotices.push_back(owner);
        }
    }

    SoWinImGuiWindow* owner;
    SoTopLevelDialog* dialog;
    SoMessageDialog* notice;
    std::unique_ptr<SoWinImGuiContext> context = std::make_unique<SoWinImGuiContext>();
    SoWinDialogOperation operation;
    SoWinImGuiDialog::Places places;
    float wantedHeight = 0.0f;
    ImVec2 wantedNoticeSize;
    WNDPROC shellProc = nullptr;
    // The size a dialog's window last asked for. It fits its height to its controls until the
    // window manager gives it another size (the user resized it): from then on the user's size
    // stays and the controls are laid out for it.
    SbVec2s requestedSize = SbVec2s(0, 0);
    bool userSized = false;
    int framesToSettle = kSettlingFrames;
    bool closeRequested = false;
    // Redraws when the dialog's controls change, whoever changed them.
    SoNodeSensor changed;
    // What follows a frame: the operation, a new size, a close.
    SoOneShotSensor afterFrame;
    ClosedCB* closedCB = nullptr;
    void* closedData = nullptr;
    ResizedCB* resizedCB = nullptr;
    void* resizedData = nullptr;

    static void changedCB(void* data, SoSensor*) {
        static_cast<SoWinImGuiWindow*>(data)->m_Private->settle();
    }

    // Has the window drawn again, a few times over, from the message loop.
    void settle() {
        framesToSettle = kSettlingFrames;
        InvalidateRect(owner->getNormalWidget(), nullptr, FALSE);
    }

    static void afterFrameCB(void* data, SoSensor*) {
        static_cast<SoWinImGuiWindow*>(data)->m_Private->finishFrame();
    }

    static void shellClosedCB(void* data, SoWinComponent*) {
        static_cast<SoWinImGuiWindow*>(data)->m_Private->reportClosed();
    }

    void reportClosed() {
        if (closedCB)
            closedCB(closedData, owner);
    }

    void finishFrame() {
        if (operation.isPending())
            operation.perform();
        if (closeRequested) {
            closeRequested = false;
            reportClosed();
            return;
        }
        if (dialog)
            fitDialog();
        else if (notice)
            fitNotice();
    }

    void fitDialog() {
        const SbVec2s size = owner->getSize();
        userSized = userSized || size != requestedSize;
        const short height = short(std::clamp(int(wantedHeight + 0.5f), 1, int(kTallestDialog)));
        if (userSized || size[1] == height)
            return;
        requestSize(SbVec2s(kDialogWidth, height));
        if (resizedCB)
            resizedCB(resizedData, owner);
    }

    void requestSize(const SbVec2s& size) {
        requestedSize = size;
        owner->setSize(size);
    }

    // The notice's window takes the size of what it shows, around the same middle.
    void fitNotice() {
        const SbVec2s size(short(wantedNoticeSize.x + 0.5f), short(wantedNoticeSize.y + 0.5f));
        RECT shown{};
        if (size[0] <= 0 || owner->getSize() == size ||
            !GetWindowRect(owner->getShellWidget(), &shown))
            return;
        const int left = (shown.left + shown.right - size[0]) / 2;
        const int top = (shown.top + shown.bottom - size[1]) / 2;
        MoveWindow(owner->getShellWidget(), left, top, size[0], size[1], TRUE);
    }

    // The window's title is the notice's: inside it, only the message and OK, the button on
    // the right as desktop dialogs place it.
    void drawNotice() {
        const ImGuiStyle& style = ImGui::GetStyle();
        const char* text = notice->label.getValue().getString();
        const float textWidth = std::min(ImGui::CalcTextSize(text).x, kNoticeTextWidth);
        ImGui::PushTextWrapPos(style.WindowPadding.x + textWidth);
        ImGui::TextUnformatted(text);
        ImGui::PopTextWrapPos();
        ImGui::Spacing();
        const float width = std::max(textWidth, kOkButtonWidth);
        ImGui::SetCursorPosX(style.WindowPadding.x + width - kOkButtonWidth);
        if (ImGui::Button(kOkText, ImVec2(kOkButtonWidth, 0.0f)))
            closeRequested = true;
        SoWinImGuiDialog(operation, places).remember(notice);
        wantedNoticeSize = ImVec2(width + 2.0f * style.WindowPadding.x,
                                  ImGui::GetItemRectMax().y + style.WindowPadding.y);
    }

    void drawFrame(const SbVec2s& size) {
        SoWinImGuiContext::Scope scope(*context);
        context->beginFrame(size);
        if (dialog)
            wantedHeight = SoWinImGuiDialog(operation, places).drawTopLevel(dialog);
        else if (notice)
            drawNotice();
        context->endFrame(size);
        afterFrame.schedule();
        if (framesToSettle > 0 && --framesToSettle > 0)
            InvalidateRect(owner->getNormalWidget(), nullptr, FALSE);
    }

    // Return and Escape answer a notice, as they do a desktop's message box.
    bool feedKey(const MSG& msg) {
        if (!notice || !closesNotice(msg))
            return false;
        closeRequested = true;
        afterFrame.schedule();
        return true;
    }

    // The shell hands the keyboard on to the drawing window, as a dialog gives it to its
    // control: keys for the notice arrive wherever the window manager put the focus.
    static LRESULT CALLBACK shellFocusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* window = static_cast<SoWinImGuiWindow*>(GetPropA(hwnd, kShellWindowProperty));
        if (!window)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        const WNDPROC previous = window->m_Private->shellProc;
        if (message == WM_SETFOCUS)
            SetFocus(window->getNormalWidget());
        if (message == WM_NCDESTROY)
            RemovePropA(hwnd, kShellWindowProperty);
        return CallWindowProcA(previous, hwnd, message, wParam, lParam);
    }

    void passFocusFromShell() {
        HWND shell = owner->getShellWidget();
        if (!shell)
            return;
        SetPropA(shell, kShellWindowProperty, owner);
        shellProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            shell, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Private::shellFocusProc)));
    }
};

SoWinImGuiWindow::SoWinImGuiWindow(SoTopLevelDialog* dialog) : SoWinImGuiWindow(dialog, nullptr) {}

SoWinImGuiWindow::SoWinImGuiWindow(SoMessageDialog* notice) : SoWinImGuiWindow(nullptr, notice) {}

SoWinImGuiWindow::SoWinImGuiWindow(SoTopLevelDialog* dialog, SoMessageDialog* notice)
    // A notice is owned by the application's window: kept above it, as a dialog of it.
    : SoWinGLWidget(notice ? SoWin::getTopLevelWidget() : nullptr, "SoWinImGuiWindow", FALSE,
                    SO_GL_RGB | SO_GL_DOUBLE),
      m_Private(new Private(this, dialog, notice)) {
    setClassName("SoWinImGuiWindow");
    setWindowCloseCallback(Private::shellClosedCB, this);
    if (dialog) {
        setTitle(dialog->label.getValue().getString());
        m_Private->requestSize(SbVec2s(kDialogWidth, kFirstDialogHeight));
    } else if (notice) {
        setTitle(notice->title.getValue().getString());
        setSize(SbVec2s(kNoticeWidth, kNoticeHeight));
        m_Private->passFocusFromShell();
    }
}

SoWinImGuiWindow::~SoWinImGuiWindow() {
    release();
    HWND shell = getShellWidget();
    if (shell && m_Private->shellProc) {
        SetWindowLongPtrA(shell, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_Private->shellProc));
        RemovePropA(shell, kShellWindowProperty);
    }
    // The renderer frees its font texture in the GL context it made it in.
    glLockNormal();
    m_Private->context.reset();
    glUnlockNormal();
}

SoTopLevelDialog* SoWinImGuiWindow::getDialog() const {
    return m_Private->dialog;
}

SoMessageDialog* SoWinImGuiWindow::getNotice() const {
    return m_Private->notice;
}

void SoWinImGuiWindow::setClosedCallback(ClosedCB* callback, void* data) {
    m_Private->closedCB = callback;
    m_Private->closedData = data;
}

void SoWinImGuiWindow::setResizedCallback(ResizedCB* callback, void* data) {
    m_Private->resizedCB = callback;
    m_Private->resizedData = data;
}

void SoWinImGuiWindow::release() {
    Private& p = *m_Private;
    p.changed.detach();
    p.afterFrame.unschedule();
    p.dialog = nullptr;
    if (p.notice) {
        openNotices.erase(std::remove(openNotices.begin(), openNotices.end(), this),
                          openNotices.end());
        p.notice->unref();
        p.notice = nullptr;
    }
    p.places.clear();
    hide();
}

bool SoWinImGuiWindow::findOnScreen(const void* node, RECT* screen, int index) const {
    auto found = m_Private->places.find({node, index});
    if (found == m_Private->places.end() || !screen)
        return false;
    POINT topLeft{found->second.left, found->second.top};
    ClientToScreen(getNormalWidget(), &topLeft);
    *screen = RECT{topLeft.x, topLeft.y, topLeft.x + (found->second.right - found->second.left),
                   topLeft.y + (found->second.bottom - found->second.top)};
    return true;
}

void SoWinImGuiWindow::actualRedraw(void) {
    m_Private->drawFrame(getGlxSize());
}

void SoWinImGuiWindow::processEvent(MSG* msg) {
    Private& p = *m_Private;
    if (!msg || (!p.dialog && !p.notice) || p.feedKey(*msg))
        return;
    if (p.dialog && !openNotices.empty()) {
        if (SoWinImGuiContext::isPress(msg->message))
            raiseNewestNotice();
        return;
    }
    if (!p.context->feed(*msg))
        return;
    // One frame per message: a press and its release must each be seen by a frame of their own.
    redraw();
    // A move changes only what is highlighted, which that frame shows; a press or a release may
    // open or close a pop-up, which takes ImGui a few frames to place.
    if (msg->message != WM_MOUSEMOVE)
        p.settle();
}

#include "SoWinImGuiWindow.h"

#include "SoWinDialogOperation.h"
#include "SoWinImGuiDialog.h"

#include <DialogViz/dialog/SoMessageDialog.h>
#include <DialogViz/dialog/SoTopLevelDialog.h>

#include <Inventor/sensors/SoNodeSensor.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <algorithm>
#include <string>

namespace {

constexpr short kDialogWidth = 420;
constexpr short kFirstDialogHeight = 120;
constexpr short kTallestDialog = 900;
constexpr short kNoticeWidth = 380;
constexpr short kNoticeHeight = 160;
// ImGui animates nothing we draw; it only needs a positive step between frames.
constexpr float kFrameStep = 1.0f / 60.0f;
constexpr ImGuiWindowFlags kWholeWindow = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                          ImGuiWindowFlags_NoSavedSettings |
                                          ImGuiWindowFlags_NoBringToFrontOnFocus;
constexpr const char* kOkText = "OK";
// ImGui lays out a new pop-up (a notice, a combo box's list) over a few frames before it shows
// it where it stays: after any change this many more frames are drawn.
constexpr int kSettlingFrames = 3;

// Notice windows open now; while there is one, dialog windows ignore the mouse.
int openNotices = 0;

// Makes a window's ImGui context current for the lifetime of the object.
class ContextScope {
public:
    explicit ContextScope(ImGuiContext* context) : m_Previous(ImGui::GetCurrentContext()) {
        ImGui::SetCurrentContext(context);
    }
    ~ContextScope() { ImGui::SetCurrentContext(m_Previous); }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ImGuiContext* m_Previous;
};

int mouseButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return ImGuiMouseButton_Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return ImGuiMouseButton_Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return ImGuiMouseButton_Middle;
    default:
        return -1;
    }
}

bool isPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

} // namespace

struct SoWinImGuiWindow::Private {
    Private(SoWinImGuiWindow* owner, SoTopLevelDialog* dialog, SoMessageDialog* notice)
        : owner(owner), dialog(dialog), notice(notice), context(ImGui::CreateContext()),
          changed(changedCB, owner), afterFrame(afterFrameCB, owner) {
        ContextScope scope(context);
        ImGui::GetIO().IniFilename = nullptr; // no settings file beside the host program
        ImGui::StyleColorsLight();
        if (dialog)
            changed.attach(dialog);
        if (notice) {
            notice->ref();
            ++openNotices;
        }
    }

    SoWinImGuiWindow* owner;
    SoTopLevelDialog* dialog;
    SoMessageDialog* notice;
    ImGuiContext* context;
    bool rendererReady = false;
    SoWinDialogOperation operation;
    SoWinImGuiDialog::Places places;
    float wantedHeight = 0.0f;
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
        if (!dialog)
            return;
        const short height = short(std::clamp(int(wantedHeight + 0.5f), 1, int(kTallestDialog)));
        if (owner->getSize()[1] == height)
            return;
        owner->setSize(SbVec2s(kDialogWidth, height));
        if (resizedCB)
            resizedCB(resizedData, owner);
    }

    void drawNotice() {
        const std::string title = std::string(notice->title.getValue().getString()) + "##notice";
        if (!ImGui::IsPopupOpen(title.c_str()))
            ImGui::OpenPopup(title.c_str());
        const ImVec2 middle(ImGui::GetIO().DisplaySize.x / 2, ImGui::GetIO().DisplaySize.y / 2);
        ImGui::SetNextWindowPos(middle, ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        if (!ImGui::BeginPopupModal(title.c_str(), nullptr,
                                    ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove))
            return;
        ImGui::TextUnformatted(notice->label.getValue().getString());
        if (ImGui::Button(kOkText))
            closeRequested = true;
        SoWinImGuiDialog(operation, places).remember(notice);
        ImGui::EndPopup();
    }

    void drawFrame(const SbVec2s& size) {
        ContextScope scope(context);
        if (!rendererReady)
            rendererReady = ImGui_ImplOpenGL2_Init();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(size[0], size[1]);
        io.DeltaTime = kFrameStep;
        ImGui_ImplOpenGL2_NewFrame();
        ImGui::NewFrame();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(io.DisplaySize);
        ImGui::Begin("##window", nullptr, kWholeWindow);
        if (dialog)
            wantedHeight = SoWinImGuiDialog(operation, places).drawTopLevel(dialog);
        else if (notice)
            drawNotice();
        ImGui::End();
        ImGui::Render();
        const ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
        glViewport(0, 0, size[0], size[1]);
        glClearColor(background.x, background.y, background.z, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        afterFrame.schedule();
        if (framesToSettle > 0 && --framesToSettle > 0)
            InvalidateRect(owner->getNormalWidget(), nullptr, FALSE);
    }

    // Takes in a mouse message; false for messages ImGui has no use for (keys: the dialogs have
    // no text to type into).
    bool feed(const MSG& msg) {
        ContextScope scope(context);
        ImGuiIO& io = ImGui::GetIO();
        if (msg.message == WM_MOUSEWHEEL) {
            io.MouseWheel += float(GET_WHEEL_DELTA_WPARAM(msg.wParam)) / WHEEL_DELTA;
            return true;
        }
        const int button = mouseButtonOf(msg.message);
        if (msg.message != WM_MOUSEMOVE && button < 0)
            return false;
        io.MousePos = ImVec2(float(GET_X_LPARAM(msg.lParam)), float(GET_Y_LPARAM(msg.lParam)));
        if (button >= 0)
            io.MouseDown[button] = isPress(msg.message);
        return true;
    }
};

SoWinImGuiWindow::SoWinImGuiWindow(SoTopLevelDialog* dialog) : SoWinImGuiWindow(dialog, nullptr) {}

SoWinImGuiWindow::SoWinImGuiWindow(SoMessageDialog* notice) : SoWinImGuiWindow(nullptr, notice) {}

SoWinImGuiWindow::SoWinImGuiWindow(SoTopLevelDialog* dialog, SoMessageDialog* notice)
    : SoWinGLWidget(nullptr, "SoWinImGuiWindow", FALSE, SO_GL_RGB | SO_GL_DOUBLE),
      m_Private(new Private(this, dialog, notice)) {
    setClassName("SoWinImGuiWindow");
    setWindowCloseCallback(Private::shellClosedCB, this);
    if (dialog) {
        setTitle(dialog->label.getValue().getString());
        setSize(SbVec2s(kDialogWidth, kFirstDialogHeight));
    } else if (notice) {
        setTitle(notice->title.getValue().getString());
        setSize(SbVec2s(kNoticeWidth, kNoticeHeight));
    }
}

SoWinImGuiWindow::~SoWinImGuiWindow() {
    release();
    {
        ContextScope scope(m_Private->context);
        // The renderer frees its font texture in the context it made it in.
        if (m_Private->rendererReady && glLockNormal())
            ImGui_ImplOpenGL2_Shutdown();
        glUnlockNormal();
    }
    ImGui::DestroyContext(m_Private->context);
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
        --openNotices;
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
    const bool modalElsewhere = p.dialog && openNotices > 0;
    if (!msg || (!p.dialog && !p.notice) || modalElsewhere || !p.feed(*msg))
        return;
    // One frame per message: a press and its release must each be seen by a frame of their own.
    redraw();
    // A move changes only what is highlighted, which that frame shows; a press or a release may
    // open or close a pop-up, which takes ImGui a few frames to place.
    if (msg->message != WM_MOUSEMOVE)
        p.settle();
}

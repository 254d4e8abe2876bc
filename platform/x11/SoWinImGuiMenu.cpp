#include "SoWinImGuiMenu.h"

#include "SoWinImGuiContext.h"
#include "SoWinPopupMenu.h"
#include "SoWinWindowClass.h"

#include <Inventor/Win/SoWinGLWidget.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <imgui.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

constexpr const char* kPopupClass = "SoWinImGuiMenu";
// The size the window opens with, before its first frame measured the items.
constexpr short kFirstWidth = 160;
constexpr short kFirstHeight = 40;
// Room right of the longest text, for the tick and the margin.
constexpr float kTickRoom = 28.0f;
// ImGui places what it drew for the first time over a few frames.
constexpr int kSettlingFrames = 3;

void scheduleRetirement();

class MenuWindow : public SoWinGLWidget {
public:
    explicit MenuWindow(HWND popup)
        : SoWinGLWidget(popup, "SoWinImGuiMenu", TRUE, SO_GL_RGB | SO_GL_DOUBLE), m_Popup(popup),
          m_AfterFrame(afterFrameCB, this) {}

    ~MenuWindow() override {
        glLockNormal();
        m_Context.reset();
        glUnlockNormal();
    }

    void open(const std::vector<SoWinPopupMenu::Item>& items, POINT screen,
              SoWinPopupMenu::ChosenCB* chosen, void* data) {
        m_Items = items;
        m_ChosenCB = chosen;
        m_Data = data;
        m_Chosen = -1;
        m_Places.clear();
        place(screen, SbVec2s(kFirstWidth, kFirstHeight));
        ShowWindow(m_Popup, SW_SHOW);
        show();
        // Every click in the program's windows comes here until the menu closes.
        SetCapture(getNormalWidget());
        SetFocus(getNormalWidget());
        settle();
    }

    void close() {
        m_Items.clear();
        m_Places.clear();
        m_Data = nullptr;
        m_AfterFrame.unschedule();
        if (GetCapture() == getNormalWidget())
            ReleaseCapture();
        ShowWindow(m_Popup, SW_HIDE);
        scheduleRetirement();
    }

    bool isOpen() const { return !m_Items.empty(); }
    HWND getPopup() const { return m_Popup; }
    void* owner() const { return m_Data; }

    bool findItem(const std::string& text, RECT* screen) const {
        auto item = std::find_if(m_Items.begin(), m_Items.end(),
                                 [&](const SoWinPopupMenu::Item& i) { return i.text == text; });
        if (item == m_Items.end())
            return false;
        auto found = m_Places.find(item->id);
        if (!isOpen() || found == m_Places.end() || !screen)
            return false;
        const RECT& place = found->second;
        POINT topLeft{place.left, place.top};
        ClientToScreen(getNormalWidget(), &topLeft);
        *screen = RECT{topLeft.x, topLeft.y, topLeft.x + (place.right - place.left),
                       topLeft.y + (place.bottom - place.top)};
        return true;
    }

protected:
    void actualRedraw(void) override {
        const SbVec2s size = getGlxSize();
        SoWinImGuiContext::Scope scope(*m_Context);
        m_Context->beginFrame(size);
        drawItems();
        m_Context->endFrame(size);
        m_AfterFrame.schedule();
        if (m_FramesToSettle > 0 && --m_FramesToSettle > 0)
            InvalidateRect(getNormalWidget(), nullptr, FALSE);
    }

    void processEvent(MSG* msg) override {
        if (!msg || !isOpen())
            return;
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
            close();
            return;
        }
        if (SoWinImGuiContext::isPress(msg->message) && !isInside(*msg)) {
            close();
            return;
        }
        if (!m_Context->feed(*msg))
            return;
        redraw();
        if (msg->message != WM_MOUSEMOVE)
            settle();
        // The release of a press took the capture with it.
        if (GetCapture() != getNormalWidget())
            SetCapture(getNormalWidget());
    }

private:
    void drawItems() {
        const ImGuiStyle& style = ImGui::GetStyle();
        float widest = 0.0f;
        for (const SoWinPopupMenu::Item& item : m_Items) {
            ImGui::PushID(item.id);
            if (ImGui::MenuItem(item.text.c_str(), nullptr, item.checked))
                m_Chosen = item.id;
            ImGui::PopID();
            const ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
            m_Places[item.id] = RECT{LONG(min.x), LONG(min.y), LONG(max.x), LONG(max.y)};
            widest = std::max(widest, ImGui::CalcTextSize(item.text.c_str()).x);
        }
        m_Wanted = SbVec2s(
            short(widest + kTickRoom + 2.0f * style.WindowPadding.x),
            short(ImGui::GetCursorPosY() - style.ItemSpacing.y + style.WindowPadding.y + 0.5f));
    }

    static void afterFrameCB(void* data, SoSensor*) {
        static_cast<MenuWindow*>(data)->finishFrame();
    }

    // The choice is carried out once the frame is over, with the menu closed first: the item
    // may open another menu, or delete the viewer that opened this one.
    void finishFrame() {
        if (m_Chosen >= 0) {
            const int id = m_Chosen;
            SoWinPopupMenu::ChosenCB* chosen = m_ChosenCB;
            void* data = m_Data;
            close();
            chosen(data, id);
            return;
        }
        RECT shown{};
        if (isOpen() && m_Wanted != getSize() && GetWindowRect(m_Popup, &shown))
            place(POINT{shown.left, shown.top}, m_Wanted);
    }

    void place(POINT screen, const SbVec2s& size) {
        MoveWindow(m_Popup, screen.x, screen.y, size[0], size[1], TRUE);
        setSize(size);
    }

    bool isInside(const MSG& msg) const {
        RECT client{};
        GetClientRect(getNormalWidget(), &client);
        const int x = GET_X_LPARAM(msg.lParam), y = GET_Y_LPARAM(msg.lParam);
        return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
    }

    void settle() {
        m_FramesToSettle = kSettlingFrames;
        InvalidateRect(getNormalWidget(), nullptr, FALSE);
    }

    HWND m_Popup;
    std::unique_ptr<SoWinImGuiContext> m_Context = std::make_unique<SoWinImGuiContext>();
    std::vector<SoWinPopupMenu::Item> m_Items;
    std::map<int, RECT> m_Places;
    SoWinPopupMenu::ChosenCB* m_ChosenCB = nullptr;
    void* m_Data = nullptr;
    int m_Chosen = -1;
    SbVec2s m_Wanted = SbVec2s(kFirstWidth, kFirstHeight);
    int m_FramesToSettle = 0;
    SoOneShotSensor m_AfterFrame;
};

// The open menu; made when one opens and deleted from the loop once it closed (closing may
// come from inside its own message or frame).
MenuWindow* theMenu = nullptr;

void retireCB(void*, SoSensor*) {
    if (!theMenu || theMenu->isOpen())
        return;
    const HWND popup = theMenu->getPopup();
    delete theMenu;
    theMenu = nullptr;
    DestroyWindow(popup);
}

void scheduleRetirement() {
    static SoOneShotSensor* retirement = new SoOneShotSensor(retireCB, nullptr);
    retirement->schedule();
}

void openCB(const std::vector<SoWinPopupMenu::Item>& items, POINT screen,
            SoWinPopupMenu::ChosenCB* chosen, void* data) {
    if (!theMenu) {
        HINSTANCE instance = SoWinWindowClass::ensure(kPopupClass, &DefWindowProcA);
        HWND popup = CreateWindowExA(0, kPopupClass, "", WS_POPUP, screen.x, screen.y, kFirstWidth,
                                     kFirstHeight, nullptr, nullptr, instance, nullptr);
        theMenu = new MenuWindow(popup);
    }
    theMenu->open(items, screen, chosen, data);
}

void closeCB(void* data) {
    if (theMenu && theMenu->isOpen() && theMenu->owner() == data)
        theMenu->close();
}

} // namespace

void SoWinImGuiMenu::install() {
    SoWinPopupMenu::setPresenter(openCB, closeCB);
}

bool SoWinImGuiMenu::findItem(const char* text, RECT* screen) {
    return theMenu && text && theMenu->findItem(text, screen);
}

bool SoWinImGuiMenu::isOpen() {
    return theMenu && theMenu->isOpen();
}

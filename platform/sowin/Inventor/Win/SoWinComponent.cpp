#include <Inventor/Win/SoWinComponent.h>

#include "SoWinWindowClass.h"

#include <Inventor/Win/SoWin.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

constexpr const char* kComponentProperty = "SoWinComponent";
constexpr const char* kShellClassName = "SoWinComponentShell";
constexpr int kDefaultShellWidth = 500;
constexpr int kDefaultShellHeight = 400;

SoWinComponent* componentOf(HWND hwnd) {
    return static_cast<SoWinComponent*>(GetPropA(hwnd, kComponentProperty));
}

} // namespace

// The window procedures of the components: the hook that keeps components at the size of the
// parent they were built in, and the procedure of a component's own shell.
//
// A parent's procedure is subclassed once for all components inside it and given back when the
// last one leaves (unless somebody subclassed it after us; then ours stays and passes on).
class SoWinComponentWindows {
public:
    static void attach(HWND parent, SoWinComponent* component) {
        ParentHook* hook = hookOf(parent);
        if (!hook) {
            hook = &hooks()[parent];
            hook->original = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(parentProc)));
        }
        auto& list = hook->components;
        if (std::find(list.begin(), list.end(), component) == list.end())
            list.push_back(component);
    }

    static void detach(HWND parent, SoWinComponent* component) {
        ParentHook* hook = hookOf(parent);
        if (!hook)
            return;
        auto& list = hook->components;
        list.erase(std::remove(list.begin(), list.end(), component), list.end());
        const WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC));
        if (list.empty() && current == static_cast<WNDPROC>(parentProc)) {
            SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook->original));
            hooks().erase(parent);
        }
    }

    static LRESULT CALLBACK shellProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        SoWinComponent* component = componentOf(hwnd);
        if (component && message == WM_CLOSE) {
            component->shellClosed();
            return 0;
        }
        if (component && message == WM_NCDESTROY && component->m_Shell == hwnd) {
            RemovePropA(hwnd, kComponentProperty);
            component->m_Shell = nullptr;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    static LRESULT CALLBACK baseWidgetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        SoWinComponent* component = componentOf(hwnd);
        if (!component || component->m_BaseWidget != hwnd)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        const WNDPROC original = component->m_BaseWidgetOriginalProc;
        if (message == WM_NCDESTROY) {
            // The window goes away with its parent: forget it, nothing is left to give back.
            RemovePropA(hwnd, kComponentProperty);
            component->m_BaseWidget = nullptr;
            component->m_BaseWidgetOriginalProc = nullptr;
            return CallWindowProcA(original, hwnd, message, wParam, lParam);
        }
        const LRESULT result = CallWindowProcA(original, hwnd, message, wParam, lParam);
        if (message == WM_SIZE)
            component->baseWidgetResized();
        return result;
    }

private:
    struct ParentHook {
        WNDPROC original = nullptr;
        std::vector<SoWinComponent*> components;
    };

    // Never deleted: a component may live until the process ends (a dialog's window does) and
    // be in a parent still, after the window table itself is gone.
    static std::unordered_map<HWND, ParentHook>& hooks() {
        static auto* all = new std::unordered_map<HWND, ParentHook>;
        return *all;
    }

    static ParentHook* hookOf(HWND parent) {
        auto found = hooks().find(parent);
        return found == hooks().end() ? nullptr : &found->second;
    }

    static LRESULT CALLBACK parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        ParentHook* hook = hookOf(hwnd);
        if (!hook)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        const WNDPROC original = hook->original;
        if (message == WM_SIZE) {
            // Copy: a resized component may leave the parent while we walk the list.
            const std::vector<SoWinComponent*> components = hook->components;
            for (SoWinComponent* component : components)
                component->parentResized(LOWORD(lParam), HIWORD(lParam));
        } else if (message == WM_NCDESTROY) {
            for (SoWinComponent* component : hook->components)
                component->m_Parent = nullptr;
            hooks().erase(hwnd);
        }
        return CallWindowProcA(original, hwnd, message, wParam, lParam);
    }
};

SoWinComponent::SoWinComponent(HWND parent, const char* name, SbBool embed)
    : m_Parent(parent), m_Shell(nullptr), m_BaseWidget(nullptr), m_BaseWidgetOriginalProc(nullptr),
      m_WidgetName(name ? name : ""), m_ClassName("SoWinComponent"), m_TitleSet(FALSE),
      m_IconTitleSet(FALSE), m_LastSize(0, 0), m_CloseCB(nullptr), m_CloseData(nullptr) {
    // A host that builds a component before calling SoWin::init would crash inside Coin, which
    // is not set up yet: the layer sets itself up on first use instead, without a top-level
    // window (a later SoWin::init still makes one).
    if (!SoWin::isInitialized())
        SoWin::init(static_cast<HWND>(nullptr));
    if (parent && embed)
        return;
    HINSTANCE instance =
        SoWinWindowClass::ensure(kShellClassName, SoWinComponentWindows::shellProc);
    m_Shell = CreateWindowExA(0, kShellClassName, name ? name : "", WS_OVERLAPPEDWINDOW,
                              CW_USEDEFAULT, CW_USEDEFAULT, kDefaultShellWidth, kDefaultShellHeight,
                              parent, nullptr, instance, nullptr);
    if (m_Shell)
        SetPropA(m_Shell, kComponentProperty, this);
    m_Parent = m_Shell;
}

SoWinComponent::~SoWinComponent() {
    // The base widget is the window this component built for itself (its form or GL area); it
    // goes with the component, or every component built and deleted in a host window would leave
    // a window behind.
    const HWND widget = m_BaseWidget;
    releaseBaseWidget();
    if (widget && widget != m_Parent && IsWindow(widget))
        DestroyWindow(widget);
    if (m_Shell) {
        RemovePropA(m_Shell, kComponentProperty);
        DestroyWindow(m_Shell);
    }
}

void SoWinComponent::show(void) {
    if (m_Shell)
        ShowWindow(m_Shell, SW_SHOW);
    if (m_BaseWidget)
        ShowWindow(m_BaseWidget, SW_SHOW);
}

void SoWinComponent::hide(void) {
    if (m_BaseWidget)
        ShowWindow(m_BaseWidget, SW_HIDE);
    if (m_Shell)
        ShowWindow(m_Shell, SW_HIDE);
}

SbBool SoWinComponent::isVisible(void) {
    return m_BaseWidget && IsWindowVisible(m_BaseWidget) ? TRUE : FALSE;
}

HWND SoWinComponent::getWidget(void) const {
    return m_BaseWidget;
}

HWND SoWinComponent::getBaseWidget(void) const {
    return m_BaseWidget;
}

HWND SoWinComponent::getParentWidget(void) const {
    return m_Parent;
}

HWND SoWinComponent::getShellWidget(void) const {
    return m_Shell;
}

SbBool SoWinComponent::isTopLevelShell(void) const {
    return m_Shell ? TRUE : FALSE;
}

void SoWinComponent::setSize(const SbVec2s size) {
    SoWin::setWidgetSize(m_Shell ? m_Shell : m_BaseWidget, size);
}

SbVec2s SoWinComponent::getSize(void) const {
    return m_BaseWidget ? SoWin::getWidgetSize(m_BaseWidget) : SbVec2s(0, 0);
}

void SoWinComponent::setTitle(const char* title) {
    m_Title = title ? title : "";
    m_TitleSet = TRUE;
    if (m_Shell)
        SetWindowTextA(m_Shell, m_Title.getString());
}

const char* SoWinComponent::getTitle(void) const {
    return m_TitleSet ? m_Title.getString() : getDefaultTitle();
}

void SoWinComponent::setIconTitle(const char* title) {
    m_IconTitle = title ? title : "";
    m_IconTitleSet = TRUE;
}

const char* SoWinComponent::getIconTitle(void) const {
    return m_IconTitleSet ? m_IconTitle.getString() : getDefaultIconTitle();
}

const char* SoWinComponent::getWidgetName(void) const {
    return m_WidgetName.getLength() > 0 ? m_WidgetName.getString() : getDefaultWidgetName();
}

const char* SoWinComponent::getClassName(void) const {
    return m_ClassName.getString();
}

void SoWinComponent::setWindowCloseCallback(SoWinComponentCB* function, void* userData) {
    m_CloseCB = function;
    m_CloseData = userData;
}

SoWinComponent* SoWinComponent::getComponent(HWND widget) {
    SoWinComponent* component = widget ? componentOf(widget) : nullptr;
    return component && component->m_BaseWidget == widget ? component : nullptr;
}

void SoWinComponent::setBaseWidget(HWND widget) {
    if (widget == m_BaseWidget)
        return;
    releaseBaseWidget();
    if (!widget || !IsWindow(widget))
        return;
    m_BaseWidget = widget;
    SetPropA(widget, kComponentProperty, this);
    m_BaseWidgetOriginalProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        widget, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SoWinComponentWindows::baseWidgetProc)));
    if (m_Shell)
        SetWindowTextA(m_Shell, getTitle());
    if (!m_Parent)
        return;
    SoWinComponentWindows::attach(m_Parent, this);
    const SbVec2s size = SoWin::getWidgetSize(m_Parent);
    parentResized(size[0], size[1]);
}

void SoWinComponent::setClassName(const char* name) {
    m_ClassName = name ? name : "";
}

void SoWinComponent::sizeChanged(const SbVec2s&) {}

void SoWinComponent::widgetChanged(HWND) {}

const char* SoWinComponent::getDefaultWidgetName(void) const {
    return "SoWinComponent";
}

const char* SoWinComponent::getDefaultTitle(void) const {
    return "Win Component";
}

const char* SoWinComponent::getDefaultIconTitle(void) const {
    return "Win Component";
}

void SoWinComponent::parentResized(int width, int height) {
    if (m_BaseWidget)
        MoveWindow(m_BaseWidget, 0, 0, width, height, TRUE);
}

void SoWinComponent::shellClosed(void) {
    if (m_CloseCB)
        m_CloseCB(m_CloseData, this);
    else
        hide();
}

void SoWinComponent::baseWidgetResized(void) {
    const SbVec2s size = getSize();
    if (size == m_LastSize)
        return;
    m_LastSize = size;
    sizeChanged(size);
}

void SoWinComponent::releaseBaseWidget(void) {
    if (m_Parent)
        SoWinComponentWindows::detach(m_Parent, this);
    if (!m_BaseWidget)
        return;
    const WNDPROC current =
        reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_BaseWidget, GWLP_WNDPROC));
    if (current == static_cast<WNDPROC>(SoWinComponentWindows::baseWidgetProc))
        SetWindowLongPtrA(m_BaseWidget, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(m_BaseWidgetOriginalProc));
    RemovePropA(m_BaseWidget, kComponentProperty);
    m_BaseWidget = nullptr;
    m_BaseWidgetOriginalProc = nullptr;
    m_LastSize = SbVec2s(0, 0);
}

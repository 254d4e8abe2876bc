// The base of every component of the viewer layer: one window (the base widget) inside a parent
// window or inside a top-level shell of its own, with a name, a title, visibility and a size.
//
// Built inside a parent, the base widget fills the parent's client area and follows its size.
// Components own their windows and cannot be copied.
#ifndef OIVWINTAV_SOWINCOMPONENT_H
#define OIVWINTAV_SOWINCOMPONENT_H

#include <Inventor/SbBasic.h>
#include <Inventor/SbString.h>
#include <Inventor/SbVec2s.h>
#include <windows.h>

class SoWinComponent;

typedef void SoWinComponentCB(void* userData, SoWinComponent* component);

class SoWinComponent {
public:
    virtual ~SoWinComponent();

    SoWinComponent(const SoWinComponent&) = delete;
    SoWinComponent& operator=(const SoWinComponent&) = delete;

    // Shows or hides the base widget, and the shell window when the component has its own.
    virtual void show(void);
    virtual void hide(void);
    SbBool isVisible(void);

    // The window that represents the component: its base widget (null before it is built).
    HWND getWidget(void) const;
    HWND getBaseWidget(void) const;
    // The window the component was built in (the shell when it has its own).
    HWND getParentWidget(void) const;
    // The component's own top-level shell, or null when it was built inside a parent.
    HWND getShellWidget(void) const;
    SbBool isTopLevelShell(void) const;

    // The client size of the base widget in pixels. setSize resizes the shell when the
    // component has one, else the base widget.
    void setSize(const SbVec2s size);
    SbVec2s getSize(void) const;

    // The title is shown by the component's own shell; an embedded component keeps it only.
    void setTitle(const char* title);
    const char* getTitle(void) const;
    void setIconTitle(const char* title);
    const char* getIconTitle(void) const;

    // The names given at construction: the component's and its class's.
    const char* getWidgetName(void) const;
    const char* getClassName(void) const;

    // Called when the user closes the component's own shell window; replaces the previous one.
    void setWindowCloseCallback(SoWinComponentCB* function, void* userData = NULL);

    // The component whose base widget is `widget`, or null.
    static SoWinComponent* getComponent(HWND widget);

protected:
    // Builds nothing yet: a subclass builds its base widget (buildWidget) and installs it with
    // setBaseWidget. With a null parent, or embed false, the component gets a top-level shell
    // of its own (owned by `parent` when there is one) and builds inside it. Before SoWin::init
    // it initialises the layer first, as SoWin::init(HWND) with no window does.
    SoWinComponent(HWND parent = NULL, const char* name = NULL, SbBool embed = TRUE);

    // Installs `widget` as the base widget and makes it fill the parent's client area.
    void setBaseWidget(HWND widget);
    void setClassName(const char* name);

    // Called with the new client size after the base widget was resized.
    virtual void sizeChanged(const SbVec2s& size);

    // Called when a window that represents the component's drawing has been replaced (the GL
    // widget calls it with its new drawing window); subclasses re-attach to it here.
    virtual void widgetChanged(HWND newWidget);

    virtual const char* getDefaultWidgetName(void) const;
    virtual const char* getDefaultTitle(void) const;
    virtual const char* getDefaultIconTitle(void) const;

private:
    friend class SoWinComponentWindows;

    void parentResized(int width, int height);
    void shellClosed(void);
    void baseWidgetResized(void);
    void releaseBaseWidget(void);

    HWND m_Parent;
    HWND m_Shell;
    HWND m_BaseWidget;
    WNDPROC m_BaseWidgetOriginalProc;
    SbString m_WidgetName;
    SbString m_ClassName;
    SbString m_Title;
    SbString m_IconTitle;
    SbBool m_TitleSet;
    SbBool m_IconTitleSet;
    SbVec2s m_LastSize;
    SoWinComponentCB* m_CloseCB;
    void* m_CloseData;
};

#endif // OIVWINTAV_SOWINCOMPONENT_H

// A viewer with decoration: a column of viewer buttons on the right (pick, view, help, home,
// set home, view all, seek, and whatever a subclass adds) and three thumbwheels (left, bottom,
// right) around the drawing area. Without decoration the drawing area fills the whole window.
#ifndef OIVWINTAV_SOWINFULLVIEWER_H
#define OIVWINTAV_SOWINFULLVIEWER_H

#include <Inventor/SbPList.h>
#include <Inventor/Win/viewers/SoWinViewer.h>

#include <memory>
#include <vector>

class SoWinBitmapButton;

class SoWinFullViewer : public SoWinViewer {
    typedef SoWinViewer inherited;
    friend class SoWinBitmapButton;

public:
    // What buildWidget makes besides the drawing area. Without BUILD_DECORATION no buttons or
    // wheels exist and setDecoration has nothing to show. With BUILD_POPUP the right button opens
    // the viewer's popup menu (viewing, View All, Home, Set Home, Seek, orthographic camera)
    // where menus can be shown (on screen).
    enum BuildFlag {
        BUILD_NONE = 0x00,
        BUILD_DECORATION = 0x01,
        BUILD_POPUP = 0x02,
        BUILD_ALL = 0xff
    };

    // Shows or hides buttons and wheels; the drawing area takes the freed room (on by default).
    void setDecoration(SbBool on);
    SbBool isDecoration(void) const { return m_Decoration; }

    // The parts the viewer was built with.
    BuildFlag getBuildFlag(void) const { return m_BuildFlag; }

    // The window that holds the drawing area (the GL widget's own window).
    HWND getRenderAreaWidget(void) const { return m_RenderAreaWidget; }
    // The window of the buttons' column; the parent given to createViewerButtons.
    HWND getButtonColumn(void) const { return m_ButtonColumn; }

    // Also shows the mode on the pick and view buttons.
    void setViewing(SbBool on) override;

protected:
    // Ids of the standard viewer buttons, in the order createViewerButtons makes them.
    enum ViewerButtonId {
        PICK_BUTTON = 0,
        VIEW_BUTTON = 1,
        HELP_BUTTON = 2,
        HOME_BUTTON = 3,
        SET_HOME_BUTTON = 4,
        VIEW_ALL_BUTTON = 5,
        SEEK_BUTTON = 6
    };

    SoWinFullViewer(HWND parent, const char* name, SbBool embed, BuildFlag flag, Type type,
                    SbBool buildNow);
    ~SoWinFullViewer() override;

    // Builds the viewer's form window inside `parent`: the drawing area and, with
    // BUILD_DECORATION, the button column (through createViewerButtons) and the wheels.
    // Returns the form; the caller installs it with setBaseWidget.
    HWND buildWidget(HWND parent) override;

    // With BUILD_POPUP a right press opens the popup menu under the pointer and goes no further.
    void processEvent(MSG* msg) override;

    // Makes the standard buttons on `parent` and appends their windows to viewerButtonWidgets.
    // Each button window carries the properties "THIS" (this viewer), "CallbackData" (its id)
    // and "SoWinBitmapButton" (the button), through which a click reaches pushButtonCB.
    virtual void createViewerButtons(HWND parent);
    // A click on viewer button `id`: 0 picking mode, 1 viewing mode, 2 help (nothing to show
    // here), 3 home, 4 set home, 5 view all, 6 seek mode. Other ids do nothing.
    virtual void pushButtonCB(HWND hwnd, int id, void* data);
    // Makes a button on `parent` whose clicks call pushButtonCB with `id`; the viewer owns it.
    SoWinBitmapButton* addViewerButton(HWND parent, int id, const char* name);
    // The button this viewer made for `id`, or null.
    SoWinBitmapButton* findViewerButton(int id) const;

    // Thumbwheel moves with the wheel's new value (radians of wheel turn). The base stores the
    // value; the right wheel dollies the camera by the change. Subclasses give the left and
    // bottom wheels their meaning.
    virtual void leftWheelMotion(float value);
    virtual void bottomWheelMotion(float value);
    virtual void rightWheelMotion(float value);
    float getLeftWheelValue(void) const { return m_WheelValues[LEFT_WHEEL]; }
    float getBottomWheelValue(void) const { return m_WheelValues[BOTTOM_WHEEL]; }
    float getRightWheelValue(void) const { return m_WheelValues[RIGHT_WHEEL]; }
    HWND getWheelWidget(int which) const { return m_Wheels[which]; }
    enum Wheel { LEFT_WHEEL = 0, BOTTOM_WHEEL = 1, RIGHT_WHEEL = 2 };

    // The viewer-button windows (HWND), in column order; subclasses append their own.
    SbPList* viewerButtonWidgets;

private:
    void buildDecoration(void);
    void showViewingMode(void);
    void layout(void);
    void wheelMoved(int which, float value);
    SbBool openPopupMenu(POINT screen);
    void popupMenuChosen(int id);
    static void popupMenuChosenCB(void* data, int id);
    static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK wheelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    BuildFlag m_BuildFlag;
    bool m_Decoration = true;
    HWND m_Form = nullptr;
    HWND m_RenderAreaWidget = nullptr;
    HWND m_ButtonColumn = nullptr;
    HWND m_Wheels[3] = {nullptr, nullptr, nullptr};
    float m_WheelValues[3] = {0.0f, 0.0f, 0.0f};
    int m_WheelDragLast = 0;
    std::vector<std::unique_ptr<SoWinBitmapButton>> m_Buttons;
};

#endif // OIVWINTAV_SOWINFULLVIEWER_H

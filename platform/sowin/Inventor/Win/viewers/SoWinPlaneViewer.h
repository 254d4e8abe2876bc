// The plane viewer: the camera moves in its view plane. Left drag pans, middle or Ctrl+left
// drag dollies (an orthographic camera changes its height), the mouse wheel dollies, and
// buttons turn the camera to look along the X, Y or Z axis through its focal point.
#ifndef OIVWINTAV_SOWINPLANEVIEWER_H
#define OIVWINTAV_SOWINPLANEVIEWER_H

#include <Inventor/Win/viewers/SoWinFullViewer.h>

class SoWinPlaneViewer : public SoWinFullViewer {
    typedef SoWinFullViewer inherited;

public:
    // A plane viewer inside `parent`, with the parts `flag` asks for.
    SoWinPlaneViewer(HWND parent = NULL, const char* name = NULL, SbBool embed = TRUE,
                     SoWinFullViewer::BuildFlag flag = BUILD_ALL, SoWinViewer::Type type = BROWSER);
    ~SoWinPlaneViewer() override;

    // Looks along -X (from +X, Z up), -Y (from +Y, Z up) or -Z (from +Z, Y up) at the current
    // focal point, keeping the focal distance.
    enum Axis { X_AXIS = 0, Y_AXIS = 1, Z_AXIS = 2 };
    void lookAlong(Axis axis);

protected:
    SoWinPlaneViewer(HWND parent, const char* name, SbBool embed, SoWinFullViewer::BuildFlag flag,
                     SoWinViewer::Type type, SbBool buildNow);

    enum { X_BUTTON = 7, Y_BUTTON = 8, Z_BUTTON = 9, CAMERA_TYPE_BUTTON = 10 };

    // Drags and the mouse wheel move the camera.
    SbBool processViewingEvent(MSG* msg) override;
    // The standard buttons plus X (7), Y (8), Z (9) and camera type (10).
    void createViewerButtons(HWND parent) override;
    void pushButtonCB(HWND hwnd, int id, void* data) override;
    // The left wheel moves the camera up and down, the bottom wheel sideways, by the wheel's
    // change times the visible height.
    void leftWheelMotion(float value) override;
    void bottomWheelMotion(float value) override;

private:
    enum class Drag { NONE, PAN, DOLLY };
    static Drag dragFor(WPARAM keys);
    void translateInViewPlane(float right, float up);

    Drag m_Drag = Drag::NONE;
    SbVec2f m_LastPosition;
};

#endif // OIVWINTAV_SOWINPLANEVIEWER_H

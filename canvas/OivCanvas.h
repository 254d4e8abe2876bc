// The canvas a host creates: an OivBaseCanvas whose scene manager is the extended OivSceneManager
// (global Z scale, compass, horizon giro, sticky cursor), with the table of the 17 global Z scales
// a user chooses from and their labels.
//
//   OivCanvas canvas;
//   canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, hostWindow);
//   canvas.getOivSceneManager()->getRoot3D()->addChild(myContent);
//
// Not copyable, as its base.
#ifndef OIVWINTAV_OIVCANVAS_H
#define OIVWINTAV_OIVCANVAS_H

#include "canvas/OivBaseCanvas.h"

class OivSceneManager;
class SoMFFloat;
class SoMFString;

class OivCanvas : public OivBaseCanvas {
public:
    OivCanvas();
    virtual ~OivCanvas();

    // The base initialisation, then the Z-scale table (filled even with a null parent) and the
    // scene manager's viewing-mode callback on the viewer; an examiner also reports its mouse
    // moves to the scene manager, so the sticky cursor follows the mouse.
    void initialize(ViewerType type, HWND parent) override;

    // The base scene manager, as the extended manager it always is; null before initialize.
    OivSceneManager* getOivSceneManager() const;

    // The global Z scales in the order a user is offered them, and their labels at the same
    // index; null before initialize.
    const SoMFFloat* getZScales() const { return m_ZScales; }
    const SoMFString* getZScaleLabels() const { return m_ZScaleLabels; }

    // The loupe: a second viewer of the canvas's own type in `window`, showing the 3D root alone
    // (no overlays, compass or interface geometry) with a camera of its own, framed on the whole
    // scene. The window is recorded even when nothing is built (null window, canvas without
    // viewer). A later call deletes the earlier loupe viewer first; the canvas deletes the last.
    void initializeLoupe(HWND window);
    SoWinFullViewer* getLoupeViewer() const { return m_LoupeViewer; }
    HWND getLoupeWindow() const { return m_LoupeWindow; }

protected:
    OivBaseSceneManager* createOivBaseSceneManagerInstance() override;

    SoMFFloat* m_ZScales;
    SoMFString* m_ZScaleLabels;
    SoWinFullViewer* m_LoupeViewer;
    HWND m_LoupeWindow;

private:
    void fillZScales();
    void deleteLoupe();
    // Connects the viewer's viewing-mode (and, for an examiner, mouse) reports to the scene
    // manager, or disconnects them.
    void routeViewerCallbacks(bool on);
};

#endif // OIVWINTAV_OIVCANVAS_H

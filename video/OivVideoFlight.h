// What a recorded flight borrows from a curve viewer, and gives back: while it exists, the
// tracking point and the camera move through the viewer's own update (the compass and the home
// position follow as they do when the user moves the point), and the viewer's input is held
// back; when it ends, however the flight ended, the tracking point, the camera, the home
// position and the input are as they were.
//
// Input held back: moves, presses, the wheel and keys are dropped, so a drag under way never
// moves the camera between two frames of the flight; button releases still reach the viewer, so
// that no button is left held. Used by OivVideoRecorder::recordFlight. Not copyable: it restores
// the viewer once.
#ifndef OIVWINTAV_OIVVIDEOFLIGHT_H
#define OIVWINTAV_OIVVIDEOFLIGHT_H

#include <Inventor/SbVec3f.h>
#include <Inventor/Win/SoWinRenderArea.h>

class OivWinCurveViewer;
class SoCamera;

class OivVideoFlight {
public:
    // Takes note of the viewer's tracking point, camera and home position and holds its input.
    // The viewer must have a camera.
    explicit OivVideoFlight(OivWinCurveViewer* viewer);
    // Puts back what the constructor noted; the tracking-point listeners hear of it once.
    ~OivVideoFlight();
    OivVideoFlight(const OivVideoFlight&) = delete;
    OivVideoFlight& operator=(const OivVideoFlight&) = delete;

    // Makes `point` the tracking point and places the camera on it, notifying as the viewer does.
    void moveTo(const SbVec3f& point);

private:
    void noteHomePosition();
    void restoreHomePosition();
    void setQuietly(const SoCamera* camera, const SbVec3f& point);
    static SbBool holdInputCB(void* userData, MSG* msg);

    OivWinCurveViewer* m_Viewer;
    SoCamera* m_Camera;     // the viewer's, ref'd while the flight lasts
    SoCamera* m_Saved;      // copies of its fields
    SoCamera* m_HomeCamera; //
    SbVec3f m_SavedPoint;
    SbVec3f m_HomePoint;
    SoWinRenderAreaEventCB* m_EventCallback; // the viewer's, in front of which the flight stands
    void* m_EventCallbackData;
};

#endif // OIVWINTAV_OIVVIDEOFLIGHT_H

// Keeps the views of several canvases in step: when one member reports a change of its view
// context, every other member is given the same camera (same type, position, orientation, focal
// distance and height) and drawn at once. OivCanvasGroup adds the global Z scale.
//
// A group holds its members by pointer and does not own them. It takes over each member's one
// view-context callback slot; a canvas added to a second group reports to that one only, while
// the first still writes to it. A canvas being deleted first leaves every group that lists it.
//
// With cursor echo on, the sticky cursor of the member the mouse is over is also shown in every
// other member (of those whose scene manager is an OivSceneManager), as an echo at the same true
// point; see setCursorEcho. The group reaches its members through their public calls only.
//
// Created and destroyed only as part of a subclass. Not copyable: a copy would share the member
// list and delete it a second time.
#ifndef OIVWINTAV_OIVBASECANVASGROUP_H
#define OIVWINTAV_OIVBASECANVASGROUP_H

#include "canvas/OivCanvasObserver.h"

#include <Inventor/nodes/SoCamera.h>

class SbPList;

class OivBaseCanvasGroup : private OivCanvasObserver {
public:
    OivBaseCanvasGroup(const OivBaseCanvasGroup&) = delete;
    OivBaseCanvasGroup& operator=(const OivBaseCanvasGroup&) = delete;

    // Appends the canvas and makes this group its view-context listener. A null canvas or one
    // that is already a member is ignored. The canvas's camera is not changed until a member
    // reports.
    void addCanvas(OivBaseCanvas* canvas);
    // Takes the canvas out of the group (the others keep their order) and clears its view-context
    // listener, whichever group set it. A null canvas or one that is not a member is ignored.
    void removeCanvas(OivBaseCanvas* canvas);

    // Cursor echo, off by default. While on, the sticky cursor of the member the mouse last moved
    // it in (the source) is echoed in every other member at the same true point, through each
    // member's own Z scale: drawn with the member's cursor shape in the echo's colour, hidden
    // while the source's cursor is not on a surface (hidden, disabled, off the surface, its
    // viewer back in viewing mode). Members whose own cursor is disabled show echoes too. An
    // echo moves no camera and is reported by no member. Switching it off, a member leaving and
    // the group's deletion take the echoes away.
    void setCursorEcho(bool on);
    // Whether cursor echo is on.
    bool isCursorEcho() const;

protected:
    OivBaseCanvasGroup();
    // Clears the view-context listener of every remaining member; the canvases stay alive. Not
    // virtual: a group is deleted as its subclass.
    ~OivBaseCanvasGroup();

    // The view-context listener registered on every member, with the group as user data. A
    // report that a member makes while the group is writing into it (its camera type toggled, its
    // Z scale set) is the group's own change coming back and is not passed on.
    static void viewContextChangeCB(void* userData, bool cameraOnly, OivBaseCanvas* canvas);

    // Gives every other member the camera of the source's viewer, toggling a member's camera type
    // first where orthographic and perspective differ, draws each member at once and, unless
    // cameraOnly, refreshes its dialogs (updateDUI); a member whose camera type was toggled is
    // refreshed in any case. Nothing happens when the source is not a member or has no viewer
    // camera; members without one are skipped.
    virtual void synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly);

    bool isMember(OivBaseCanvas* canvas) const;

    // Calls follow(member) for every member but `source`, in list order. The length is read
    // again before each step, so a member taken out on the way is not visited.
    template <typename Follow> void forEachFollower(OivBaseCanvas* source, Follow follow) const;

    // The camera of the canvas's viewer; null for a canvas without a viewer (never initialised
    // with a window) or a viewer without a camera.
    static SoCamera* getViewerCamera(OivBaseCanvas* canvas);

    // Runs write() with the camera's change notification off, so that the member's camera
    // sensor does not report the group's own write back to it.
    template <typename Write> static void writeSilently(SoCamera* camera, Write write);

    SbPList* m_CanvasList;

private:
    // What the source's camera passes on to the other members.
    struct CameraView;

    // Gives the member the view and draws it at once. Its dialogs are refreshed unless only the
    // camera moved and the member kept its camera type.
    static void follow(OivBaseCanvas* member, const CameraView& view, bool cameraOnly);
    // Passes a member's report on to synchronizeToCanvas, unless the group caused it.
    void onViewContextChange(OivBaseCanvas* source, bool cameraOnly);

    int getNumCanvases() const;
    OivBaseCanvas* getCanvas(int index) const;
    // Unhooks the canvas from this group: listener cleared, this group forgotten by the canvas,
    // its cursor no longer echoed and no echo left in it.
    void release(OivBaseCanvas* canvas);
    // A member being deleted leaves the group.
    void canvasDestroyed(OivBaseCanvas* canvas) override;

    // Starts or stops listening to the member's sticky cursor; stopping also takes its echo away.
    void listenToCursor(OivBaseCanvas* member, bool on);
    static void stickyCursorCB(void* userData, OivBaseCanvas* member);
    void onStickyCursorReport(OivBaseCanvas* member);
    // Shows the source's cursor in every other member, or hides the echoes when it is not on a
    // surface; the source itself shows none.
    void echoCursorOf(OivBaseCanvas* source);

    bool m_Synchronizing;
    bool m_CursorEcho;
    OivBaseCanvas* m_EchoSource; // the member whose cursor is echoed; null when none
};

template <typename Follow>
void OivBaseCanvasGroup::forEachFollower(OivBaseCanvas* source, Follow follow) const {
    for (int i = 0; i < getNumCanvases(); ++i)
        if (getCanvas(i) != source)
            follow(getCanvas(i));
}

template <typename Write> void OivBaseCanvasGroup::writeSilently(SoCamera* camera, Write write) {
    const SbBool wasNotifying = camera->enableNotify(FALSE);
    write();
    camera->enableNotify(wasNotifying);
}

#endif // OIVWINTAV_OIVBASECANVASGROUP_H

#include "CurveViewerTestSupport.h"

#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"

#include <Inventor/SbViewVolume.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

namespace curvetest {

HWND TestCurveViewer::trackingButton() const {
    return static_cast<HWND>((*viewerButtonWidgets)[viewerButtonWidgets->getLength() - 1]);
}

void Notifications::listenTo(OivWinCurveViewer* viewer) {
    viewer->addTrackingCurveChangedCallback(curveCB, this);
    viewer->addTrackingPointChangedCallback(pointCB, this);
    viewer->addPreTrackingCurveChangedCallback(preCB, this);
}

void Notifications::curveCB(void* data, OivWinCurveViewer* viewer) {
    static_cast<Notifications*>(data)->record("curve", viewer);
}

void Notifications::pointCB(void* data, OivWinCurveViewer* viewer) {
    static_cast<Notifications*>(data)->record("point", viewer);
}

void Notifications::preCB(void* data, OivWinCurveViewer* viewer) {
    static_cast<Notifications*>(data)->record("pre", viewer);
}

void Notifications::record(const char* what, OivWinCurveViewer* viewer) {
    said.push_back(what);
    const SoCamera* camera = viewer->getCamera();
    focalPoints.push_back(camera ? focalPointOf(*camera) : SbVec3f(0, 0, 0));
}

void CurveViewerTest::SetUp() {
    host = testsupport::createHostWindow(kWidth, kHeight);
    viewer = new TestCurveViewer(host);
    viewer->setDecoration(FALSE);
    heard.listenTo(viewer);
}

void CurveViewerTest::TearDown() {
    delete viewer;
    if (root)
        root->unref();
    DestroyWindow(host);
}

void CurveViewerTest::showScene(SoNode* content) {
    root = new SoSeparator;
    root->ref();
    auto* sceneCamera = new SoPerspectiveCamera;
    sceneCamera->position.setValue(0.0f, 0.0f, kCameraDistance);
    sceneCamera->focalDistance.setValue(kCameraDistance);
    root->addChild(sceneCamera);
    auto* main3D = new SoSeparator;
    main3D->setName("Main3DRoot");
    main3D->addChild(content);
    root->addChild(main3D);
    viewer->setSceneGraph(root);
    // Back where the tests expect it: setSceneGraph views all.
    sceneCamera->position.setValue(0.0f, 0.0f, kCameraDistance);
    sceneCamera->orientation.setValue(SbRotation::identity());
    sceneCamera->focalDistance.setValue(kCameraDistance);
    viewer->render();
}

POINT CurveViewerTest::pixelOf(const SbVec3f& world) const {
    SbVec3f screen;
    camera()->getViewVolume(float(kWidth) / kHeight).projectToScreen(world, screen);
    return POINT{LONG(screen[0] * kWidth), LONG((1.0f - screen[1]) * kHeight)};
}

void CurveViewerTest::click(const SbVec3f& world, WPARAM keys) {
    const POINT at = pixelOf(world);
    testsupport::mouse(drawingWindow(), WM_LBUTTONDOWN, MK_LBUTTON | keys, at.x, at.y);
    testsupport::mouse(drawingWindow(), WM_LBUTTONUP, keys, at.x, at.y);
}

} // namespace curvetest

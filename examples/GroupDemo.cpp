#include "GroupDemo.h"

#include "DemoRecording.h"
#include "DemoScene.h"

#include "camera/OivCameraControl.h"
#include "camera/OivCanvasGroup.h"
#include "canvas/OivCanvas.h"
#include "scene/OivSceneManager.h"

#include <Inventor/SoDB.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/sensors/SoSensorManager.h>

#include <cstdio>

namespace {

constexpr const char* kPaneClass = "OivWinTavDemoPane";
constexpr const char* kPairSuffix = "-group";
constexpr float kPlanZScale = 1.0f; // until the group gives it the 3D view's

// A child window of `parent` at `left`, of the demo's size, for one canvas.
HWND createPane(HWND parent, int left) {
    WNDCLASSA paneClass = {};
    paneClass.lpfnWndProc = DefWindowProcA;
    paneClass.hInstance = GetModuleHandleA(nullptr);
    paneClass.lpszClassName = kPaneClass;
    if (!GetClassInfoA(paneClass.hInstance, kPaneClass, &paneClass) && !RegisterClassA(&paneClass))
        return nullptr;
    return CreateWindowExA(0, kPaneClass, "pane", WS_CHILD | WS_VISIBLE, left, 0, DemoScene::kWidth,
                           DemoScene::kHeight, parent, nullptr, paneClass.hInstance, nullptr);
}

// The demo's terrain seen straight down, north up, at Z scale 1, with the compass and without
// the horizon giro.
void presentPlan(OivCanvas& plan) {
    DemoScene::present(plan);
    OivSceneManager* manager = plan.getOivSceneManager();
    manager->setGlobalZScale(kPlanZScale);
    manager->setHorizonGiroVisible(false);
    manager->setMessage("Plan view: follows the 3D view");
    OivCameraControl* cameraControl = manager->getCameraControl();
    cameraControl->setDirection(OivCameraControl::ABOVE);
    cameraControl->alignCamera(plan.getOivViewer()->getCamera());
    plan.getOivViewer()->viewAll();
    plan.getOivViewer()->saveHomePosition();
}

} // namespace

bool GroupDemo::writePairPicture(HWND parent, const char* path) {
    HWND left = createPane(parent, 0);
    HWND right = createPane(parent, DemoScene::kWidth);
    bool written = false;
    if (left && right) {
        OivCanvas view3D, plan;
        view3D.initialize(OivBaseCanvas::EXAMINER_VIEWER, left);
        plan.initialize(OivBaseCanvas::PLANE_VIEWER, right);
        DemoScene::present(view3D);
        view3D.getOivSceneManager()->setMessage("3D view: one camera move");
        presentPlan(plan);

        OivCanvasGroup group;
        group.addCanvas(&view3D);
        group.addCanvas(&plan);
        DemoRecording::orbitStep(view3D.getOivViewer()->getCamera(), kOrbitDegrees);
        // The 3D view's camera sensor reports the move, and the group passes it on.
        SoDB::getSensorManager()->processDelayQueue(TRUE);
        written = DemoScene::writePicture({&view3D, &plan}, path);
    }
    DestroyWindow(left);
    DestroyWindow(right);
    return written;
}

bool GroupDemo::writePairBeside(HWND parent, const char* picture) {
    const std::string path = pairPicturePath(picture);
    if (!writePairPicture(parent, path.c_str())) {
        std::fprintf(stderr, "oivwintav-demo: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("oivwintav-demo: wrote the linked 3D and plan views (%dx%d) to %s\n",
                2 * DemoScene::kWidth, DemoScene::kHeight, path.c_str());
    return true;
}

std::string GroupDemo::pairPicturePath(const std::string& picture) {
    const size_t slash = picture.find_last_of('/');
    const size_t dot = picture.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return picture + kPairSuffix;
    return picture.substr(0, dot) + kPairSuffix + picture.substr(dot);
}

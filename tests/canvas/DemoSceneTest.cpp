// What a user of the demo's canvas meets: Home goes back to the view the demo opened with.
#include "DemoScene.h"
#include "OivWinTav.h"
#include "dui/DuiCanvasToolbarIds.h"
#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"

#include <DialogViz/dialog/SoDialogPushButton.h>
#include <Inventor/nodes/SoCamera.h>

#include <gtest/gtest.h>

namespace {

// The demo scene in a canvas of `type`, with a toolbar bound to it.
struct DemoCanvas {
    explicit DemoCanvas(OivBaseCanvas::ViewerType type)
        : window(testsupport::createHostWindow(DemoScene::kWidth, DemoScene::kHeight)) {
        canvas.initialize(type, window);
        DemoScene::present(canvas);
        toolbar.setOivCanvas(&canvas);
        toolbar.initialize();
    }
    ~DemoCanvas() { DestroyWindow(window); }

    template <class Control> Control* control(const char* id) {
        return DuiBaseDialog::findControl<Control>(toolbar.getTopLevelDialog(), id);
    }

    HWND window;
    OivCanvas canvas;
    DuiCanvasToolbar toolbar;
};

} // namespace

TEST(DemoSceneTest, HomeAfterADragReturnsTheOpeningView) {
    for (OivBaseCanvas::ViewerType type :
         {OivBaseCanvas::EXAMINER_VIEWER, OivBaseCanvas::PLANE_VIEWER}) {
        SCOPED_TRACE(type);
        DemoCanvas demo(type);
        SoCamera* camera = demo.canvas.getOivViewer()->getCamera();
        const SbVec3f opening = camera->position.getValue();
        const SbRotation openingTurn = camera->orientation.getValue();

        testsupport::drag(demo.canvas.getOivViewer()->getNormalWidget(), WM_LBUTTONDOWN,
                          WM_LBUTTONUP, MK_LBUTTON, {200, 200}, {420, 300});
        const float moved = (camera->position.getValue() - opening).length();
        ASSERT_GT(moved, 1.0f) << "the drag moves the camera";
        demo.control<SoDialogPushButton>(DuiCanvasToolbarIds::kHome)->press();
        EXPECT_LT((camera->position.getValue() - opening).length(), moved * 1e-3f);
        EXPECT_TRUE(camera->orientation.getValue().equals(openingTurn, 1e-4f));
    }
}

// What a user of the demo's canvas meets: Home goes back to the view the demo opened with, and
// the message names the Z scale last chosen in the toolbar.
#include "DemoScene.h"
#include "OivWinTav.h"
#include "dui/DuiCanvasToolbarIds.h"
#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"

#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoText2.h>

#include <gtest/gtest.h>

#include <string>

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
    // How many texts the canvas draws read `text`.
    int textsReading(const std::string& text) {
        SoSearchAction search;
        search.setType(SoText2::getClassTypeId());
        search.setInterest(SoSearchAction::ALL);
        search.apply(canvas.getOivViewer()->getSceneGraph());
        int count = 0;
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            const SoMFString& strings =
                static_cast<SoText2*>(search.getPaths()[i]->getTail())->string;
            count += strings.getNum() > 0 && strings[0] == text.c_str();
        }
        return count;
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
        camera = demo.canvas.getOivViewer()->getCamera();
        EXPECT_LT((camera->position.getValue() - opening).length(), moved * 1e-3f);
        EXPECT_TRUE(camera->orientation.getValue().equals(openingTurn, 1e-4f));
    }
}

TEST(DemoSceneTest, MessageNamesTheZScaleChosenInTheToolbar) {
    DemoCanvas demo(OivBaseCanvas::EXAMINER_VIEWER);
    DemoScene::followZScale(demo.canvas);
    const std::string message = std::string(DemoScene::kMessage) + ", Z scale ";
    EXPECT_EQ(1, demo.textsReading(message + DemoScene::kZScaleLabel));

    auto* zScales = demo.control<SoDialogComboBox>(DuiCanvasToolbarIds::kZScale);
    const int last = zScales->items.getNum() - 1;
    zScales->select(last);
    EXPECT_EQ(1, demo.textsReading(message + zScales->items[last].getString()));
}

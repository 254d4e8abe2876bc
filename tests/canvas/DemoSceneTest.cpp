// What a user of the demo's canvases meets: Home goes back to the view the demo opened with, and
// the message names the Z scale the toolbar last chose.
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

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct DemoCanvas {
    const char* name;
    OivBaseCanvas::ViewerType type;
};

const DemoCanvas kDemoCanvases[] = {
    {"examiner", OivBaseCanvas::EXAMINER_VIEWER},
    {"plane", OivBaseCanvas::PLANE_VIEWER},
};

// Every string of every text the canvas draws.
std::vector<std::string> shownTexts(OivCanvas& canvas) {
    SoSearchAction search;
    search.setType(SoText2::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(canvas.getOivViewer()->getSceneGraph());
    std::vector<std::string> texts;
    for (int i = 0; i < search.getPaths().getLength(); ++i) {
        const SoMFString& strings = static_cast<SoText2*>(search.getPaths()[i]->getTail())->string;
        for (int j = 0; j < strings.getNum(); ++j)
            texts.push_back(strings[j].getString());
    }
    return texts;
}

} // namespace

TEST(DemoSceneTest, HomeAfterADragReturnsTheOpeningView) {
    for (const DemoCanvas& row : kDemoCanvases) {
        SCOPED_TRACE(row.name);
        HWND window = testsupport::createHostWindow(DemoScene::kWidth, DemoScene::kHeight);
        OivCanvas canvas;
        canvas.initialize(row.type, window);
        DemoScene::present(canvas);
        DuiCanvasToolbar toolbar;
        toolbar.setOivCanvas(&canvas);
        toolbar.initialize();
        SoCamera* camera = canvas.getOivViewer()->getCamera();
        const SbVec3f opening = camera->position.getValue();
        const SbRotation openingTurn = camera->orientation.getValue();

        testsupport::drag(canvas.getOivViewer()->getNormalWidget(), WM_LBUTTONDOWN, WM_LBUTTONUP,
                          MK_LBUTTON, {200, 200}, {420, 300});
        const float moved = (camera->position.getValue() - opening).length();
        ASSERT_GT(moved, 1.0f) << "the drag moves the camera";

        DuiBaseDialog::findControl<SoDialogPushButton>(toolbar.getTopLevelDialog(),
                                                       DuiCanvasToolbarIds::kHome)
            ->press();
        camera = canvas.getOivViewer()->getCamera();
        EXPECT_LT((camera->position.getValue() - opening).length(), moved * 1e-3f);
        EXPECT_TRUE(camera->orientation.getValue().equals(openingTurn, 1e-4f));
        DestroyWindow(window);
    }
}

TEST(DemoSceneTest, MessageNamesTheZScaleChosenInTheToolbar) {
    HWND window = testsupport::createHostWindow(DemoScene::kWidth, DemoScene::kHeight);
    OivCanvas canvas;
    canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    DemoScene::present(canvas);
    DemoScene::followZScale(canvas);
    DuiCanvasToolbar toolbar;
    toolbar.setOivCanvas(&canvas);
    toolbar.initialize();
    const std::string message = std::string(DemoScene::kMessage) + ", Z scale ";
    const std::vector<std::string> opening = shownTexts(canvas);
    EXPECT_EQ(1, std::count(opening.begin(), opening.end(), message + DemoScene::kZScaleLabel));

    auto* zScales = DuiBaseDialog::findControl<SoDialogComboBox>(toolbar.getTopLevelDialog(),
                                                                 DuiCanvasToolbarIds::kZScale);
    ASSERT_NE(nullptr, zScales);
    const int last = zScales->items.getNum() - 1;
    zScales->select(last);
    const std::string chosen = zScales->items[last].getString();
    const std::vector<std::string> texts = shownTexts(canvas);
    EXPECT_EQ(1, std::count(texts.begin(), texts.end(), message + chosen)) << chosen;
    DestroyWindow(window);
}

// Canvases linked in a group, driven the way a user drives them: drags in a viewer, and camera-type
// and Z-scale changes in a canvas's toolbar. Checked: the cameras and scales the other members end
// with, that they are drawn, what their toolbars show, which reports the group acts on, and that
// leaving a group (or being deleted) really cuts the link.
#include "OivWinTav.h"
#include "dui/DuiCanvasToolbarIds.h"
#include "scene/ViewerFrame.h"
#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"

#include <DialogViz/SoDialogVizAll.h>

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 160, kHeight = 120;

// Everything a group copies from one camera to another, compared exactly: the values are copied,
// never recomputed.
struct View {
    bool orthographic;
    SbVec3f position;
    SbRotation orientation;
    float focalDistance;
    float height;

    static View of(const SoCamera* camera) {
        const bool ortho = camera->isOfType(SoOrthographicCamera::getClassTypeId());
        const float height =
            ortho ? static_cast<const SoOrthographicCamera*>(camera)->height.getValue()
                  : static_cast<const SoPerspectiveCamera*>(camera)->heightAngle.getValue();
        return {ortho, camera->position.getValue(), camera->orientation.getValue(),
                camera->focalDistance.getValue(), height};
    }
    bool operator==(const View& other) const {
        return orthographic == other.orthographic && position == other.position &&
               orientation == other.orientation && focalDistance == other.focalDistance &&
               height == other.height;
    }
    bool operator!=(const View& other) const { return !(*this == other); }
};

std::ostream& operator<<(std::ostream& out, const View& view) {
    const SbVec3f& p = view.position;
    float axisX, axisY, axisZ, angle;
    view.orientation.getValue(axisX, axisY, axisZ, angle);
    return out << (view.orthographic ? "orthographic" : "perspective") << " at (" << p[0] << ", "
               << p[1] << ", " << p[2] << ") turned " << angle << " about (" << axisX << ", "
               << axisY << ", " << axisZ << "), focal distance " << view.focalDistance
               << ", height " << view.height;
}

// A group that logs every report it acts on before acting on it.
class LoggingGroup : public OivCanvasGroup {
public:
    std::vector<std::pair<OivBaseCanvas*, bool>> reports;

protected:
    void synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly) override {
        reports.emplace_back(source, cameraOnly);
        OivCanvasGroup::synchronizeToCanvas(source, cameraOnly);
    }
};

// A dialog that counts how often its canvas refreshes it.
class ResetCounter : public DuiBaseDialog {
public:
    int resets = 0;
    void reset() override { ++resets; }
};

// One canvas in a host window of its own, showing a cube, drawn once, with a toolbar and a reset
// counter registered.
struct HostedCanvas {
    HWND host;
    std::unique_ptr<OivCanvas> canvas;
    DuiCanvasToolbar toolbar;
    ResetCounter refreshes;

    explicit HostedCanvas(OivBaseCanvas::ViewerType type)
        : host(testsupport::createHostWindow(kWidth, kHeight)), canvas(new OivCanvas) {
        canvas->initialize(type, host);
        // A drag released at speed would set an examiner spinning, moving its camera on after
        // the test has read it.
        if (auto* examiner = dynamic_cast<SoWinExaminerViewer*>(viewer()))
            examiner->setAnimationEnabled(FALSE);
        canvas->getOivSceneManager()->getRoot3D()->addChild(new SoCube);
        viewer()->viewAll();
        viewer()->render();
        toolbar.setOivCanvas(canvas.get());
        toolbar.initialize();
        canvas->addDUI(&toolbar);
        canvas->addDUI(&refreshes);
    }
    ~HostedCanvas() {
        canvas.reset();
        DestroyWindow(host);
    }

    SoWinFullViewer* viewer() const { return canvas->getOivViewer(); }
    View view() const { return View::of(viewer()->getCamera()); }
    float zScale() const { return canvas->getOivSceneManager()->getGlobalZScale(); }

    // The last frame drawn, read without drawing.
    Frame lastFrame() const {
        Frame frame;
        EXPECT_TRUE(viewer()->readPixels(frame.rgb, frame.size));
        return frame;
    }

    template <class Control> Control* control(const char* id) const {
        Control* found = DuiBaseDialog::findControl<Control>(toolbar.getTopLevelDialog(), id);
        EXPECT_NE(found, nullptr) << id;
        return found;
    }
    // The user clicks the toolbar's camera-type box.
    void toggleCameraTypeInToolbar() const {
        control<SoDialogCheckBox>(DuiCanvasToolbarIds::kCameraType)->toggle();
        testsupport::runMessageLoopUntilIdle();
    }
    bool toolbarShowsPerspective() const {
        return control<SoDialogCheckBox>(DuiCanvasToolbarIds::kCameraType)->state.getValue();
    }
    // The user picks the Z scale labelled `label` in the toolbar.
    void pickZScaleInToolbar(const char* label) const {
        SoDialogComboBox* combo = control<SoDialogComboBox>(DuiCanvasToolbarIds::kZScale);
        const int index = combo->items.find(SbString(label));
        ASSERT_GE(index, 0) << label;
        combo->select(index);
        testsupport::runMessageLoopUntilIdle();
    }
    std::string toolbarZScale() const {
        SoDialogComboBox* combo = control<SoDialogComboBox>(DuiCanvasToolbarIds::kZScale);
        return combo->items[combo->selectedItem.getValue()].getString();
    }

    // A left-button drag across the middle (an orbit in an examiner, a pan in a plane viewer),
    // then the loop runs until the camera sensor has reported.
    void drag(int dx, int dy) const {
        testsupport::drag(viewer()->getNormalWidget(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON,
                          {kWidth / 2, kHeight / 2}, {kWidth / 2 + dx, kHeight / 2 + dy}, 4);
        testsupport::runMessageLoopUntilIdle();
    }
};

class CanvasGroupTest : public ::testing::Test {
protected:
    void TearDown() override {
        group.reset();
        canvases.clear();
    }

    OivCanvas* add(OivBaseCanvas::ViewerType type = OivBaseCanvas::EXAMINER_VIEWER) {
        canvases.push_back(std::make_unique<HostedCanvas>(type));
        testsupport::runMessageLoopUntilIdle();
        return canvases.back()->canvas.get();
    }
    HostedCanvas& at(int index) { return *canvases[index]; }

    // Puts canvases 1 onwards out of step with canvas 0 by dragging each its own way before
    // any of them joins a group.
    void scatterFollowers() {
        for (size_t i = 1; i < canvases.size(); ++i)
            canvases[i]->drag(-20 * int(i), 9 * int(i));
        for (size_t i = 1; i < canvases.size(); ++i)
            ASSERT_NE(at(0).view(), canvases[i]->view()) << "canvas " << i;
    }

    std::vector<std::unique_ptr<HostedCanvas>> canvases;
    std::unique_ptr<LoggingGroup> group = std::make_unique<LoggingGroup>();
};

} // namespace

TEST_F(CanvasGroupTest, DragInOneMemberPutsItsCameraOnTheOthersAndDrawsThem) {
    OivCanvas* a = add();
    OivCanvas* b = add();
    OivCanvas* c = add();
    scatterFollowers();
    for (OivCanvas* canvas : {a, b, c})
        group->addCanvas(canvas);
    // Only the group's own redraw can change what B and C show.
    at(1).viewer()->setAutoRedraw(FALSE);
    at(2).viewer()->setAutoRedraw(FALSE);
    const Frame before[] = {at(1).lastFrame(), at(2).lastFrame()};

    at(0).drag(30, 10);

    const View source = at(0).view();
    EXPECT_EQ(at(1).view(), source);
    EXPECT_EQ(at(2).view(), source);
    for (int i : {1, 2}) {
        EXPECT_GT(at(i).lastFrame().countDiffering(before[i - 1], 0, 0, kWidth, kHeight), 100)
            << "canvas " << i << " was not drawn with its new camera";
        EXPECT_EQ(at(i).refreshes.resets, 0) << "canvas " << i << ": only the camera moved";
    }
    // Only the drag's reports: writing B and C made neither of them report back.
    ASSERT_FALSE(group->reports.empty());
    for (const auto& report : group->reports)
        EXPECT_EQ(report, std::make_pair(static_cast<OivBaseCanvas*>(a), true));
}

TEST_F(CanvasGroupTest, ToolbarCameraTypeReachesEveryMemberAndItsToolbar) {
    add();
    add();
    add();
    scatterFollowers();
    for (auto& hosted : canvases)
        group->addCanvas(hosted->canvas.get());
    const View sourceBefore = at(0).view();

    at(0).toggleCameraTypeInToolbar();

    const View source = at(0).view();
    ASSERT_TRUE(source.orthographic);
    // The toggle keeps the place the source looks from; a follower's old view, coming back as
    // that follower reports its own toggle, must not replace it.
    EXPECT_EQ(source.position, sourceBefore.position);
    EXPECT_EQ(source.orientation, sourceBefore.orientation);
    for (int i : {1, 2}) {
        EXPECT_EQ(at(i).view(), source) << "canvas " << i;
        EXPECT_FALSE(at(i).toolbarShowsPerspective()) << "canvas " << i;
        EXPECT_EQ(at(i).refreshes.resets, 1) << "canvas " << i;
    }
    ASSERT_EQ(group->reports.size(), 1u);
    EXPECT_FALSE(group->reports[0].second);
}

TEST_F(CanvasGroupTest, OrthographicSourceSwitchesAPerspectiveMemberBeforeCopying) {
    OivCanvas* plan = add(OivBaseCanvas::PLANE_VIEWER);
    OivCanvas* view3D = add(OivBaseCanvas::EXAMINER_VIEWER);
    ASSERT_TRUE(at(0).view().orthographic);
    ASSERT_FALSE(at(1).view().orthographic);
    group->addCanvas(plan);
    group->addCanvas(view3D);

    at(0).drag(25, -15); // a pan: only the camera moved

    // The member was toggled first, so it took the plane view's height, not an angle made of it;
    // and the plan view kept the pan it was given. Only the camera moved, but the 3D view's
    // toolbar must stop saying perspective.
    EXPECT_EQ(at(1).view(), at(0).view());
    for (const auto& report : group->reports)
        EXPECT_EQ(report.first, plan);
    EXPECT_FALSE(at(1).toolbarShowsPerspective());
    EXPECT_EQ(at(1).refreshes.resets, 1);

    // The other way round: the 3D view, now orthographic too, goes back to perspective and takes
    // the plan view along.
    at(1).toggleCameraTypeInToolbar();
    EXPECT_FALSE(at(0).view().orthographic);
    EXPECT_EQ(at(0).view(), at(1).view());
    EXPECT_TRUE(at(0).toolbarShowsPerspective());
}

TEST_F(CanvasGroupTest, ToolbarZScaleReachesAllOnceWithTheSourcesCamera) {
    OivCanvas* a = add();
    add();
    add(OivBaseCanvas::PLANE_VIEWER);
    at(1).drag(-40, 20); // out of step, and the plane view is of another camera type
    for (auto& hosted : canvases)
        group->addCanvas(hosted->canvas.get());
    const SbRotation orientationBefore = at(0).view().orientation;

    at(0).pickZScaleInToolbar("5");

    for (int i : {0, 1, 2}) {
        EXPECT_EQ(at(i).zScale(), 5.0f) << "canvas " << i;
        EXPECT_EQ(at(i).toolbarZScale(), "5") << "canvas " << i;
    }
    EXPECT_EQ(at(1).refreshes.resets, 1);
    EXPECT_EQ(at(2).refreshes.resets, 1);
    // A Z scale keeps the camera's orientation: the source still looks the way it did, and so
    // does every member now.
    EXPECT_EQ(at(0).view().orientation, orientationBefore);
    EXPECT_FALSE(at(0).view().orthographic);
    EXPECT_EQ(at(1).view(), at(0).view());
    EXPECT_EQ(at(2).view(), at(0).view());
    // The group acted on the source's scale change once, and otherwise only on the source's own
    // camera sensor (the scale moved that camera): neither the members' scale changes nor the
    // cameras written into them came back.
    ASSERT_FALSE(group->reports.empty());
    EXPECT_EQ(group->reports[0], std::make_pair(static_cast<OivBaseCanvas*>(a), false));
    for (size_t i = 1; i < group->reports.size(); ++i)
        EXPECT_EQ(group->reports[i], std::make_pair(static_cast<OivBaseCanvas*>(a), true));
}

TEST_F(CanvasGroupTest, MembershipIsOneEntryPerCanvasAndRemovalCutsBothWays) {
    OivCanvas* a = add();
    OivCanvas* b = add();
    OivCanvas* outsider = add();
    group->addCanvas(a);
    group->addCanvas(a);
    group->addCanvas(b);
    group->addCanvas(nullptr);
    group->removeCanvas(outsider);
    group->removeCanvas(nullptr);

    at(1).drag(20, 0);
    EXPECT_EQ(at(0).view(), at(1).view());
    EXPECT_NE(at(2).view(), at(1).view());

    // One removal takes A out although it was added twice.
    group->removeCanvas(a);
    const View aAlone = at(0).view();
    at(1).drag(0, 25);
    EXPECT_EQ(at(0).view(), aAlone);
    at(0).drag(-30, 0);
    EXPECT_NE(at(1).view(), at(0).view());
}

TEST_F(CanvasGroupTest, GroupOfOneLeavesItsMemberAsTheUserLeftIt) {
    // A twin outside any group takes the same drag from the same start.
    OivCanvas* member = add();
    add();
    group->addCanvas(member);

    at(0).drag(30, 20);
    at(1).drag(30, 20);

    EXPECT_EQ(at(0).view(), at(1).view());
    ASSERT_FALSE(group->reports.empty());
}

TEST_F(CanvasGroupTest, CanvasInTwoGroupsReportsToTheLastAndRemovalFromTheFirstSilencesIt) {
    OivCanvas* shared = add();
    OivCanvas* first = add();
    OivCanvas* second = add();
    OivCanvasGroup g2;
    group->addCanvas(shared);
    group->addCanvas(first);
    g2.addCanvas(shared);
    g2.addCanvas(second);

    at(0).drag(20, 10);
    EXPECT_EQ(at(2).view(), at(0).view());
    EXPECT_NE(at(1).view(), at(0).view());

    // The first group still writes to the shared canvas.
    at(1).drag(-25, 5);
    EXPECT_EQ(at(0).view(), at(1).view());

    // Removing it from the first group clears the one callback slot it has.
    group->removeCanvas(shared);
    const View firstView = at(1).view(), secondView = at(2).view();
    at(0).drag(10, -30);
    EXPECT_EQ(at(1).view(), firstView);
    EXPECT_EQ(at(2).view(), secondView);
}

TEST_F(CanvasGroupTest, MembersWithoutViewerAreSkipped) {
    OivCanvas windowless;
    windowless.initialize(OivBaseCanvas::EXAMINER_VIEWER, nullptr);
    OivCanvas* a = add();
    add();
    group->addCanvas(&windowless);
    group->addCanvas(a);
    group->addCanvas(at(1).canvas.get());

    at(0).drag(15, 15);
    a->getOivSceneManager()->setGlobalZScale(3.0f);
    at(0).viewer()->toggleCameraType();
    testsupport::runMessageLoopUntilIdle();

    EXPECT_EQ(at(1).view(), at(0).view());
    EXPECT_EQ(at(1).zScale(), 3.0f);
    // The windowless canvas leaves the group as it goes out of scope.
}

TEST_F(CanvasGroupTest, DeletedMemberLeavesEveryGroupThatListsIt) {
    // The doomed canvas is in two groups and reports only to the second; the first still
    // writes to it. Both must forget it (the sanitizer build catches a write through it).
    OivCanvas* doomed = add();
    OivCanvas* b = add();
    OivCanvas* c = add();
    OivCanvas* d = add();
    OivCanvasGroup g2;
    group->addCanvas(doomed);
    group->addCanvas(b);
    group->addCanvas(c);
    g2.addCanvas(doomed);
    g2.addCanvas(d);

    canvases.erase(canvases.begin());

    // B, C and D are now canvases 0, 1 and 2.
    const View dView = at(2).view();
    at(0).drag(20, -10);
    b->getOivSceneManager()->setGlobalZScale(10.0f);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(at(1).view(), at(0).view());
    EXPECT_EQ(at(1).zScale(), 10.0f);
    EXPECT_EQ(at(2).view(), dView);
    const View bView = at(0).view();
    at(2).drag(-10, 20); // the second group is left with D alone
    EXPECT_EQ(at(0).view(), bView);
    EXPECT_NE(at(2).view(), dView);
}

TEST_F(CanvasGroupTest, DeletedGroupLeavesItsMembersSilent) {
    OivCanvas* a = add();
    OivCanvas* b = add();
    {
        OivCanvasGroup shortLived;
        shortLived.addCanvas(a);
        shortLived.addCanvas(b);
    }
    // A member still reporting to the deleted group would call into freed memory here.
    const View bView = at(1).view();
    at(0).drag(25, 25);
    a->getOivSceneManager()->setGlobalZScale(2.0f);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(at(1).view(), bView);
    // Both canvases can still join a group afterwards.
    group->addCanvas(a);
    group->addCanvas(b);
    at(0).drag(-25, 0);
    EXPECT_EQ(at(1).view(), at(0).view());
}

// What the library's examiner and plane viewers share: view all framing "Main3DRoot", the zoom
// of an orthographic seek, and the viewing-mode report; each checked against the SDK viewer
// they derive from.
#include "LibraryViewerTestSupport.h"

#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"

#include <Inventor/SbViewVolume.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <memory>

using namespace libviewertest;

namespace {

struct ExaminerKind {
    using Library = OivWinExaminerViewer;
    using Sdk = SoWinExaminerViewer;
    static constexpr float kSeekHeightFactor = 0.993f;
};

struct PlaneKind {
    using Library = OivWinPlaneViewer;
    using Sdk = SoWinPlaneViewer;
    static constexpr float kSeekHeightFactor = 0.985f;
};

// Camera classes are registered by SoWin::init, after static initialisation.
std::vector<SoType> cameraTypes() {
    return {SoPerspectiveCamera::getClassTypeId(), SoOrthographicCamera::getClassTypeId()};
}

// Where `point` shows in the camera's view, 0..1 across the window.
SbVec3f onScreen(const SoCamera& camera, const SbVec3f& point) {
    SbVec3f screen;
    camera.getViewVolume(float(kWidth) / kHeight).projectToScreen(point, screen);
    return screen;
}

bool inView(const SbVec3f& screen) {
    return screen[0] >= 0.0f && screen[0] <= 1.0f && screen[1] >= 0.0f && screen[1] <= 1.0f;
}

struct ViewingReports {
    int calls = 0;
    SoWinViewer* viewer = nullptr;
    SbBool viewingWhenCalled = FALSE;

    static void record(void* data, SoWinViewer* viewer) {
        auto* self = static_cast<ViewingReports*>(data);
        ++self->calls;
        self->viewer = viewer;
        self->viewingWhenCalled = viewer->isViewing();
    }
};

} // namespace

template <class Kind> class LibraryViewer : public ::testing::Test {
protected:
    using Viewer = Probe<typename Kind::Library>;
    using SdkViewer = SdkProbe<typename Kind::Sdk>;

    void TearDown() override {
        m_Viewers.clear();
        for (SoSeparator* scene : m_Scenes)
            scene->unref();
        for (HWND host : m_Hosts)
            DestroyWindow(host);
    }

    // A viewer of type V without decoration in a host window of its own, showing `scene`
    // (which it keeps alive until the test ends).
    template <class V> V* show(SoSeparator* scene) {
        HWND host = testsupport::createHostWindow(kWidth, kHeight);
        m_Hosts.push_back(host);
        auto* viewer = new V(host);
        m_Viewers.emplace_back(viewer);
        viewer->setDecoration(FALSE);
        if (scene) {
            m_Scenes.push_back(scene);
            viewer->setSceneGraph(scene);
        }
        return viewer;
    }

    // Seeks to the cube's front face in the middle of the window.
    template <class V> void seekToCentre(V* viewer, float seconds) {
        viewer->setSeekTime(seconds);
        viewer->setSeekMode(TRUE);
        testsupport::mouse(viewer->getNormalWidget(), WM_LBUTTONDOWN, MK_LBUTTON, kCentre.x,
                           kCentre.y);
        ASSERT_TRUE(testsupport::runSensorsUntil([&] { return !viewer->isSeeking(); }));
        ASSERT_FALSE(viewer->isSeekMode());
    }

private:
    std::vector<HWND> m_Hosts;
    std::vector<SoSeparator*> m_Scenes;
    std::vector<std::unique_ptr<SoWinComponent>> m_Viewers;
};

using Kinds = ::testing::Types<ExaminerKind, PlaneKind>;
TYPED_TEST_SUITE(LibraryViewer, Kinds);

TYPED_TEST(LibraryViewer, ViewAllFramesMain3DRootAlone) {
    using Viewer = typename TestFixture::Viewer;
    using SdkViewer = typename TestFixture::SdkViewer;
    for (SoType type : cameraTypes()) {
        SCOPED_TRACE(type.getName().getString());
        Viewer* withOverlay = this->template show<Viewer>(makeScene(type, true));
        Viewer* contentOnly = this->template show<Viewer>(makeScene(type, true, false));
        SdkViewer* sdk = this->template show<SdkViewer>(makeScene(type, true));
        withOverlay->viewAll();
        contentOnly->viewAll();
        sdk->viewAll();

        // The overlay cube changes nothing: the view is the one of the content alone.
        EXPECT_TRUE(sameView(*withOverlay->getCamera(), *contentOnly->getCamera()));
        const SoCamera& camera = *withOverlay->getCamera();
        for (int corner = 0; corner < 8; ++corner) {
            const SbVec3f point((corner & 1) ? 1.0f : -1.0f, (corner & 2) ? 1.0f : -1.0f,
                                (corner & 4) ? 1.0f : -1.0f);
            EXPECT_TRUE(inView(onScreen(camera, point))) << "corner " << corner;
        }
        // Framed, not merely visible: the cube's front face spans a good part of the height.
        const float span =
            onScreen(camera, SbVec3f(0, 1, 1))[1] - onScreen(camera, SbVec3f(0, -1, 1))[1];
        EXPECT_GT(span, 0.4f);
        EXPECT_FALSE(inView(onScreen(camera, SbVec3f(60, 0, 0))));
        // The SDK frames the whole graph, overlay included.
        EXPECT_TRUE(inView(onScreen(*sdk->getCamera(), SbVec3f(60, 0, 0))));
    }
}

TYPED_TEST(LibraryViewer, ViewAllWithoutMain3DRootIsTheSdks) {
    using Viewer = typename TestFixture::Viewer;
    using SdkViewer = typename TestFixture::SdkViewer;
    for (SoType type : cameraTypes()) {
        SCOPED_TRACE(type.getName().getString());
        Viewer* viewer = this->template show<Viewer>(makeScene(type, false));
        SdkViewer* sdk = this->template show<SdkViewer>(makeScene(type, false));
        for (SoCamera* camera : {viewer->getCamera(), sdk->getCamera()}) {
            camera->position.setValue(5.0f, -3.0f, 40.0f);
            camera->pointAt(SbVec3f(1.0f, 1.0f, 0.0f));
        }
        viewer->viewAll();
        sdk->viewAll();
        EXPECT_TRUE(sameView(*viewer->getCamera(), *sdk->getCamera()));
    }
    // Nothing to frame and no camera: nothing happens.
    Viewer* empty = this->template show<Viewer>(nullptr);
    empty->viewAll();
    EXPECT_EQ(empty->getCamera(), nullptr);
}

TYPED_TEST(LibraryViewer, ViewAllOfContentTooLargeToFrameKeepsTheCamera) {
    using Viewer = typename TestFixture::Viewer;
    for (SoType type : cameraTypes()) {
        SCOPED_TRACE(type.getName().getString());
        SoSeparator* scene = makeScene(type, true, false);
        Viewer* viewer = this->template show<Viewer>(scene);
        viewer->viewAll();
        auto* framed = static_cast<SoCamera*>(viewer->getCamera()->copy());
        framed->ref();
        // Finite bounds whose size overflows: framing them would give the camera no position.
        auto* huge = new SoCube;
        huge->width = huge->height = huge->depth = 3.0e38f;
        static_cast<SoSeparator*>(scene->getChild(1))->addChild(huge);
        viewer->viewAll();
        EXPECT_TRUE(sameView(*viewer->getCamera(), *framed));
        framed->unref();
    }
}

TYPED_TEST(LibraryViewer, OrthographicSeekShrinksTheHeightOnEveryStep) {
    using Viewer = typename TestFixture::Viewer;
    Viewer* viewer =
        this->template show<Viewer>(makeScene(SoOrthographicCamera::getClassTypeId(), true));
    const float start = heightOf(*viewer->getCamera());

    this->seekToCentre(viewer, 0.5f);

    const std::vector<float>& heights = viewer->heightsAfterSeekSteps;
    ASSERT_FALSE(heights.empty());
    float expected = start;
    for (float height : heights) {
        expected *= TypeParam::kSeekHeightFactor;
        EXPECT_FLOAT_EQ(height, expected);
    }
    EXPECT_FLOAT_EQ(heightOf(*viewer->getCamera()), expected);
}

TYPED_TEST(LibraryViewer, SeekMovesTheCameraAsTheSdkDoes) {
    using Viewer = typename TestFixture::Viewer;
    using SdkViewer = typename TestFixture::SdkViewer;
    for (SoType type : cameraTypes()) {
        SCOPED_TRACE(type.getName().getString());
        Viewer* viewer = this->template show<Viewer>(makeScene(type, true));
        SdkViewer* sdk = this->template show<SdkViewer>(makeScene(type, true));
        // Without animation time the seek is one step, straight to its end.
        this->seekToCentre(viewer, 0.0f);
        this->seekToCentre(sdk, 0.0f);
        ASSERT_EQ(viewer->heightsAfterSeekSteps.size(), 1u);

        SoCamera& camera = *viewer->getCamera();
        SoCamera& sdkCamera = *sdk->getCamera();
        EXPECT_NE(camera.position.getValue(), SbVec3f(0.0f, 0.0f, 10.0f));
        if (type == SoPerspectiveCamera::getClassTypeId()) {
            EXPECT_TRUE(sameView(camera, sdkCamera));
        } else {
            EXPECT_FLOAT_EQ(heightOf(camera), heightOf(sdkCamera) * TypeParam::kSeekHeightFactor);
            static_cast<SoOrthographicCamera&>(sdkCamera).scaleHeight(TypeParam::kSeekHeightFactor);
            EXPECT_TRUE(sameView(camera, sdkCamera));
        }
    }
}

TYPED_TEST(LibraryViewer, SetViewingReportsEveryCall) {
    using Viewer = typename TestFixture::Viewer;
    Viewer* viewer =
        this->template show<Viewer>(makeScene(SoPerspectiveCamera::getClassTypeId(), true));
    ViewingReports reports;
    viewer->setViewingModeChangeCallback(&ViewingReports::record, &reports);

    viewer->setViewing(viewer->isViewing());
    EXPECT_EQ(reports.calls, 1);
    EXPECT_EQ(reports.viewer, static_cast<SoWinViewer*>(viewer));

    viewer->setViewing(FALSE);
    EXPECT_EQ(reports.calls, 2);
    EXPECT_FALSE(reports.viewingWhenCalled);

    ViewingReports replacement;
    viewer->setViewingModeChangeCallback(&ViewingReports::record, &replacement);
    viewer->setViewing(TRUE);
    EXPECT_EQ(reports.calls, 2);
    EXPECT_EQ(replacement.calls, 1);
    EXPECT_TRUE(replacement.viewingWhenCalled);

    viewer->setViewingModeChangeCallback(nullptr, &replacement);
    viewer->setViewing(FALSE);
    EXPECT_EQ(replacement.calls, 1);
}

TYPED_TEST(LibraryViewer, ToggleCameraTypeReplacesTheCamera) {
    using Viewer = typename TestFixture::Viewer;
    Viewer* viewer =
        this->template show<Viewer>(makeScene(SoPerspectiveCamera::getClassTypeId(), true));
    viewer->toggleCameraType();
    EXPECT_TRUE(viewer->getCamera()->isOfType(SoOrthographicCamera::getClassTypeId()));
    viewer->toggleCameraType();
    EXPECT_TRUE(viewer->getCamera()->isOfType(SoPerspectiveCamera::getClassTypeId()));
}

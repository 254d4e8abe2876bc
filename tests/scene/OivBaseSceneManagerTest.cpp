// The managed scene graph: its layout, backgrounds, message and frame-rate display, the
// scene-context listener and what a pick through the overlay can return. Everything here runs
// without a viewer; SceneViewerTest.cpp covers the manager bound to a viewer.
#include "SceneProbe.h"
#include "camera/OivCameraControl.h"
#include "tav/OivOnTopSeparator.h"
#include "tav/OivScreenPosition.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoGradientBackground.h>
#include <Inventor/nodes/SoImageBackground.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/nodes/SoResetTransform.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoTransparencyType.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace {

static_assert(!std::is_copy_constructible_v<OivBaseSceneManager> &&
                  !std::is_copy_assignable_v<OivBaseSceneManager>,
              "copies would delete one camera control twice");

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// The child at `index` of `parent` if it is exactly of type T, else null and a failure.
template <class T> T* childOf(SoNode* parent, int index) {
    SoGroup* group = static_cast<SoGroup*>(parent);
    if (!parent || !parent->isOfType(SoGroup::getClassTypeId()) ||
        index >= group->getNumChildren()) {
        ADD_FAILURE() << "no child " << index;
        return nullptr;
    }
    SoNode* child = group->getChild(index);
    if (child->getTypeId() != T::getClassTypeId()) {
        ADD_FAILURE() << "child " << index << " is " << child->getTypeId().getName().getString()
                      << ", expected " << T::getClassTypeId().getName().getString();
        return nullptr;
    }
    return static_cast<T*>(child);
}

int childCount(SoNode* group) {
    return static_cast<SoGroup*>(group)->getNumChildren();
}

// A node whose fields all hold the SDK defaults of its type.
template <class T> bool hasDefaults(T* node) {
    T* fresh = new T;
    fresh->ref();
    const bool same = node->fieldsAreEqual(fresh);
    fresh->unref();
    return same;
}

class SceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera = new SoPerspectiveCamera;
        camera->ref();
        manager = new SceneProbe;
    }
    void TearDown() override {
        delete manager;
        camera->unref();
    }

    SoSwitch* backgroundSwitch() { return childOf<SoSwitch>(manager->getSceneRoot(), 1); }

    SoPerspectiveCamera* camera = nullptr;
    SceneProbe* manager = nullptr;
};

// --- construction -------------------------------------------------------------------------------

TEST_F(SceneManagerTest, FreshManagerHoldsItsInitialValuesAndNoGraph) {
    EXPECT_EQ(1, SoSeparator::getNumRenderCaches());
    EXPECT_EQ(OivBaseSceneManager::BLACK, manager->getBackground());
    EXPECT_EQ(0, manager->getSceneRoot()->getNumChildren());
    EXPECT_STREQ("Main3DRoot", manager->getProtectedRoot3D()->getName().getString());
    EXPECT_EQ(nullptr, manager->getCamera());
    ASSERT_NE(nullptr, manager->getCameraControl());
    EXPECT_EQ(OivCameraControl::ABOVE, manager->getCameraControl()->getDirection());
    EXPECT_NE(nullptr, manager->getEventCallback());

    EXPECT_STREQ("Arial", manager->getGlobalFont()->name.getValue().getString());
    EXPECT_EQ(12.0f, manager->getGlobalFont()->size.getValue());

    const uint32_t gradient0[] = {0x3D70F0F1, 0x3D20A0A1, 0x3E48C8C9};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gradient0[i], bitsOf(manager->m_GradientColor0[i])) << "component " << i;
        EXPECT_EQ(bitsOf(0.8f), bitsOf(manager->m_AlternateColor[i]));
    }
    EXPECT_TRUE(manager->m_GradientColor1 == SbColor(0.3125f, 0.3125f, 0.5859375f));
    EXPECT_STREQ("..\\Config\\3D\\canvas\\background\\background.jpg",
                 manager->m_BackgroundImage.getString());
    EXPECT_GT(manager->m_CounterFrequency, 0.0);

    // No message text before the build: these must be harmless.
    manager->setMessage("early");
    manager->resetMessage();
    EXPECT_EQ(nullptr, manager->m_MessageText);
    EXPECT_FALSE(manager->isMessageVisible());
    EXPECT_FALSE(manager->isPerformanceVisible());
}

// --- the built graph ----------------------------------------------------------------------------

// Anchor, margin type and margin of both axes of a screen position.
struct Place {
    int horizontalAnchor, horizontalMarginType;
    float horizontalMargin;
    int verticalAnchor, verticalMarginType;
    float verticalMargin;
};

// One frame-rate or message display: screen position, white, Arial 16, then the text.
void expectTextDisplay(SoSwitch* sw, const Place& place, SoText2* text, int justification) {
    ASSERT_EQ(1, childCount(sw));
    SoSeparator* display = childOf<SoSeparator>(sw, 0);
    ASSERT_NE(nullptr, display);
    ASSERT_EQ(4, childCount(display));
    OivScreenPosition* position = childOf<OivScreenPosition>(display, 0);
    ASSERT_NE(nullptr, position);
    EXPECT_EQ(place.horizontalAnchor, position->horizontalAnchor.getValue());
    EXPECT_EQ(place.horizontalMarginType, position->horizontalMarginType.getValue());
    EXPECT_EQ(place.horizontalMargin, position->horizontalMargin.getValue());
    EXPECT_EQ(place.verticalAnchor, position->verticalAnchor.getValue());
    EXPECT_EQ(place.verticalMarginType, position->verticalMarginType.getValue());
    EXPECT_EQ(place.verticalMargin, position->verticalMargin.getValue());
    SoBaseColor* color = childOf<SoBaseColor>(display, 1);
    ASSERT_NE(nullptr, color);
    ASSERT_EQ(1, color->rgb.getNum());
    EXPECT_TRUE(color->rgb[0] == SbColor(1, 1, 1));
    SoFont* font = childOf<SoFont>(display, 2);
    ASSERT_NE(nullptr, font);
    EXPECT_STREQ("Arial", font->name.getValue().getString());
    EXPECT_EQ(16.0f, font->size.getValue());
    EXPECT_EQ(text, childOf<SoText2>(display, 3));
    ASSERT_EQ(1, text->string.getNum());
    EXPECT_STREQ("", text->string[0].getString());
    EXPECT_EQ(justification, text->justification.getValue());
}

void expectUnpickable(SoNode* node) {
    SoPickStyle* pickStyle = static_cast<SoPickStyle*>(node);
    ASSERT_TRUE(node && node->getTypeId() == SoPickStyle::getClassTypeId());
    EXPECT_EQ(2, pickStyle->style.getValue());
}

TEST_F(SceneManagerTest, BuiltGraphFollowsTheLayoutChildByChild) {
    manager->setPerformanceVisible(true); // the build hides it again
    SoSeparator* root = manager->createSceneGraph(camera);

    ASSERT_EQ(manager->getSceneRoot(), root);
    EXPECT_EQ(0, SoSeparator::getNumRenderCaches());
    EXPECT_EQ(2, camera->getRefCount()) << "the test's and the 3D branch's, no more";
    ASSERT_EQ(6, root->getNumChildren());

    SoGroup* pre = childOf<SoGroup>(root, 0);
    ASSERT_NE(nullptr, pre);
    EXPECT_EQ(0, pre->getNumChildren());

    SoSwitch* background = childOf<SoSwitch>(root, 1);
    ASSERT_NE(nullptr, background);
    EXPECT_EQ(SO_SWITCH_NONE, background->whichChild.getValue());
    ASSERT_EQ(2, background->getNumChildren());
    SoImageBackground* image = childOf<SoImageBackground>(background, 0);
    EXPECT_EQ(manager->getImageBackground(), image);
    ASSERT_NE(nullptr, image);
    EXPECT_STREQ("", image->filename.getValue().getString()) << "the default path cannot open";
    EXPECT_EQ(6, image->style.getValue());
    SoGradientBackground* gradient = childOf<SoGradientBackground>(background, 1);
    EXPECT_EQ(manager->getGradientBackground(), gradient);
    ASSERT_NE(nullptr, gradient);
    const uint32_t color0[] = {0x3D70F0F1, 0x3D20A0A1, 0x3E48C8C9};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(color0[i], bitsOf(gradient->color0.getValue()[i])) << "component " << i;
    EXPECT_TRUE(gradient->color1.getValue() == SbColor(0.3125f, 0.3125f, 0.5859375f));

    SoSeparator* branch3D = childOf<SoSeparator>(root, 2);
    ASSERT_NE(nullptr, branch3D);
    ASSERT_EQ(3, branch3D->getNumChildren());
    EXPECT_EQ(camera, branch3D->getChild(0));
    EXPECT_EQ(manager->getEventCallback(), childOf<SoEventCallback>(branch3D, 1));
    EXPECT_EQ(manager->getProtectedRoot3D(), childOf<SoSeparator>(branch3D, 2));
    EXPECT_EQ(0, manager->getProtectedRoot3D()->getNumChildren());

    // Overlay and UI3D are drawn over the whole scene.
    SoSeparator* overlay = childOf<OivOnTopSeparator>(root, 3);
    ASSERT_NE(nullptr, overlay);
    ASSERT_EQ(6, overlay->getNumChildren());
    SoOrthographicCamera* overlayCamera = childOf<SoOrthographicCamera>(overlay, 0);
    ASSERT_NE(nullptr, overlayCamera);
    EXPECT_TRUE(hasDefaults(overlayCamera));
    EXPECT_NE(nullptr, childOf<SoResetTransform>(overlay, 1));
    SoLightModel* lightModel = childOf<SoLightModel>(overlay, 2);
    ASSERT_NE(nullptr, lightModel);
    EXPECT_EQ(0, lightModel->model.getValue());
    SoDirectionalLight* overlayLight = childOf<SoDirectionalLight>(overlay, 3);
    ASSERT_NE(nullptr, overlayLight);
    EXPECT_TRUE(hasDefaults(overlayLight));
    EXPECT_EQ(manager->getProtectedRootOverlay(), childOf<SoSeparator>(overlay, 4));
    EXPECT_EQ(manager->getRootOverlay(), childOf<SoSeparator>(overlay, 5));
    EXPECT_EQ(0, manager->getRootOverlay()->getNumChildren());

    SoSeparator* protectedOverlay = manager->getProtectedRootOverlay();
    ASSERT_EQ(4, protectedOverlay->getNumChildren());
    expectUnpickable(protectedOverlay->getChild(0));
    SoSwitch* performance = childOf<SoSwitch>(protectedOverlay, 1);
    ASSERT_EQ(manager->m_PerformanceSwitch, performance);
    EXPECT_EQ(SO_SWITCH_NONE, performance->whichChild.getValue());
    expectTextDisplay(performance, {3, 0, 0.12f, 0, 1, 21.0f}, manager->m_PerformanceText, 2);
    SoSwitch* message = childOf<SoSwitch>(protectedOverlay, 2);
    ASSERT_EQ(manager->m_MessageSwitch, message);
    EXPECT_EQ(SO_SWITCH_NONE, message->whichChild.getValue());
    ASSERT_NE(nullptr, manager->m_MessageText);
    expectTextDisplay(message, {2, 0, 0.12f, 1, 1, 10.0f}, manager->m_MessageText, SoText2::LEFT);
    expectUnpickable(protectedOverlay->getChild(3));

    SoSeparator* ui3D = childOf<OivOnTopSeparator>(root, 4);
    ASSERT_NE(nullptr, ui3D);
    ASSERT_EQ(4, ui3D->getNumChildren());
    SoDirectionalLight* uiLight = childOf<SoDirectionalLight>(ui3D, 0);
    ASSERT_NE(nullptr, uiLight);
    EXPECT_TRUE(hasDefaults(uiLight));
    SoTransparencyType* transparency = childOf<SoTransparencyType>(ui3D, 1);
    ASSERT_NE(nullptr, transparency);
    EXPECT_EQ(1, transparency->value.getValue());
    SoOrthographicCamera* uiCamera = childOf<SoOrthographicCamera>(ui3D, 2);
    ASSERT_NE(nullptr, uiCamera);
    EXPECT_TRUE(hasDefaults(uiCamera));
    EXPECT_EQ(manager->getRootUI3D(), childOf<SoSeparator>(ui3D, 3));
    EXPECT_EQ(0, manager->getRootUI3D()->getNumChildren());

    SoGroup* post = childOf<SoGroup>(root, 5);
    ASSERT_NE(nullptr, post);
    EXPECT_NE(pre, post);
    EXPECT_EQ(0, post->getNumChildren());

    EXPECT_FALSE(manager->isPerformanceVisible());
    EXPECT_FALSE(manager->isMessageVisible());
}

TEST_F(SceneManagerTest, NullViewerBuildsNothingAndBackgroundsOnlySwitch) {
    manager->setViewer(nullptr, false);

    EXPECT_EQ(0, manager->getSceneRoot()->getNumChildren());
    EXPECT_EQ(nullptr, manager->getCamera());
    EXPECT_EQ(nullptr, manager->m_MessageText);

    manager->createSceneGraph(camera); // to see the switch
    manager->setBackground(OivBaseSceneManager::GRADIENT);
    manager->setBackground(OivBaseSceneManager::ALTERNATE);
    EXPECT_EQ(SO_SWITCH_NONE, backgroundSwitch()->whichChild.getValue());
    EXPECT_EQ(OivBaseSceneManager::ALTERNATE, manager->getBackground());
}

// --- backgrounds --------------------------------------------------------------------------------

TEST_F(SceneManagerTest, EachBackgroundChoiceShowsItsSwitchChild) {
    manager->createSceneGraph(camera);
    SoSwitch* sw = backgroundSwitch();
    ASSERT_NE(nullptr, sw);
    const struct {
        OivBaseSceneManager::Background background;
        int whichChild;
    } choices[] = {{OivBaseSceneManager::GRADIENT, 1},
                   {OivBaseSceneManager::IMAGE, 0},
                   {OivBaseSceneManager::BLACK, SO_SWITCH_NONE},
                   {OivBaseSceneManager::IMAGE, 0},
                   {OivBaseSceneManager::ALTERNATE, SO_SWITCH_NONE},
                   {OivBaseSceneManager::GRADIENT, 1},
                   {static_cast<OivBaseSceneManager::Background>(7), 1}};
    for (const auto& choice : choices) {
        manager->setBackground(choice.background);
        EXPECT_EQ(choice.background, manager->getBackground());
        EXPECT_EQ(choice.whichChild, sw->whichChild.getValue())
            << "background " << choice.background;
    }
}

TEST_F(SceneManagerTest, BackgroundChosenBeforeTheBuildIsShownByIt) {
    manager->setBackground(OivBaseSceneManager::GRADIENT);
    manager->createSceneGraph(camera);
    EXPECT_EQ(1, backgroundSwitch()->whichChild.getValue());

    SceneProbe imageFirst;
    imageFirst.setBackground(OivBaseSceneManager::IMAGE);
    imageFirst.createSceneGraph(camera);
    EXPECT_EQ(0, childOf<SoSwitch>(imageFirst.getSceneRoot(), 1)->whichChild.getValue());
}

// A file that exists for the duration of a test.
class TemporaryFile {
public:
    TemporaryFile() {
        char pattern[] = "/tmp/oivwintav-background-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) {
            const char content[] = "not really an image";
            EXPECT_EQ(static_cast<ssize_t>(sizeof(content)), write(fd, content, sizeof(content)));
            close(fd);
        }
        path = pattern;
    }
    ~TemporaryFile() { std::remove(path.c_str()); }
    std::string path;
};

TEST_F(SceneManagerTest, BackgroundImageIsTakenOnlyWhenItOpens) {
    manager->createSceneGraph(camera);
    SoImageBackground* image = manager->getImageBackground();
    TemporaryFile file;

    manager->setBackgroundImage("/nonexistent/background.jpg");
    EXPECT_STREQ("", image->filename.getValue().getString());
    EXPECT_STREQ("/nonexistent/background.jpg", manager->m_BackgroundImage.getString());

    manager->setBackgroundImage(file.path.c_str());
    EXPECT_EQ(file.path, image->filename.getValue().getString());

    manager->setBackgroundImage("/nonexistent/other.jpg");
    EXPECT_EQ(file.path, image->filename.getValue().getString()) << "a bad path keeps the last";
    EXPECT_EQ(OivBaseSceneManager::BLACK, manager->getBackground());
    EXPECT_EQ(SO_SWITCH_NONE, backgroundSwitch()->whichChild.getValue());
}

TEST_F(SceneManagerTest, BuildTakesABackgroundImageThatOpens) {
    TemporaryFile file;
    manager->m_BackgroundImage = file.path.c_str();
    manager->createSceneGraph(camera);
    EXPECT_EQ(file.path, manager->getImageBackground()->filename.getValue().getString());
}

// --- message and frame rate ---------------------------------------------------------------------

TEST_F(SceneManagerTest, MessageShowsOnceVisibleAndResetKeepsTheSwitch) {
    manager->createSceneGraph(camera);
    manager->setMessage("Loading terrain");
    EXPECT_EQ("Loading terrain", manager->messageText());
    EXPECT_FALSE(manager->isMessageVisible());

    manager->setMessageVisible(true);
    EXPECT_TRUE(manager->isMessageVisible());
    EXPECT_EQ(0, manager->m_MessageSwitch->whichChild.getValue());

    manager->resetMessage();
    EXPECT_EQ(0, manager->m_MessageText->string.getNum());
    EXPECT_TRUE(manager->isMessageVisible());

    manager->setMessage("again");
    EXPECT_EQ("again", manager->messageText());
    manager->setMessageVisible(false);
    EXPECT_EQ(SO_SWITCH_NONE, manager->m_MessageSwitch->whichChild.getValue());
}

TEST_F(SceneManagerTest, ViewerRateBelowSeventyIsShownWithWidthFiveAndTwoDecimals) {
    manager->createSceneGraph(camera);
    const struct {
        float fps;
        const char* text;
    } reports[] = {
        {30.0f, "30.00 FPS"}, {5.5f, " 5.50 FPS"}, {69.994f, "69.99 FPS"}, {0.0f, " 0.00 FPS"}};
    for (const auto& report : reports) {
        SceneProbe::fpsCB(report.fps, manager, nullptr);
        EXPECT_EQ(report.text, manager->frameRateText());
        EXPECT_EQ(report.fps, manager->m_ViewerFps);
    }
    EXPECT_FALSE(manager->isPerformanceVisible()) << "the text updates while hidden";
}

TEST_F(SceneManagerTest, RateFromSeventyOnKeepsTheCounterRate) {
    manager->createSceneGraph(camera);
    manager->m_Fps = 123.456f; // without a viewer nothing measures: the last rate stays
    SceneProbe::fpsCB(70.0f, manager, nullptr);
    EXPECT_EQ("123.46 FPS", manager->frameRateText());
    EXPECT_EQ(0.0, manager->m_LastCounter);
}

// --- the scene-context listener -----------------------------------------------------------------

struct ContextCalls {
    int count = 0;
    OivBaseSceneManager* manager = nullptr;
    static void record(void* data, OivBaseSceneManager* manager) {
        ContextCalls* calls = static_cast<ContextCalls*>(data);
        ++calls->count;
        calls->manager = manager;
    }
};

TEST_F(SceneManagerTest, SceneContextChangeReachesOnlyTheCurrentListener) {
    manager->sceneContextChanged(); // no listener yet
    ContextCalls first, second;

    manager->setSceneContextChangeCallback(&ContextCalls::record, &first);
    manager->sceneContextChanged();
    manager->setSceneContextChangeCallback(&ContextCalls::record, &second);
    manager->sceneContextChanged();
    manager->setSceneContextChangeCallback(nullptr, &second);
    manager->sceneContextChanged();

    EXPECT_EQ(1, first.count);
    EXPECT_EQ(manager, first.manager);
    EXPECT_EQ(1, second.count);
}

// --- picking through the overlay ----------------------------------------------------------------

// Every node that a grid of ray picks over the viewport hits, nearest or not.
std::vector<SoNode*> pickGrid(SoNode* root, const SbViewportRegion& viewport) {
    std::vector<SoNode*> hits;
    const SbVec2s size = viewport.getViewportSizePixels();
    for (int y = 2; y < size[1]; y += 4) {
        for (int x = 2; x < size[0]; x += 4) {
            SoRayPickAction pick(viewport);
            pick.setPoint(SbVec2s(static_cast<short>(x), static_cast<short>(y)));
            pick.setRadius(2);
            pick.setPickAll(TRUE);
            pick.apply(root);
            const SoPickedPointList& points = pick.getPickedPointList();
            for (int i = 0; i < points.getLength(); ++i)
                hits.push_back(points[i]->getPath()->getTail());
        }
    }
    return hits;
}

int countOf(const std::vector<SoNode*>& hits, const SoNode* node) {
    return static_cast<int>(std::count(hits.begin(), hits.end(), node));
}

TEST_F(SceneManagerTest, PicksThroughTheOverlayNeverReturnItsTexts) {
    SoSeparator* root = manager->createSceneGraph(camera);
    SoCube* content = new SoCube;
    content->width = content->height = 100.0f;
    manager->getProtectedRoot3D()->addChild(content);
    const SbViewportRegion viewport(160, 120);
    camera->position.setValue(0, 0, 60); // the cube fills the view
    camera->nearDistance = 1.0f;
    camera->farDistance = 200.0f;
    manager->setMessage("MESSAGE MESSAGE MESSAGE");
    manager->setMessageVisible(true);
    SceneProbe::fpsCB(30.0f, manager, nullptr);
    manager->setPerformanceVisible(true);

    const std::vector<SoNode*> hits = pickGrid(root, viewport);
    EXPECT_GT(countOf(hits, content), 0);
    EXPECT_EQ(0, countOf(hits, manager->m_MessageText));
    EXPECT_EQ(0, countOf(hits, manager->m_PerformanceText));

    // The same grid does reach the texts once the pick styles allow it, so the above can fail.
    for (int i : {0, 3})
        static_cast<SoPickStyle*>(manager->getProtectedRootOverlay()->getChild(i))
            ->style.setValue(SoPickStyle::SHAPE);
    const std::vector<SoNode*> pickableHits = pickGrid(root, viewport);
    EXPECT_GT(countOf(pickableHits, manager->m_MessageText) +
                  countOf(pickableHits, manager->m_PerformanceText),
              0);
}

} // namespace

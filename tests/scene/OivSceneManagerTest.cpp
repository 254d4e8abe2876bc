// The canvas's scene manager without a viewer: what it adds to the layout, the global Z scale and
// its effect on the host's content, and the sticky cursor's settings. SceneManagerViewerTest.cpp
// covers the manager bound to an examiner viewer.
#include "ExtendedSceneProbe.h"
#include "OivWinTav.h"
#include "tav/OivCompass.h"
#include "tav/OivGlobalZScale.h"
#include "tav/OivStickyCursor.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

namespace {

static_assert(!std::is_copy_constructible_v<OivSceneManager> &&
                  !std::is_copy_assignable_v<OivSceneManager>,
              "copies would release the shared nodes twice");

SoGroup* asGroup(SoNode* node) {
    return node && node->isOfType(SoGroup::getClassTypeId()) ? static_cast<SoGroup*>(node)
                                                             : nullptr;
}

// Counts the scene-context reports of one manager.
struct ContextListener {
    int reports = 0;
    static void changedCB(void* data, OivBaseSceneManager*) {
        ++static_cast<ContextListener*>(data)->reports;
    }
};

class SceneManagerLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera = new SoPerspectiveCamera;
        camera->ref();
        manager = new ExtendedSceneProbe;
        manager->setSceneContextChangeCallback(ContextListener::changedCB, &listener);
    }
    void TearDown() override {
        delete manager;
        camera->unref();
    }

    void build() { ASSERT_EQ(manager->getSceneRoot(), manager->createSceneGraph(camera)); }

    // Every path from the scene root to a node of `type`, behind hidden switch children too.
    const SoPathList& everyPathTo(SoType type) {
        search.reset();
        search.setType(type);
        search.setInterest(SoSearchAction::ALL);
        search.setSearchingAll(TRUE);
        search.apply(manager->getSceneRoot());
        return search.getPaths();
    }

    SoPerspectiveCamera* camera = nullptr;
    ExtendedSceneProbe* manager = nullptr;
    ContextListener listener;
    SoSearchAction search;
};

// --- construction and layout --------------------------------------------------------------------

TEST_F(SceneManagerLayoutTest, FreshManagerHasUnitScaleNoCursorAndNothingInAGraph) {
    EXPECT_EQ(1.0f, manager->getGlobalZScale());
    EXPECT_TRUE(manager->getGlobalScale()->scaleFactor.getValue() == SbVec3f(1, 1, 1));
    EXPECT_TRUE(manager->getGlobalUnScale()->scaleFactor.getValue() == SbVec3f(1, 1, 1));
    EXPECT_EQ(OivGlobalZScale::getClassTypeId(), manager->getGlobalScale()->getTypeId());
    EXPECT_EQ(SoScale::getClassTypeId(), manager->getGlobalUnScale()->getTypeId());
    EXPECT_FALSE(manager->isStickyCursorEnabled());
    EXPECT_FALSE(manager->isStickyCursorShown());
    EXPECT_EQ(0, manager->getSceneRoot()->getNumChildren());
    EXPECT_EQ(0, manager->getRoot3D()->getNumChildren());
}

TEST_F(SceneManagerLayoutTest, HostRootSitsBehindTheScaleAndTheCursorAfterItInMain3DRoot) {
    build();
    SoSeparator* main3D = manager->getProtectedRoot3D();
    ASSERT_EQ(2, main3D->getNumChildren());

    SoGroup* scaled = asGroup(main3D->getChild(0));
    ASSERT_NE(nullptr, scaled);
    EXPECT_EQ(SoSeparator::getClassTypeId(), scaled->getTypeId());
    ASSERT_EQ(2, scaled->getNumChildren());
    EXPECT_EQ(manager->getGlobalScale(), scaled->getChild(0));
    EXPECT_EQ(manager->getRoot3D(), scaled->getChild(1));

    // The cursor branch: a separator holding the cursor's switch (after the node that lets the
    // cursor draw over the scene), whose only child is the cursor.
    SoGroup* cursorBranch = asGroup(main3D->getChild(1));
    ASSERT_NE(nullptr, cursorBranch);
    EXPECT_TRUE(cursorBranch->isOfType(SoSeparator::getClassTypeId()));
    EXPECT_EQ(0, cursorBranch->findChild(manager->m_StickyCursorSwitch));
    ASSERT_EQ(1, manager->m_StickyCursorSwitch->getNumChildren());
    EXPECT_EQ(manager->m_StickyCursor, manager->m_StickyCursorSwitch->getChild(0));
    EXPECT_FALSE(manager->isStickyCursorShown());
}

TEST_F(SceneManagerLayoutTest, CompassAndGiroFollowTheSecondPickStyleHiddenAndPlaced) {
    build();
    SoSeparator* overlay = manager->getProtectedRootOverlay();
    ASSERT_EQ(7, overlay->getNumChildren()); // the cursor read-out last
    EXPECT_TRUE(overlay->getChild(3)->isOfType(SoPickStyle::getClassTypeId()));

    SoSwitch* compassSwitch = static_cast<SoSwitch*>(overlay->getChild(4));
    SoSwitch* giroSwitch = static_cast<SoSwitch*>(overlay->getChild(5));
    ASSERT_EQ(SoSwitch::getClassTypeId(), compassSwitch->getTypeId());
    ASSERT_EQ(SoSwitch::getClassTypeId(), giroSwitch->getTypeId());
    ASSERT_EQ(1, compassSwitch->getNumChildren());
    ASSERT_EQ(1, giroSwitch->getNumChildren());
    EXPECT_EQ(manager->getCompass(), compassSwitch->getChild(0));
    EXPECT_EQ(manager->getHorizonGiro(), giroSwitch->getChild(0));
    EXPECT_EQ(SO_SWITCH_NONE, compassSwitch->whichChild.getValue());
    EXPECT_EQ(SO_SWITCH_NONE, giroSwitch->whichChild.getValue());
    EXPECT_FALSE(manager->isCompassVisible());
    EXPECT_FALSE(manager->isHorizonGiroVisible());

    OivCompass* compass = manager->getCompass();
    EXPECT_EQ(OivCompass::ROSE, compass->type.getValue());
    EXPECT_EQ(4, compass->horizontalPosition.getValue());
    EXPECT_EQ(3, compass->verticalPosition.getValue());
    OivCompass* giro = manager->getHorizonGiro();
    EXPECT_EQ(2, giro->type.getValue());
    EXPECT_EQ(1, giro->horizontalPosition.getValue());
    EXPECT_EQ(3, giro->verticalPosition.getValue());
    // No viewer yet: the instruments have no camera to show.
    EXPECT_EQ(nullptr, compass->getViewer());
    EXPECT_EQ(nullptr, giro->getViewer());
}

TEST_F(SceneManagerLayoutTest, WithoutAViewerNothingIsBuiltAndTheCursorStaysHidden) {
    manager->setViewer(nullptr, false);
    EXPECT_EQ(0, manager->getSceneRoot()->getNumChildren());
    manager->enableStickyCursor(true);
    EXPECT_TRUE(manager->isStickyCursorEnabled());
    EXPECT_FALSE(manager->isStickyCursorShown());
    manager->onViewmodeChange();
    EXPECT_FALSE(manager->isStickyCursorShown());
    manager->setMousePosition(10, 10); // a cursor never drawn has nothing to pick with
    EXPECT_FALSE(manager->m_StickyCursor->isOnSurface());
    OivSceneManager::systemMouseEventCB(manager, nullptr);
}

// --- global Z scale -----------------------------------------------------------------------------

TEST_F(SceneManagerLayoutTest, ZScaleSetsBothScalesAndReportsOnlyRealChanges) {
    manager->setGlobalZScale(1.0f);
    EXPECT_EQ(0, listener.reports) << "the current scale is no change";

    manager->setGlobalZScale(2.0f);
    EXPECT_EQ(2.0f, manager->getGlobalZScale());
    EXPECT_TRUE(manager->getGlobalScale()->scaleFactor.getValue() == SbVec3f(1, 1, 2));
    EXPECT_TRUE(manager->getGlobalUnScale()->scaleFactor.getValue() == SbVec3f(1, 1, 0.5f));
    EXPECT_EQ(1, listener.reports);

    manager->setGlobalZScale(2.0f);
    EXPECT_EQ(1, listener.reports);

    manager->setGlobalZScale(0.25f);
    EXPECT_TRUE(manager->getGlobalUnScale()->scaleFactor.getValue() == SbVec3f(1, 1, 4));
    EXPECT_EQ(2, listener.reports);
}

TEST_F(SceneManagerLayoutTest, ZScaleWithoutAFiniteInverseChangesNothingAndReportsNothing) {
    manager->setGlobalZScale(2.0f);
    listener.reports = 0;
    const float refused[] = {0.0f,
                             -0.0f,
                             std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::denorm_min()};
    for (float z : refused) {
        manager->setGlobalZScale(z);
        EXPECT_EQ(2.0f, manager->getGlobalZScale()) << z;
        EXPECT_TRUE(manager->getGlobalScale()->scaleFactor.getValue() == SbVec3f(1, 1, 2)) << z;
        EXPECT_TRUE(manager->getGlobalUnScale()->scaleFactor.getValue() == SbVec3f(1, 1, 0.5f))
            << z;
    }
    EXPECT_EQ(0, listener.reports);
}

// A unit cube of the host centred at (0, 0, 1): its top face lies at z = 1.5.
SoSeparator* hostBlock() {
    SoSeparator* block = new SoSeparator;
    SoTranslation* lift = new SoTranslation;
    lift->translation.setValue(0.0f, 0.0f, 1.0f);
    block->addChild(lift);
    SoCube* cube = new SoCube;
    cube->width = cube->height = cube->depth = 1.0f;
    block->addChild(cube);
    return block;
}

// Where a ray straight down through (0, 0) meets the scene first, in world space.
bool pickDown(SoNode* root, SbVec3f& point) {
    SoRayPickAction pick(SbViewportRegion(100, 100));
    pick.setRay(SbVec3f(0.0f, 0.0f, 100.0f), SbVec3f(0.0f, 0.0f, -1.0f));
    pick.apply(root);
    const SoPickedPoint* picked = pick.getPickedPoint();
    if (picked)
        point = picked->getPoint();
    return picked != nullptr;
}

TEST_F(SceneManagerLayoutTest, HostContentIsPickedAndBoundedAtItsScaledHeight) {
    build();
    manager->getRoot3D()->addChild(hostBlock());
    SbVec3f top;
    ASSERT_TRUE(pickDown(manager->getSceneRoot(), top));
    EXPECT_NEAR(1.5f, top[2], 1e-5f);

    manager->setGlobalZScale(2.0f);
    ASSERT_TRUE(pickDown(manager->getSceneRoot(), top));
    EXPECT_NEAR(3.0f, top[2], 1e-5f);

    SoGetBoundingBoxAction bounds(SbViewportRegion(100, 100));
    bounds.apply(manager->getProtectedRoot3D());
    EXPECT_NEAR(1.0f, bounds.getBoundingBox().getMin()[2], 1e-5f);
    EXPECT_NEAR(3.0f, bounds.getBoundingBox().getMax()[2], 1e-5f);
}

TEST_F(SceneManagerLayoutTest, UnScaleBelowTheHostRootKeepsContentAtItsOwnHeight) {
    build();
    SoSeparator* unstretched = new SoSeparator;
    unstretched->addChild(manager->getGlobalUnScale());
    unstretched->addChild(hostBlock());
    manager->getRoot3D()->addChild(unstretched);

    manager->setGlobalZScale(4.0f);
    SbVec3f top;
    ASSERT_TRUE(pickDown(manager->getSceneRoot(), top));
    EXPECT_NEAR(1.5f, top[2], 1e-5f);
}

// --- building twice, or with nothing to build around --------------------------------------------

// Every point a ray straight down through (0, 0) meets, so that a branch in the graph twice shows.
int hitsDown(SoNode* root) {
    SoRayPickAction pick(SbViewportRegion(100, 100));
    pick.setRay(SbVec3f(0.0f, 0.0f, 100.0f), SbVec3f(0.0f, 0.0f, -1.0f));
    pick.setPickAll(TRUE);
    pick.apply(root);
    return pick.getPickedPointList().getLength();
}

TEST_F(SceneManagerLayoutTest, NullCameraBuildsNothingAndASecondBuildReplacesTheFirst) {
    EXPECT_EQ(manager->getSceneRoot(), manager->createSceneGraph(nullptr));
    EXPECT_EQ(0, manager->getSceneRoot()->getNumChildren());

    build();
    manager->getRoot3D()->addChild(hostBlock());
    ASSERT_EQ(2, hitsDown(manager->getSceneRoot())) << "top and bottom face of the block";
    const int branches = manager->getSceneRoot()->getNumChildren();
    EXPECT_EQ(manager->getSceneRoot(), manager->createSceneGraph(nullptr));
    EXPECT_EQ(branches, manager->getSceneRoot()->getNumChildren());

    // Around a new camera: the host's content once, under the new camera only.
    SoPerspectiveCamera* second = new SoPerspectiveCamera;
    second->ref();
    manager->createSceneGraph(second);
    EXPECT_EQ(branches, manager->getSceneRoot()->getNumChildren());
    EXPECT_EQ(2, hitsDown(manager->getSceneRoot()));
    const SoPathList& cameras = everyPathTo(SoPerspectiveCamera::getClassTypeId());
    ASSERT_EQ(1, cameras.getLength());
    EXPECT_EQ(second, cameras[0]->getTail());
    // The compass, the giro and the cursor are in the graph once each, shown or not.
    EXPECT_EQ(2, everyPathTo(OivCompass::getClassTypeId()).getLength());
    EXPECT_EQ(1, everyPathTo(OivStickyCursor::getClassTypeId()).getLength());
    second->unref();
}

// --- sticky cursor settings ---------------------------------------------------------------------

TEST_F(SceneManagerLayoutTest, NormalOrientationChoosesTheArrowAndUprightTheCross) {
    manager->setStickyCursorNormalOrientation(true);
    EXPECT_TRUE(manager->isStickyCursorNormalOriented());
    EXPECT_EQ(0, manager->m_StickyCursor->getPredefinedShape());

    manager->setStickyCursorNormalOrientation(false);
    EXPECT_FALSE(manager->isStickyCursorNormalOriented());
    EXPECT_EQ(1, manager->m_StickyCursor->getPredefinedShape());
}

} // namespace

// The global Z scale stretches what follows it along Z for bounding boxes, matrices and picks.
#include "support/RenderedImage.h"
#include "tav/OivGlobalZScale.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class GlobalZScale : public ::testing::Test {
protected:
    void SetUp() override {
        m_Root = new SoSeparator;
        m_Root->ref();
        m_Scale = new OivGlobalZScale;
        m_Root->addChild(m_Scale);
        m_Root->addChild(new SoCube); // from -1 to 1 on every axis
    }
    void TearDown() override { m_Root->unref(); }

    float zExtent() const {
        SoGetBoundingBoxAction action(m_Viewport);
        action.apply(m_Root);
        float dx, dy, dz;
        action.getBoundingBox().getSize(dx, dy, dz);
        return dz;
    }
    // Where a ray straight down the Z axis from high above meets the cube's top.
    float pickedTop() const {
        SoRayPickAction action(m_Viewport);
        action.setRay(SbVec3f(0.25f, 0.25f, 100.0f), SbVec3f(0.0f, 0.0f, -1.0f));
        action.apply(m_Root);
        const SoPickedPoint* point = action.getPickedPoint();
        return point ? point->getPoint()[2] : -1.0e9f;
    }

    SbViewportRegion m_Viewport{100, 100};
    SoSeparator* m_Root = nullptr;
    OivGlobalZScale* m_Scale = nullptr;
};

TEST_F(GlobalZScale, DefaultScalesNothing) {
    EXPECT_EQ(m_Scale->scaleFactor.getValue(), SbVec3f(1.0f, 1.0f, 1.0f));
    EXPECT_FLOAT_EQ(zExtent(), 2.0f);
    EXPECT_FLOAT_EQ(pickedTop(), 1.0f);
}

TEST_F(GlobalZScale, ZFactorStretchesBoundingBoxMatrixAndPick) {
    m_Scale->scaleFactor.setValue(1.0f, 1.0f, 2.0f);
    EXPECT_FLOAT_EQ(zExtent(), 4.0f);
    EXPECT_NEAR(pickedTop(), 2.0f, 1.0e-5f);

    SoGetMatrixAction matrix(m_Viewport);
    SoPath* path = new SoPath(m_Root);
    path->ref();
    path->append(1);
    matrix.apply(path);
    SbVec3f top;
    matrix.getMatrix().multVecMatrix(SbVec3f(0.0f, 0.0f, 1.0f), top);
    EXPECT_EQ(top, SbVec3f(0.0f, 0.0f, 2.0f));
    path->unref();
}

// A host or an engine can set such factors; like the scene manager, the node refuses what it cannot
// undo.
TEST_F(GlobalZScale, FactorThatCannotBeUndoneScalesNothing) {
    for (float z : {NAN, INFINITY, -INFINITY, 0.0f, 1.0e-39f}) {
        m_Scale->scaleFactor.setValue(1.0f, 1.0f, z);
        EXPECT_FALSE(m_Scale->isUsable()) << z;
        EXPECT_FLOAT_EQ(zExtent(), 2.0f) << z;
        EXPECT_FLOAT_EQ(pickedTop(), 1.0f) << z;
        SoGetMatrixAction matrix(m_Viewport);
        matrix.apply(m_Scale);
        EXPECT_EQ(matrix.getMatrix(), SbMatrix::identity()) << z;
        EXPECT_EQ(matrix.getInverse(), SbMatrix::identity()) << z;
    }
}

TEST_F(GlobalZScale, ScalesOnlyWhatFollowsInItsSeparator) {
    m_Scale->scaleFactor.setValue(1.0f, 1.0f, 3.0f);
    SoSeparator* outer = new SoSeparator;
    outer->ref();
    outer->addChild(m_Root);
    SoTranslation* aside = new SoTranslation;
    aside->translation.setValue(10.0f, 0.0f, 0.0f);
    outer->addChild(aside);
    outer->addChild(new SoCube);
    SoGetBoundingBoxAction action(m_Viewport);
    action.apply(outer);
    EXPECT_FLOAT_EQ(action.getBoundingBox().getMax()[2], 3.0f);
    EXPECT_FLOAT_EQ(action.getBoundingBox().getMin()[2], -3.0f);
    outer->unref();
}

} // namespace

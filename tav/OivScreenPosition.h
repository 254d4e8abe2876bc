// Anchors what follows it to a place of the viewport, whatever the viewport's size and whatever
// the camera. Like a transformation node, it moves the origin of everything after it in its
// separator (and of its own children) to the anchored place: a following SoText2 is drawn there,
// with its own justification. The place lies just behind the camera's near plane, so overlay
// text is not hidden by the scene drawn before it.
//
// Each axis has an anchor and a margin:
//   horizontally: LEFT (x = margin from the left edge), RIGHT (x = margin from the right edge),
//                 CENTER (x = centre + margin, to the right); TOP and BOTTOM mean CENTER here;
//   vertically:   BOTTOM (y = margin above the bottom edge), TOP (y = margin below the top edge),
//                 CENTER (y = centre + margin, upwards); LEFT and RIGHT mean CENTER here.
//   The margin is a FRACTION of the viewport's width (height) or a number of PIXELS.
// For a text, the vertical place is its baseline: a top margin must leave room for the font.
//
// File format and defaults (the lower left corner):
//   OivScreenPosition {
//     horizontalAnchor     LEFT
//     horizontalMarginType PIXELS
//     horizontalMargin     0
//     verticalAnchor       BOTTOM
//     verticalMarginType   PIXELS
//     verticalMargin       0
//   }
#ifndef OIVWINTAV_OIVSCREENPOSITION_H
#define OIVWINTAV_OIVSCREENPOSITION_H

#include <Inventor/SbVec2f.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/fields/SoSFEnum.h>
#include <Inventor/fields/SoSFFloat.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoSubNode.h>

class SbViewportRegion;

class OivScreenPosition : public SoGroup {
    typedef SoGroup inherited;
    SO_NODE_HEADER(OivScreenPosition);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    OivScreenPosition(void);

    enum AnchorType { TOP = 0, BOTTOM = 1, LEFT = 2, RIGHT = 3, CENTER = 4 };
    enum MarginType { FRACTION = 0, PIXELS = 1 };

    SoSFEnum horizontalAnchor;
    SoSFEnum horizontalMarginType;
    SoSFFloat horizontalMargin;
    SoSFEnum verticalAnchor;
    SoSFEnum verticalMarginType;
    SoSFFloat verticalMargin;

    // Sets the anchor, the kind of margin and the margin of one direction at once.
    void setHorizontalPosition(AnchorType anchor, MarginType marginType, float margin);
    void setVerticalPosition(AnchorType anchor, MarginType marginType, float margin);

    // The anchored place in pixels of the given viewport, from its lower left corner.
    SbVec2f getPixelPosition(const SbViewportRegion& viewport) const;

    // Each action moves what follows to the anchored place, as the class comment describes.
    virtual void doAction(SoAction* action);
    virtual void GLRender(SoGLRenderAction* action);
    virtual void getBoundingBox(SoGetBoundingBoxAction* action);
    virtual void callback(SoCallbackAction* action);
    virtual void pick(SoPickAction* action);
    virtual void getMatrix(SoGetMatrixAction* action);

protected:
    virtual ~OivScreenPosition();

private:
    // Moves the current origin to the anchored place; false when the action's state knows no
    // viewport or view volume (then nothing moves).
    bool anchor(SoAction* action, SbVec3f& translation) const;
};

#endif // OIVWINTAV_OIVSCREENPOSITION_H

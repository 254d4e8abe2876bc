// An overlay instrument showing the orientation of a viewer's camera: a compass rose (or a north
// arrow) that turns with the camera's heading, north being world +Y and east +X, or an artificial
// horizon (the horizon giro) whose horizon line tilts with the camera's roll and moves with its
// pitch. It reads the camera from the viewer each time it is drawn, so it is right in every frame
// the viewer draws; without a viewer (or before the viewer has a camera) it draws nothing.
//
// It draws in pixels of the viewport, whatever camera is in force, on top of what was drawn
// before (no depth test), in a corner or at the middle of an edge chosen by setPosition. It
// contributes nothing to bounding boxes and picks. Children added to the separator are drawn
// after the instrument, as in any separator.
//
// Positions: the first argument places it horizontally (LEFT, RIGHT or CENTER), the second
// vertically (BOTTOM, TOP or CENTER); a value of the other axis means CENTER. The instrument keeps
// kEdgeMargin pixels from the edges, and kTopMargin from the top edge, leaving room for the line
// of text that overlays put there. A type that is none of the three draws nothing.
//
// File format and defaults:
//   OivCompass {
//     type               ROSE     # ROSE NORTH_ARROW HORIZON_GIRO
//     horizontalPosition RIGHT    # CENTER LEFT BOTTOM TOP RIGHT
//     verticalPosition   TOP
//   }
#ifndef OIVWINTAV_OIVCOMPASS_H
#define OIVWINTAV_OIVCOMPASS_H

#include "tav/OivViewerWatch.h"

#include <Inventor/fields/SoSFEnum.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSubNode.h>
#include <windows.h>

struct OivAttitude;
class SbViewportRegion;
class SoCoordinate3;
class SoOrthographicCamera;
class SoRotation;
class SoScale;
class SoSwitch;
class SoTranslation;
class SoWinViewer;

class OivCompass : public SoSeparator {
    typedef SoSeparator inherited;
    SO_NODE_HEADER(OivCompass);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    OivCompass(void);

    enum ScreenPosition { CENTER = 0, LEFT = 1, BOTTOM = 2, TOP = 3, RIGHT = 4 };
    enum CompassType {
        ROSE = 0,        // a rose with a red north needle, turning with the heading
        NORTH_ARROW = 1, // a single red arrow pointing north, turning with the heading
        HORIZON_GIRO = 2 // sky and ground split by the horizon, tilted by roll, moved by pitch
    };

    static constexpr int kEdgeMargin = 10;
    static constexpr int kTopMargin = 30;
    // Radius in pixels: kSizeFraction of the smaller viewport side, within these limits.
    static constexpr float kSizeFraction = 0.15f;
    static constexpr float kMinRadius = 16.0f;
    static constexpr float kMaxRadius = 40.0f;

    SoSFEnum type;
    SoSFEnum horizontalPosition;
    SoSFEnum verticalPosition;

    // Shorthands that set the position fields and the type field.
    void setPosition(ScreenPosition horizontal, ScreenPosition vertical);
    void setType(CompassType compassType);
    // The viewer whose camera is shown. When the viewer is deleted the compass lets go of it
    // by itself: getViewer gives null and the compass draws nothing.
    void setViewer(SoWinViewer* viewer);
    SoWinViewer* getViewer(void) const;

    // Centre and radius of the instrument in pixels of the viewport, from its lower left corner.
    void getPlacement(const SbViewportRegion& viewport, float& centerX, float& centerY,
                      float& radius) const;

    // Coin renders separators through these two; both draw the instrument, then the children.
    virtual void GLRenderBelowPath(SoGLRenderAction* action);
    virtual void GLRenderInPath(SoGLRenderAction* action);

protected:
    virtual ~OivCompass();

private:
    OivCompass(const OivCompass&) = delete;
    OivCompass& operator=(const OivCompass&) = delete;

    void buildInstrument(void);
    void drawInstrument(SoGLRenderAction* action);
    void updateInstrument(const SbViewportRegion& viewport, const OivAttitude& attitude);
    void updateGround(float horizonHeight);

    OivViewerWatch m_Viewer;
    // Drawn by GLRender; not a child, so it is neither written to files nor seen by other
    // actions, and editing it while drawing notifies no one.
    SoSeparator* m_Instrument;
    SoOrthographicCamera* m_PixelCamera;
    SoTranslation* m_Center;
    SoScale* m_Size;
    SoSwitch* m_Kind;
    SoRotation* m_Heading;
    SoRotation* m_Roll;
    SoCoordinate3* m_Ground;
    SoCoordinate3* m_Horizon;
};

#endif // OIVWINTAV_OIVCOMPASS_H

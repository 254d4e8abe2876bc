// Camera alignment for a canvas: turns a camera to one of six compass views around its focal
// point, and keeps the camera on the same geometry when the scene's vertical exaggeration changes.
// World axes read as X east, Y north, Z up.
#ifndef OIVWINTAV_OIVCAMERACONTROL_H
#define OIVWINTAV_OIVCAMERACONTROL_H

class SoCamera;
class SoMFString;

class OivCameraControl {
public:
    // The compass view applied by alignCamera; values outside 1 to 5 behave as ABOVE.
    enum Direction : int {
        ABOVE = 0, // looking down, north up
        BELOW = 1, // looking up, north up
        WEST = 2,  // looking east, Z up
        EAST = 3,  // looking west, Z up
        SOUTH = 4, // looking north, Z up
        NORTH = 5  // looking south, Z up
    };

    // As a view axis: the side of the focal point the camera is placed on (it looks the other
    // way). As an up axis: the world direction that becomes screen-up.
    enum WhichAxis : int {
        POSITIVE_X = 0,
        NEGATIVE_X = 1,
        POSITIVE_Y = 2,
        NEGATIVE_Y = 3,
        POSITIVE_Z = 4,
        NEGATIVE_Z = 5
    };

    // Keeps focus and looks from ABOVE.
    OivCameraControl();
    ~OivCameraControl();

    // The compass direction (or ABOVE) the camera looks from after an alignment.
    void setDirection(Direction dir);
    Direction getDirection() const;

    // Whether a caller should keep the current zoom after an alignment (true) or frame the whole
    // scene again (false). The control only stores the choice.
    void enableKeepFocus(bool keepFocus);
    bool isKeepingFocus() const;

    // Always null: callers supply their own labels in Direction order.
    const SoMFString* getDirectionLabels() const;

    // Turns the camera to the stored direction. A null camera is ignored.
    void alignCamera(SoCamera* camera);

    // Turns the camera to look from `dir`; a null camera is ignored.
    static void alignCameraToDirection(SoCamera* camera, Direction dir);

    // Gives the camera the absolute orientation that looks along -viewAxis with upAxis as
    // screen-up, keeping its focal point and focal distance. A pair on one world axis, or a value
    // outside the enumeration, keeps the orientation. A null camera is ignored.
    static void alignCameraToAxis(SoCamera* camera, WhichAxis viewAxis, WhichAxis upAxis);

    // Moves the camera so that its focal point follows the geometry when the global Z scale
    // changes from oldScale to newScale; the orientation and focal distance stay. A null camera,
    // an oldScale of 0 or a scale that is not finite leaves the camera as it was.
    static void setCameraWithGlobalScales(SoCamera* camera, float oldScale, float newScale);

protected:
    // The axis pair of the Direction table; values outside 1 to 5 give POSITIVE_Z, POSITIVE_Y.
    static void DirectionToAxis(Direction dir, WhichAxis& viewAxis, WhichAxis& upAxis);

private:
    bool m_KeepFocus;
    Direction m_Direction;
};

#endif // OIVWINTAV_OIVCAMERACONTROL_H

// The tracking compass of a curve viewer: a three-axis marker (X red, Y green, Z blue) at the
// tracking point, unpickable, whose arms reach between 20 and 100 world units whatever the view.
// It starts hidden at the origin, in no scene.
//
// Not copyable: a copy would share the nodes and the place in a scene.
#ifndef OIVWINTAV_OIVTRACKINGCOMPASS_H
#define OIVWINTAV_OIVTRACKINGCOMPASS_H

#include <Inventor/SbVec3f.h>

class SoCamera;
class SoGroup;
class SoNode;
class SoScale;
class SoSeparator;
class SoSwitch;
class SoTranslation;

class OivTrackingCompass {
public:
    // Builds the compass under `root`, an empty separator whose kind says how the compass is
    // drawn, and holds a reference on it and on the geometry.
    explicit OivTrackingCompass(SoSeparator* root);
    // Takes the compass out of the group it is in.
    ~OivTrackingCompass();

    OivTrackingCompass(const OivTrackingCompass&) = delete;
    OivTrackingCompass& operator=(const OivTrackingCompass&) = delete;

    // Shows or hides the compass.
    void setVisible(bool visible);
    // Puts the compass's centre at `point` (world space).
    void moveTo(const SbVec3f& point);
    // Sizes the compass at `point` so that a half axis covers `objectScale` of `camera`'s view,
    // held between 20 and 100 world units.
    void scaleFor(const SoCamera& camera, const SbVec3f& point, float objectScale);

    // Moves the compass into `parent` (referenced while it holds the compass) as child `index`,
    // or at its end when `index` is negative or past the last child; a null parent only takes
    // it out of the group it was in.
    void placeIn(SoGroup* parent, int index);

    // The axes geometry, without the compass's placement and colour.
    SoNode* getGeometry(void) const { return m_Geometry; }

private:
    static SoNode* buildGeometry(void);

    SoSeparator* m_Root;
    SoTranslation* m_Translation;
    SoScale* m_Scale;
    SoSwitch* m_Switch;
    SoNode* m_Geometry;
    // The group that holds the compass, or null.
    SoGroup* m_Parent;
};

#endif // OIVWINTAV_OIVTRACKINGCOMPASS_H

// A separator whose children are drawn over everything else of the frame: after the whole scene,
// translucent shapes included (which a sorting or delaying transparency type draws last), over a
// cleared depth buffer. Its own children still hide each other by depth, so a 3D instrument or
// cursor keeps its shape. The scene managers draw the overlay, the UI3D branch and the sticky
// cursor this way, the curve viewer its tracking compass; a pick, a bounding box or a search sees
// an ordinary separator. With depth peeling (SORTED_LAYERS_BLEND), which draws nothing after the
// layers, it draws where it stands.
//
// File format and defaults (a separator's):
//   OivOnTopSeparator {
//     renderCaching AUTO
//     boundingBoxCaching AUTO
//     renderCulling AUTO
//     pickCulling AUTO
//   }
#ifndef OIVWINTAV_OIVONTOPSEPARATOR_H
#define OIVWINTAV_OIVONTOPSEPARATOR_H

#include <Inventor/nodes/SoAnnotation.h>
#include <Inventor/nodes/SoSubNode.h>

class OivOnTopSeparator : public SoAnnotation {
    typedef SoAnnotation inherited;
    SO_NODE_HEADER(OivOnTopSeparator);

public:
    // Registers the class with Coin; the constructor calls it, so calling it is optional.
    static void initClass(void);
    OivOnTopSeparator(void);

    // Leaves the children to the pass after the scene and draws them there, over a cleared
    // depth buffer; with depth peeling, draws them at once.
    virtual void GLRenderBelowPath(SoGLRenderAction* action);
    // The same, for a traversal along a path through the node.
    virtual void GLRenderInPath(SoGLRenderAction* action);

protected:
    virtual ~OivOnTopSeparator();

private:
    // Whether this traversal leaves the children to the pass after the scene; when that pass has
    // come, it also readies the depth buffer for them.
    static bool isDeferred(SoGLRenderAction* action);
    static void clearDepth(SoGLRenderAction* action);
};

#endif // OIVWINTAV_OIVONTOPSEPARATOR_H

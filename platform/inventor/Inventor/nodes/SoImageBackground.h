// Background node that draws an image file behind the scene, placed as `style` says. The file is
// read with Coin's SbImage (every format simage knows: PNG, JPEG, GIF, TIFF, ...), relative
// names also through SoInput's search directories, and read again whenever `filename` changes.
// An empty name or a file that cannot be read draws nothing and reports nothing. Like the
// gradient, it draws where it stands, never writes depth and contributes nothing to other
// actions.
//
// File format and defaults:
//   SoImageBackground {
//     filename ""
//     style    STRETCH   # NONE CENTER LOWER_LEFT UPPER_LEFT UPPER_RIGHT LOWER_RIGHT STRETCH TILE
//   }
#ifndef OIVWINTAV_SOIMAGEBACKGROUND_H
#define OIVWINTAV_SOIMAGEBACKGROUND_H

#include <Inventor/SbImage.h>
#include <Inventor/fields/SoSFEnum.h>
#include <Inventor/fields/SoSFString.h>
#include <Inventor/nodes/SoNode.h>
#include <Inventor/nodes/SoSubNode.h>

class SoImageBackground : public SoNode {
    typedef SoNode inherited;
    SO_NODE_HEADER(SoImageBackground);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoImageBackground(void);

    enum Style {
        NONE = 0,        // draws nothing
        CENTER = 1,      // unscaled, centred in the viewport
        LOWER_LEFT = 2,  // unscaled, in the lower left corner
        UPPER_LEFT = 3,  // unscaled, in the upper left corner
        UPPER_RIGHT = 4, // unscaled, in the upper right corner
        LOWER_RIGHT = 5, // unscaled, in the lower right corner
        STRETCH = 6,     // scaled to fill the viewport exactly
        TILE = 7         // unscaled copies side by side from the upper left corner
    };

    SoSFString filename;
    SoSFEnum style;

    // True when `filename` names an image that could be read.
    SbBool hasImage(void);

    // Draws the image behind everything drawn later; a new `filename` is read at the next draw.
    virtual void GLRender(SoGLRenderAction* action);
    virtual void notify(SoNotList* list);

protected:
    virtual ~SoImageBackground();

private:
    void loadIfChanged(void);
    void drawAt(int x, int y) const;

    SbImage m_Image;
    SbString m_LoadedName; // the name m_Image was read from (or failed to be)
    bool m_FileChanged;    // filename was set since the last read, perhaps to the same name
};

#endif // OIVWINTAV_SOIMAGEBACKGROUND_H

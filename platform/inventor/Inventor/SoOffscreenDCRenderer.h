// Coin's off-screen renderer with the device context a Windows renderer has: after a successful
// render, getDC gives a memory device context of the screen's resolution (96 dots per inch) with
// the rendered image selected into it as a 24-bit bottom-up DIB section, so the picture can be
// copied anywhere with ordinary GDI calls (GetCurrentObject, GetObjectA, StretchDIBits). Before
// the first successful render getDC is null. The context and its bitmap belong to the renderer
// and are freed with it; a later render refreshes the same context.
//
//   SoOffscreenDCRenderer renderer(viewport);
//   if (renderer.render(scene))
//       BitBlt-like copies from renderer.getDC() ...
#ifndef OIVWINTAV_SOOFFSCREENDCRENDERER_H
#define OIVWINTAV_SOOFFSCREENDCRENDERER_H

#include <Inventor/SoOffscreenRenderer.h>
#include <windows.h>

class SoOffscreenDCRenderer : public SoOffscreenRenderer {
public:
    // A renderer of `viewportRegion`'s size whose picture is kept in a device context.
    explicit SoOffscreenDCRenderer(const SbViewportRegion& viewportRegion);
    ~SoOffscreenDCRenderer();
    SoOffscreenDCRenderer(const SoOffscreenDCRenderer&) = delete;
    SoOffscreenDCRenderer& operator=(const SoOffscreenDCRenderer&) = delete;

    // Render as Coin's renderer does, then copy the image into the device context. These hide
    // Coin's functions of the same name: call them through this class.
    SbBool render(SoNode* scene);
    SbBool render(SoPath* scene);
    HDC getDC(void) const { return m_DC; }

private:
    SbBool keepImage(SbBool rendered);
    bool prepareSection(int width, int height);
    void releaseDC(void);

    HDC m_DC;
    HBITMAP m_Section;
    HGDIOBJ m_Displaced; // the DC's own bitmap, put back before the DC is deleted
    BYTE* m_Bits;
    int m_Width, m_Height;
};

#endif // OIVWINTAV_SOOFFSCREENDCRENDERER_H

// What every window drawn with Dear ImGui has: its own ImGui context, sharing one font (DejaVu
// Sans sized for the screen's resolution, or ImGui's built-in font when that file is missing),
// the OpenGL 2 renderer, the window's mouse messages fed in, and a frame that fills the window.
#ifndef OIVWINTAV_SOWINIMGUICONTEXT_H
#define OIVWINTAV_SOWINIMGUICONTEXT_H

#include <windows.h>

#include <Inventor/SbVec2s.h>

struct ImGuiContext;

class SoWinImGuiContext {
public:
    // Where the font is looked for (Debian's fonts-dejavu-core).
    static constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

    SoWinImGuiContext();
    // Frees the renderer's font texture: the window's GL context must be current.
    ~SoWinImGuiContext();
    SoWinImGuiContext(const SoWinImGuiContext&) = delete;
    SoWinImGuiContext& operator=(const SoWinImGuiContext&) = delete;

    // The size in pixels the shared font is drawn at, for a screen of `dotsPerInch`.
    static float fontPixelsFor(int dotsPerInch);

    // Makes this context current and starts a frame of `size` pixels (the GL context of the
    // window must be current); the caller draws inside the one ImGui window that fills it.
    void beginFrame(const SbVec2s& size);
    // Ends the frame and draws it over the cleared window.
    void endFrame(const SbVec2s& size);

    // Takes in a mouse message; false for messages ImGui has no use for.
    bool feed(const MSG& msg);
    // Whether `message` presses a mouse button: a frame of its own and a few to settle follow.
    static bool isPress(UINT message);

    // Makes a window's ImGui context current for the lifetime of the object.
    class Scope {
    public:
        explicit Scope(const SoWinImGuiContext& context);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ImGuiContext* m_Previous;
    };

private:
    ImGuiContext* m_Context;
    bool m_RendererReady = false;
};

#endif // OIVWINTAV_SOWINIMGUICONTEXT_H

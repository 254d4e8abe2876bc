// A GL widget that shows a scene graph. It draws through Coin's SoSceneManager, redraws by
// itself when the scene changes (once per burst of changes, from Coin's delay queue, when the
// message loop runs), and turns the drawing window's mouse and keyboard messages into Coin
// events that it hands to the scene, after the application's event callback had its look.
#ifndef OIVWINTAV_SOWINRENDERAREA_H
#define OIVWINTAV_SOWINRENDERAREA_H

#include <Inventor/SbColor.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/Win/SoWinGLWidget.h>
#include <Inventor/actions/SoGLRenderAction.h>

class SoNode;
class SoSceneManager;
class SoEvent;

// The application's look at a drawing window's message; a non-zero result consumes it.
typedef SbBool SoWinRenderAreaEventCB(void* userData, MSG* msg);

class SoWinRenderArea : public SoWinGLWidget {
public:
    typedef SoWinGLWidget inherited;

    SoWinRenderArea(HWND parent = NULL, const char* name = NULL, SbBool embed = TRUE,
                    SbBool mouseInput = TRUE, SbBool keyboardInput = TRUE);
    virtual ~SoWinRenderArea();

    // The scene shown; the render area refs it while it holds it.
    virtual void setSceneGraph(SoNode* newScene);
    virtual SoNode* getSceneGraph(void);

    // Coin's scene manager that holds the scene graph, the GL render action (with the
    // drawing window's viewport region) and the background colour.
    SoSceneManager* getSceneManager(void) const;

    void setBackgroundColor(const SbColor& color);
    const SbColor& getBackgroundColor(void) const;

    void setTransparencyType(SoGLRenderAction::TransparencyType type);
    SoGLRenderAction::TransparencyType getTransparencyType(void) const;

    void setAntialiasing(SbBool smoothing, int numPasses);

    void setViewportRegion(const SbViewportRegion& region);
    const SbViewportRegion& getViewportRegion(void) const;

    void setGLRenderAction(SoGLRenderAction* action);
    SoGLRenderAction* getGLRenderAction(void) const;

    // Draws the scene now.
    void render(void);
    // Asks for a redraw from the message loop; several requests give one redraw.
    void scheduleRedraw(void);

    // Whether scene changes redraw by themselves (on by default). As with Coin's scene
    // manager, scheduleRedraw only has an effect while this is on.
    void setAutoRedraw(SbBool enable);
    SbBool isAutoRedraw(void) const;
    void setRedrawPriority(uint32_t priority);
    uint32_t getRedrawPriority(void) const;
    static uint32_t getDefaultRedrawPriority(void);

    void setClearBeforeRender(SbBool clear, SbBool zbuffer = TRUE);
    SbBool isClearBeforeRender(void) const;
    SbBool isClearZBufferBeforeRender(void) const;

    // The application's event callback: receives every mouse and keyboard message of the
    // drawing window first; a non-zero result keeps it from the scene. Null switches it off.
    void setEventCallback(SoWinRenderAreaEventCB* function, void* userData = NULL);
    // The application's event callback and its user data (an addition of this platform, so that
    // a caller can stand in front of it for a while and put it back).
    SoWinRenderAreaEventCB* getEventCallback(void** userData = NULL) const;

protected:
    // The form a subclass uses to build its widget later (build false).
    SoWinRenderArea(HWND parent, const char* name, SbBool embed, SbBool mouseInput,
                    SbBool keyboardInput, SbBool build);

    virtual void actualRedraw(void);
    virtual void processEvent(MSG* msg);
    virtual SbBool invokeAppCB(MSG* msg);
    virtual void drawingSizeChanged(const SbVec2s& size);

    // Turns a drawing window message into the Coin event it stands for (null for others). The
    // event is owned by the render area and valid until the next call.
    const SoEvent* translateEvent(MSG* msg);
    // Hands an event to the scene through the scene manager; true when a node handled it.
    SbBool processSoEvent(const SoEvent* event);

private:
    class Private;
    friend class Private;
    std::unique_ptr<Private> m_Private;
};

#endif // OIVWINTAV_SOWINRENDERAREA_H

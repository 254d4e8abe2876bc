#include <Inventor/Win/SoWinRenderArea.h>

#include <Inventor/SoSceneManager.h>
#include <Inventor/events/SoKeyboardEvent.h>
#include <Inventor/events/SoLocation2Event.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoNode.h>

namespace {

// Bit 29 of a key message's lParam: the Alt key was down.
constexpr LPARAM kAltDownFlag = LPARAM(1) << 29;

struct KeyMapping {
    WPARAM virtualKey;
    SoKeyboardEvent::Key key;
};

constexpr KeyMapping kKeyMappings[] = {
    {VK_SHIFT, SoKeyboardEvent::LEFT_SHIFT},  {VK_CONTROL, SoKeyboardEvent::LEFT_CONTROL},
    {VK_MENU, SoKeyboardEvent::LEFT_ALT},     {VK_BACK, SoKeyboardEvent::BACKSPACE},
    {VK_TAB, SoKeyboardEvent::TAB},           {VK_RETURN, SoKeyboardEvent::RETURN},
    {VK_ESCAPE, SoKeyboardEvent::ESCAPE},     {VK_SPACE, SoKeyboardEvent::SPACE},
    {VK_PRIOR, SoKeyboardEvent::PAGE_UP},     {VK_NEXT, SoKeyboardEvent::PAGE_DOWN},
    {VK_END, SoKeyboardEvent::END},           {VK_HOME, SoKeyboardEvent::HOME},
    {VK_LEFT, SoKeyboardEvent::LEFT_ARROW},   {VK_UP, SoKeyboardEvent::UP_ARROW},
    {VK_RIGHT, SoKeyboardEvent::RIGHT_ARROW}, {VK_DOWN, SoKeyboardEvent::DOWN_ARROW},
    {VK_DELETE, SoKeyboardEvent::KEY_DELETE},
};

constexpr int kFunctionKeyCount = 12;

SoKeyboardEvent::Key keyOf(WPARAM virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return static_cast<SoKeyboardEvent::Key>(SoKeyboardEvent::A + (virtualKey - 'A'));
    if (virtualKey >= '0' && virtualKey <= '9')
        return static_cast<SoKeyboardEvent::Key>(SoKeyboardEvent::NUMBER_0 + (virtualKey - '0'));
    if (virtualKey >= VK_F1 && virtualKey < VK_F1 + kFunctionKeyCount)
        return static_cast<SoKeyboardEvent::Key>(SoKeyboardEvent::F1 + (virtualKey - VK_F1));
    for (const KeyMapping& mapping : kKeyMappings)
        if (mapping.virtualKey == virtualKey)
            return mapping.key;
    return SoKeyboardEvent::UNDEFINED;
}

struct ButtonMapping {
    UINT message;
    SoMouseButtonEvent::Button button;
    SoButtonEvent::State state;
};

// A double click arrives instead of the second press.
constexpr ButtonMapping kButtonMappings[] = {
    {WM_LBUTTONDOWN, SoMouseButtonEvent::BUTTON1, SoButtonEvent::DOWN},
    {WM_LBUTTONDBLCLK, SoMouseButtonEvent::BUTTON1, SoButtonEvent::DOWN},
    {WM_LBUTTONUP, SoMouseButtonEvent::BUTTON1, SoButtonEvent::UP},
    {WM_MBUTTONDOWN, SoMouseButtonEvent::BUTTON2, SoButtonEvent::DOWN},
    {WM_MBUTTONDBLCLK, SoMouseButtonEvent::BUTTON2, SoButtonEvent::DOWN},
    {WM_MBUTTONUP, SoMouseButtonEvent::BUTTON2, SoButtonEvent::UP},
    {WM_RBUTTONDOWN, SoMouseButtonEvent::BUTTON3, SoButtonEvent::DOWN},
    {WM_RBUTTONDBLCLK, SoMouseButtonEvent::BUTTON3, SoButtonEvent::DOWN},
    {WM_RBUTTONUP, SoMouseButtonEvent::BUTTON3, SoButtonEvent::UP},
};

const ButtonMapping* buttonOf(UINT message) {
    for (const ButtonMapping& mapping : kButtonMappings)
        if (mapping.message == message)
            return &mapping;
    return nullptr;
}

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

bool isKeyPress(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

} // namespace

class SoWinRenderArea::Private {
public:
    explicit Private(SoWinRenderArea* owner) : owner(owner), manager(new SoSceneManager) {}
    ~Private() { delete manager; }
    Private(const Private&) = delete;
    Private& operator=(const Private&) = delete;

    static void renderCB(void* userData, SoSceneManager*) {
        static_cast<SoWinRenderArea*>(userData)->redraw();
    }

    // Keeps the scene manager's viewport at the drawing window's size.
    void syncViewport() {
        const SbVec2s size = owner->getGlxSize();
        if (size[0] <= 0 || size[1] <= 0)
            return;
        if (manager->getViewportRegion().getWindowSize() != size)
            manager->setViewportRegion(SbViewportRegion(size));
    }

    // The Inventor position of a client position: origin bottom left.
    SbVec2s inventorPosition(int x, int y) const {
        const short height = owner->getGlxSize()[1];
        return SbVec2s(static_cast<short>(x), static_cast<short>(height - 1 - y));
    }

    void setCommon(SoEvent& event, const SbVec2s& position) {
        event.setTime(SbTime::getTimeOfDay());
        event.setPosition(position);
        event.setShiftDown(shiftDown ? TRUE : FALSE);
        event.setCtrlDown(ctrlDown ? TRUE : FALSE);
        event.setAltDown(altDown ? TRUE : FALSE);
    }

    // Mouse messages carry Shift and Ctrl in their key state; Alt comes from key messages.
    void takeMouseModifiers(WPARAM keyState) {
        shiftDown = (keyState & MK_SHIFT) != 0;
        ctrlDown = (keyState & MK_CONTROL) != 0;
    }

    void takeKeyModifiers(const MSG& msg) {
        const bool down = isKeyPress(msg.message);
        if (msg.wParam == VK_SHIFT)
            shiftDown = down;
        else if (msg.wParam == VK_CONTROL)
            ctrlDown = down;
        else if (msg.wParam == VK_MENU)
            altDown = down;
        else if (msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP)
            altDown = (msg.lParam & kAltDownFlag) != 0;
    }

    const SoEvent* translate(const MSG& msg) {
        if (msg.message == WM_MOUSEMOVE) {
            takeMouseModifiers(msg.wParam);
            lastPosition = inventorPosition(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            setCommon(location, lastPosition);
            return &location;
        }
        if (const ButtonMapping* mapping = buttonOf(msg.message)) {
            takeMouseModifiers(msg.wParam);
            lastPosition = inventorPosition(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            setCommon(mouseButton, lastPosition);
            mouseButton.setButton(mapping->button);
            mouseButton.setState(mapping->state);
            return &mouseButton;
        }
        if (msg.message == WM_MOUSEWHEEL) {
            takeMouseModifiers(GET_KEYSTATE_WPARAM(msg.wParam));
            POINT point = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ScreenToClient(msg.hwnd, &point); // the wheel reports screen coordinates
            lastPosition = inventorPosition(point.x, point.y);
            setCommon(mouseButton, lastPosition);
            // Inventor's convention: button 4 is a wheel step away from the user, 5 towards.
            mouseButton.setButton(GET_WHEEL_DELTA_WPARAM(msg.wParam) > 0
                                      ? SoMouseButtonEvent::BUTTON4
                                      : SoMouseButtonEvent::BUTTON5);
            mouseButton.setState(SoButtonEvent::DOWN);
            return &mouseButton;
        }
        if (isKeyMessage(msg.message)) {
            takeKeyModifiers(msg);
            setCommon(keyboard, lastPosition);
            keyboard.setKey(keyOf(msg.wParam));
            keyboard.setState(isKeyPress(msg.message) ? SoButtonEvent::DOWN : SoButtonEvent::UP);
            return &keyboard;
        }
        return nullptr;
    }

    SoWinRenderArea* owner;
    SoSceneManager* manager;
    SoWinRenderAreaEventCB* appCB = nullptr;
    void* appData = nullptr;
    bool clearWindow = true;
    bool clearZBuffer = true;
    bool autoRedraw = true;
    bool shiftDown = false;
    bool ctrlDown = false;
    bool altDown = false;
    SbVec2s lastPosition = SbVec2s(0, 0);
    SoLocation2Event location;
    SoMouseButtonEvent mouseButton;
    SoKeyboardEvent keyboard;
};

SoWinRenderArea::SoWinRenderArea(HWND parent, const char* name, SbBool embed, SbBool mouseInput,
                                 SbBool keyboardInput)
    : SoWinRenderArea(parent, name, embed, mouseInput, keyboardInput, TRUE) {}

SoWinRenderArea::SoWinRenderArea(HWND parent, const char* name, SbBool embed, SbBool mouseInput,
                                 SbBool keyboardInput, SbBool build)
    : SoWinGLWidget(parent, name, embed, SO_GL_RGB | SO_GL_DOUBLE | SO_GL_ZBUFFER, FALSE),
      m_Private(new Private(this)) {
    setClassName("SoWinRenderArea");
    setMouseInput(mouseInput);
    setKeyboardInput(keyboardInput);
    SoSceneManager* manager = m_Private->manager;
    manager->getGLRenderAction()->setCacheContext(getCacheContextId());
    manager->setRenderCallback(Private::renderCB, this);
    manager->activate();
    if (build)
        setBaseWidget(buildWidget(getParentWidget()));
    m_Private->syncViewport();
}

SoWinRenderArea::~SoWinRenderArea() {
    // No redraw may reach this object while it is being taken apart.
    m_Private->manager->setRenderCallback(nullptr);
    m_Private->manager->deactivate();
    m_Private->manager->setSceneGraph(nullptr);
}

void SoWinRenderArea::setSceneGraph(SoNode* newScene) {
    m_Private->manager->setSceneGraph(newScene);
    scheduleRedraw();
}

SoNode* SoWinRenderArea::getSceneGraph(void) {
    return m_Private->manager->getSceneGraph();
}

SoSceneManager* SoWinRenderArea::getSceneManager(void) const {
    return m_Private->manager;
}

void SoWinRenderArea::setBackgroundColor(const SbColor& color) {
    m_Private->manager->setBackgroundColor(color);
    scheduleRedraw();
}

const SbColor& SoWinRenderArea::getBackgroundColor(void) const {
    return m_Private->manager->getBackgroundColor();
}

void SoWinRenderArea::setTransparencyType(SoGLRenderAction::TransparencyType type) {
    m_Private->manager->getGLRenderAction()->setTransparencyType(type);
    scheduleRedraw();
}

SoGLRenderAction::TransparencyType SoWinRenderArea::getTransparencyType(void) const {
    return m_Private->manager->getGLRenderAction()->getTransparencyType();
}

void SoWinRenderArea::setAntialiasing(SbBool smoothing, int numPasses) {
    m_Private->manager->setAntialiasing(smoothing, numPasses);
    scheduleRedraw();
}

void SoWinRenderArea::setViewportRegion(const SbViewportRegion& region) {
    m_Private->manager->setViewportRegion(region);
    scheduleRedraw();
}

const SbViewportRegion& SoWinRenderArea::getViewportRegion(void) const {
    return m_Private->manager->getViewportRegion();
}

void SoWinRenderArea::setGLRenderAction(SoGLRenderAction* action) {
    if (!action)
        return;
    // The action draws with this widget's context, so it must use its caches.
    action->setCacheContext(getCacheContextId());
    m_Private->manager->setGLRenderAction(action);
    scheduleRedraw();
}

SoGLRenderAction* SoWinRenderArea::getGLRenderAction(void) const {
    return m_Private->manager->getGLRenderAction();
}

void SoWinRenderArea::render(void) {
    redraw();
}

void SoWinRenderArea::scheduleRedraw(void) {
    m_Private->manager->scheduleRedraw();
}

void SoWinRenderArea::setAutoRedraw(SbBool enable) {
    m_Private->autoRedraw = enable;
    m_Private->manager->setRenderCallback(enable ? Private::renderCB : nullptr,
                                          enable ? this : nullptr);
}

SbBool SoWinRenderArea::isAutoRedraw(void) const {
    return m_Private->autoRedraw ? TRUE : FALSE;
}

void SoWinRenderArea::setRedrawPriority(uint32_t priority) {
    m_Private->manager->setRedrawPriority(priority);
}

uint32_t SoWinRenderArea::getRedrawPriority(void) const {
    return m_Private->manager->getRedrawPriority();
}

uint32_t SoWinRenderArea::getDefaultRedrawPriority(void) {
    return SoSceneManager::getDefaultRedrawPriority();
}

void SoWinRenderArea::setClearBeforeRender(SbBool clear, SbBool zbuffer) {
    m_Private->clearWindow = clear;
    m_Private->clearZBuffer = zbuffer;
}

SbBool SoWinRenderArea::isClearBeforeRender(void) const {
    return m_Private->clearWindow ? TRUE : FALSE;
}

SbBool SoWinRenderArea::isClearZBufferBeforeRender(void) const {
    return m_Private->clearZBuffer ? TRUE : FALSE;
}

void SoWinRenderArea::setEventCallback(SoWinRenderAreaEventCB* function, void* userData) {
    m_Private->appCB = function;
    m_Private->appData = userData;
}

SoWinRenderAreaEventCB* SoWinRenderArea::getEventCallback(void** userData) const {
    if (userData)
        *userData = m_Private->appData;
    return m_Private->appCB;
}

void SoWinRenderArea::actualRedraw(void) {
    m_Private->syncViewport();
    m_Private->manager->render(m_Private->clearWindow ? TRUE : FALSE,
                               m_Private->clearZBuffer ? TRUE : FALSE);
}

void SoWinRenderArea::processEvent(MSG* msg) {
    if (msg)
        processSoEvent(translateEvent(msg));
}

SbBool SoWinRenderArea::invokeAppCB(MSG* msg) {
    return m_Private->appCB && m_Private->appCB(m_Private->appData, msg) ? TRUE : FALSE;
}

void SoWinRenderArea::drawingSizeChanged(const SbVec2s&) {
    m_Private->syncViewport();
}

const SoEvent* SoWinRenderArea::translateEvent(MSG* msg) {
    return msg ? m_Private->translate(*msg) : nullptr;
}

SbBool SoWinRenderArea::processSoEvent(const SoEvent* event) {
    if (!event)
        return FALSE;
    m_Private->syncViewport();
    return m_Private->manager->processEvent(event);
}

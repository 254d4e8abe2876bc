#include <Inventor/nodes/SoImageBackground.h>

#include "BackgroundGLState.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoCoreAdditions.h>
#include <Inventor/SoInput.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/elements/SoCacheElement.h>
#include <Inventor/elements/SoViewportRegionElement.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/lists/SbStringList.h>
#include <Inventor/misc/SoNotification.h>

namespace {

GLenum pixelFormat(int components) {
    switch (components) {
    case 1:
        return GL_LUMINANCE;
    case 2:
        return GL_LUMINANCE_ALPHA;
    case 3:
        return GL_RGB;
    default:
        return GL_RGBA;
    }
}

bool hasAlpha(int components) {
    return components == 2 || components == 4;
}

void ignoreError(const SoError*, void*) {}

// Coin reports an image it cannot find or decode as an error; a background that cannot be
// shown is not one, so its messages are dropped while the file is read.
class QuietErrors {
public:
    QuietErrors()
        : m_Handler(SoDebugError::getHandlerCallback()), m_Data(SoDebugError::getHandlerData()) {
        SoDebugError::setHandlerCallback(ignoreError, nullptr);
    }
    ~QuietErrors() { SoDebugError::setHandlerCallback(m_Handler, m_Data); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    SoErrorCB* m_Handler;
    void* m_Data;
};

} // namespace

SO_NODE_SOURCE(SoImageBackground);

void SoImageBackground::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoImageBackground, SoNode, "Node");
}

SoImageBackground::SoImageBackground(void) : m_FileChanged(false) {
    SoCoreAdditions::init();
    SO_NODE_CONSTRUCTOR(SoImageBackground);
    SO_NODE_ADD_FIELD(filename, (""));
    SO_NODE_ADD_FIELD(style, (STRETCH));
    SO_NODE_DEFINE_ENUM_VALUE(Style, NONE);
    SO_NODE_DEFINE_ENUM_VALUE(Style, CENTER);
    SO_NODE_DEFINE_ENUM_VALUE(Style, LOWER_LEFT);
    SO_NODE_DEFINE_ENUM_VALUE(Style, UPPER_LEFT);
    SO_NODE_DEFINE_ENUM_VALUE(Style, UPPER_RIGHT);
    SO_NODE_DEFINE_ENUM_VALUE(Style, LOWER_RIGHT);
    SO_NODE_DEFINE_ENUM_VALUE(Style, STRETCH);
    SO_NODE_DEFINE_ENUM_VALUE(Style, TILE);
    SO_NODE_SET_SF_ENUM_TYPE(style, Style);
}

SoImageBackground::~SoImageBackground() {}

void SoImageBackground::notify(SoNotList* list) {
    // Reading is deferred to the next use, so a burst of edits reads the file once.
    if (list->getLastField() == &filename)
        m_FileChanged = true;
    inherited::notify(list);
}

void SoImageBackground::loadIfChanged(void) {
    const SbString& name = filename.getValue();
    if (!m_FileChanged && name == m_LoadedName)
        return;
    m_FileChanged = false;
    m_LoadedName = name;
    m_Image = SbImage();
    if (name.getLength() == 0)
        return;
    const SbStringList& directories = SoInput::getDirectories();
    const QuietErrors quiet;
    if (!m_Image.readFile(name, directories.getArrayPtr(), directories.getLength()))
        m_Image = SbImage();
}

SbBool SoImageBackground::hasImage(void) {
    loadIfChanged();
    return m_Image.hasData();
}

void SoImageBackground::drawAt(int x, int y) const {
    SbVec2s size;
    int components = 0;
    const unsigned char* pixels = m_Image.getValue(size, components);
    // The raster position must start inside the viewport to be valid; an empty bitmap then
    // moves it anywhere, even outside, so partly visible images are clipped, not dropped.
    glRasterPos2f(0.25f, 0.25f);
    glBitmap(0, 0, 0.0f, 0.0f, float(x), float(y), nullptr);
    glDrawPixels(size[0], size[1], pixelFormat(components), GL_UNSIGNED_BYTE, pixels);
}

void SoImageBackground::GLRender(SoGLRenderAction* action) {
    if (!BackgroundGLState::shouldDraw(action) || style.getValue() == NONE || !hasImage())
        return;
    SoState* state = action->getState();
    // The image is drawn from client memory: keep it out of render caches (display lists).
    SoCacheElement::invalidate(state);
    const SbVec2s viewport = SoViewportRegionElement::get(state).getViewportSizePixels();
    SbVec2s size;
    int components = 0;
    m_Image.getValue(size, components);
    const int width = viewport[0], height = viewport[1];
    const int imageWidth = size[0], imageHeight = size[1];

    BackgroundGLState saved(0.0, width, 0.0, height);
    if (hasAlpha(components)) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    switch (style.getValue()) {
    case CENTER:
        drawAt((width - imageWidth) / 2, (height - imageHeight) / 2);
        break;
    case LOWER_LEFT:
        drawAt(0, 0);
        break;
    case UPPER_LEFT:
        drawAt(0, height - imageHeight);
        break;
    case UPPER_RIGHT:
        drawAt(width - imageWidth, height - imageHeight);
        break;
    case LOWER_RIGHT:
        drawAt(width - imageWidth, 0);
        break;
    case STRETCH:
        glPixelZoom(float(width) / float(imageWidth), float(height) / float(imageHeight));
        drawAt(0, 0);
        break;
    case TILE:
        for (int top = height; top > 0; top -= imageHeight)
            for (int left = 0; left < width; left += imageWidth)
                drawAt(left, top - imageHeight);
        break;
    default:
        break;
    }
}

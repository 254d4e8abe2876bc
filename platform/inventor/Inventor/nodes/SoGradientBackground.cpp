#include <Inventor/nodes/SoGradientBackground.h>

#include "BackgroundGLState.h"

#include <Inventor/SoCoreAdditions.h>
#include <Inventor/actions/SoGLRenderAction.h>

SO_NODE_SOURCE(SoGradientBackground);

void SoGradientBackground::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoGradientBackground, SoNode, "Node");
}

SoGradientBackground::SoGradientBackground(void) {
    SoCoreAdditions::init();
    SO_NODE_CONSTRUCTOR(SoGradientBackground);
    SO_NODE_ADD_FIELD(color0, (SbColor(0.0f, 0.0f, 0.0f)));
    SO_NODE_ADD_FIELD(color1, (SbColor(1.0f, 1.0f, 1.0f)));
}

SoGradientBackground::~SoGradientBackground() {}

void SoGradientBackground::GLRender(SoGLRenderAction* action) {
    if (!BackgroundGLState::shouldDraw(action))
        return;
    // Normalised device coordinates: the quad covers exactly the current viewport.
    BackgroundGLState saved(-1.0, 1.0, -1.0, 1.0);
    const SbColor& bottom = color0.getValue();
    const SbColor& top = color1.getValue();
    glBegin(GL_QUADS);
    glColor3f(bottom[0], bottom[1], bottom[2]);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glColor3f(top[0], top[1], top[2]);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}

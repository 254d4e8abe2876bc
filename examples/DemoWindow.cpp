#include "DemoWindow.h"

#include "canvas/OivCanvas.h"
#include "dui/DuiCanvasToolbar.h"
#include "scene/OivSceneManager.h"
#include "tav/OivScreenPosition.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>
#include <oivwin32.h>

namespace {

constexpr const char* kKeyHint =
    "Esc: view/pick   Home   S: seek   arrows: move   right button: menu";
// Above the canvas's message, lined up with it.
constexpr float kHintLeft = 0.12f;
constexpr float kHintBottom = 30.0f;

// One line over the canvas telling what the viewer's keys and right button do.
void showKeyHint(OivCanvas& canvas) {
    SoSeparator* hint = new SoSeparator;
    OivScreenPosition* place = new OivScreenPosition;
    place->setHorizontalPosition(OivScreenPosition::LEFT, OivScreenPosition::FRACTION, kHintLeft);
    place->setVerticalPosition(OivScreenPosition::BOTTOM, OivScreenPosition::PIXELS, kHintBottom);
    hint->addChild(place);
    SoBaseColor* color = new SoBaseColor;
    color->rgb.setValue(1.0f, 1.0f, 1.0f);
    hint->addChild(color);
    // The manager's font for the host's texts, smaller than its message.
    hint->addChild(canvas.getOivSceneManager()->getGlobalFont());
    SoText2* text = new SoText2;
    text->string.setValue(kKeyHint);
    hint->addChild(text);
    canvas.getOivSceneManager()->getRootOverlay()->addChild(hint);
}

} // namespace

bool DemoWindow::runUntilClosed(OivCanvas& canvas) {
    if (!OivWin32IsOnScreen())
        return false;
    DuiCanvasToolbar toolbar;
    toolbar.setOivCanvas(&canvas);
    toolbar.initialize();
    canvas.addDUI(&toolbar);
    toolbar.getTopLevelDialog()->show();
    showKeyHint(canvas);
    SoWin::mainLoop();
    return true;
}

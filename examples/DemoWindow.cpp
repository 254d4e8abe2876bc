#include "DemoWindow.h"

#include "canvas/OivCanvas.h"
#include "dui/DuiCanvasToolbar.h"

#include <Inventor/Win/SoWin.h>
#include <oivwin32.h>

bool DemoWindow::runUntilClosed(OivCanvas& canvas) {
    if (!OivWin32IsOnScreen())
        return false;
    DuiCanvasToolbar toolbar;
    toolbar.setOivCanvas(&canvas);
    toolbar.initialize();
    canvas.addDUI(&toolbar);
    toolbar.getTopLevelDialog()->show();
    SoWin::mainLoop();
    return true;
}

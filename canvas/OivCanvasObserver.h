// Something that holds a canvas without owning it and must let go of it when the canvas goes: a
// canvas group, a dialog bound to the canvas, a video recorder. It registers with the canvas
// (OivBaseCanvas::addCanvasObserver) and hears of the canvas's destruction before anything of the
// canvas is deleted. The canvas knows its observers only through this class, so nothing of the
// subsystems above it is needed to build it.
#ifndef OIVWINTAV_OIVCANVASOBSERVER_H
#define OIVWINTAV_OIVCANVASOBSERVER_H

class OivBaseCanvas;

class OivCanvasObserver {
public:
    // The canvas is being destroyed: its viewer and scene manager still exist during this call,
    // nothing of it after. An observer may unregister itself or others here; the canvas forgets
    // them all anyway.
    virtual void canvasDestroyed(OivBaseCanvas* canvas) = 0;

protected:
    // An observer is not deleted through this class.
    ~OivCanvasObserver() = default;
};

#endif // OIVWINTAV_OIVCANVASOBSERVER_H

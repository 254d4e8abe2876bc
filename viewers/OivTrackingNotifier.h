// The three notification lists of a curve viewer and their two gates: the curve changed, the
// tracking point changed, and a shape was picked for tracking. The curve gate silences the curve
// and the pick lists, the point gate the point list; both start open. Each list calls its pairs,
// synchronously, in the order they were added, with the user data and the viewer that notifies.
#ifndef OIVWINTAV_OIVTRACKINGNOTIFIER_H
#define OIVWINTAV_OIVTRACKINGNOTIFIER_H

#include <Inventor/lists/SoCallbackList.h>

class OivTrackingNotifier {
public:
    // What a list reports.
    enum Event { CURVE_CHANGED, POINT_CHANGED, PRE_TRACKING_CURVE_CHANGED, NUM_EVENTS };

    // Adds the pair to the event's list; a null function is not added, since the list would call
    // it the next time it fires.
    void add(Event event, SoCallbackListCB* function, void* userData);
    void remove(Event event, SoCallbackListCB* function, void* userData);

    // Calls the event's list with `viewer` when its gate is open.
    void notify(Event event, void* viewer);

    // Open or close, and read, the curve gate and the point gate.
    void setCurveGate(bool open) { m_CurveGateOpen = open; }
    bool isCurveGateOpen(void) const { return m_CurveGateOpen; }
    void setPointGate(bool open) { m_PointGateOpen = open; }
    bool isPointGateOpen(void) const { return m_PointGateOpen; }

private:
    bool isOpen(Event event) const;

    SoCallbackList m_Lists[NUM_EVENTS];
    bool m_CurveGateOpen = true;
    bool m_PointGateOpen = true;
};

#endif // OIVWINTAV_OIVTRACKINGNOTIFIER_H

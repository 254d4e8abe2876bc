// What both scene managers do with their nodes: keep a reference on each node they point to, and
// show or hide a display behind its switch.
#ifndef OIVWINTAV_OIVSCENESUPPORT_H
#define OIVWINTAV_OIVSCENESUPPORT_H

#include <Inventor/nodes/SoSwitch.h>

class OivSceneSupport {
public:
    // References `node` and returns it. A manager holds every node it points to, so that nodes
    // never placed in a graph are freed with it and its pointers stay valid whether it or the
    // viewer goes first.
    template <class Node> static Node* held(Node* node) {
        node->ref();
        return node;
    }

    // A display switch has one child: shown, the switch selects it; hidden, none.
    static void setShown(SoSwitch* display, bool shown) {
        display->whichChild.setValue(shown ? kShownChild : SO_SWITCH_NONE);
    }
    static bool isShown(const SoSwitch* display) {
        return display->whichChild.getValue() != SO_SWITCH_NONE;
    }

    OivSceneSupport() = delete;

private:
    static constexpr int kShownChild = 0;
};

#endif // OIVWINTAV_OIVSCENESUPPORT_H

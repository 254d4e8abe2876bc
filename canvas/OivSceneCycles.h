// Cycles in a scene graph read from a file. A file can name a node inside itself
// ("DEF S Separator { USE S }"), and Coin reads that as a node that is its own descendant: every
// later traversal (drawing, view all, writing) then recurses until the stack overflows. Such a
// graph must not reach a viewer.
#ifndef OIVWINTAV_OIVSCENECYCLES_H
#define OIVWINTAV_OIVSCENECYCLES_H

class SoNode;

class OivSceneCycles {
public:
    // Removes from `root`'s graph every child link that leads back to a node on the way down to
    // it, so that the graph can be released whole; true when there was any. Shared nodes (a node
    // used twice without a cycle) stay as they are. The graph is walked without recursion, as deep
    // as it is.
    static bool cut(SoNode* root);

    OivSceneCycles() = delete;
};

#endif // OIVWINTAV_OIVSCENECYCLES_H

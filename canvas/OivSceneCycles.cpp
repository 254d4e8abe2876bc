#include "canvas/OivSceneCycles.h"

#include <Inventor/misc/SoChildList.h>
#include <Inventor/nodes/SoGroup.h>

#include <unordered_set>
#include <vector>

namespace {

// A group's own removal keeps what mirrors its children (a VRML group's children field) in step.
void removeChild(SoNode* parent, int index) {
    if (parent->isOfType(SoGroup::getClassTypeId()))
        static_cast<SoGroup*>(parent)->removeChild(index);
    else
        parent->getChildren()->remove(index);
}

} // namespace

bool OivSceneCycles::cut(SoNode* root) {
    if (!root)
        return false;
    // A root that is only referenced from inside its own cycle would go with the first cut link.
    root->ref();
    struct Step {
        SoNode* node;
        int nextChild;
    };
    std::vector<Step> path{{root, 0}};
    std::unordered_set<SoNode*> onPath{root};
    std::unordered_set<SoNode*> finished;
    bool found = false;
    while (!path.empty()) {
        SoNode* node = path.back().node;
        const SoChildList* children = node->getChildren();
        const int index = path.back().nextChild;
        if (!children || index >= children->getLength()) {
            onPath.erase(node);
            finished.insert(node);
            path.pop_back();
            continue;
        }
        SoNode* child = (*children)[index];
        if (onPath.count(child)) {
            removeChild(node, index); // the next child moves into this index
            found = true;
            continue;
        }
        ++path.back().nextChild;
        if (finished.count(child))
            continue;
        onPath.insert(child);
        path.push_back({child, 0});
    }
    root->unrefNoDelete();
    return found;
}

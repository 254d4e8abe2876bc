#include "canvas/OivSceneFile.h"

#include "canvas/OivFileReplacement.h"
#include "canvas/OivSceneCycles.h"
#include "canvas/OivSceneInput.h"
#include "canvas/OivTrialRead.h"

#include <Inventor/SbString.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/SoOutput.h>
#include <Inventor/VRMLnodes/SoVRMLGroup.h>
#include <Inventor/actions/SoToVRML2Action.h>
#include <Inventor/actions/SoWriteAction.h>
#include <Inventor/lists/SbStringList.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoSeparator.h>

#include <cstdio>

namespace {

constexpr const char* kVrml2Header = "#VRML V2.0 utf8";

// Hosts look at this list to see where files named inside the scene are searched.
void printSearchDirectories() {
    const SbStringList& directories = SoInput::getDirectories();
    for (int i = 0; i < directories.getLength(); ++i)
        std::printf("%s\n", directories[i]->getString());
}

// Holds a reference on a node while it is written. Releasing it never deletes: an unreferenced
// root stays the caller's to free, and the converted graph belongs to the conversion action.
class NodeHold {
public:
    explicit NodeHold(SoNode* node) : m_Node(node) {
        if (m_Node)
            m_Node->ref();
    }
    ~NodeHold() {
        if (m_Node)
            m_Node->unrefNoDelete();
    }
    NodeHold(const NodeHold&) = delete;
    NodeHold& operator=(const NodeHold&) = delete;

private:
    SoNode* m_Node;
};

bool writeScene(OivFileReplacement& target, SoNode* scene, bool binary, bool vrml2) {
    SoOutput output;
    output.setFilePointer(target.file());
    if (vrml2)
        output.setHeaderString(kVrml2Header);
    // A binary body under the VRML header would be a file that nothing reads.
    output.setBinary(binary && !vrml2);
    SoWriteAction write(&output);
    write.apply(scene);
    return target.commit();
}

SoSeparator* readAll(const char* fileName) {
    SoInput input;
    SoSeparator* scene = input.openFile(fileName, FALSE) ? SoDB::readAll(&input) : nullptr;
    input.closeFile();
    return scene;
}

// A binary file whose numbers stopped the checked read: anything read so far is dropped, and the
// file is read unchecked only once a child process has read it whole without harm.
SoSeparator* readIfHarmless(const char* fileName, SoSeparator* partial) {
    if (partial) {
        partial->ref();
        partial->unref();
    }
    return OivTrialRead::succeeds(fileName) ? readAll(fileName) : nullptr;
}

} // namespace

bool OivSceneFile::read(const char* fileName, SoGroup* parent) {
    if (!parent)
        return false;
    OivSceneInput input;
    printSearchDirectories();
    if (!fileName || !input.openFile(fileName, FALSE))
        return false;
    SoSeparator* scene = SoDB::readAll(&input);
    // Held while the file closes: the input lets go of the nodes it named then.
    if (scene)
        scene->ref();
    input.closeFile();
    if (scene)
        scene->unrefNoDelete();
    if (input.isSuspect())
        scene = readIfHarmless(fileName, scene);
    if (!scene)
        return false;
    if (OivSceneCycles::cut(scene)) {
        // Released whole now that nothing refers back into it.
        scene->ref();
        scene->unref();
        return false;
    }
    parent->addChild(scene);
    return true;
}

bool OivSceneFile::write(const char* fileName, SoNode* root, bool binary, bool toVRML2) {
    if (!root || !fileName)
        return false;
    SoToVRML2Action convert;
    SoNode* scene = root;
    if (toVRML2) {
        convert.apply(root);
        SoVRMLGroup* converted = convert.getVRML2SceneGraph();
        // Writing the unconverted scene under the VRML header, or an empty group for a scene that
        // had content, would report a corrupt or emptied file as written.
        if (!converted || converted->getNumChildren() == 0)
            return false;
        scene = converted;
    }
    NodeHold hold(scene);
    OivFileReplacement target(fileName);
    return target.isOpen() && writeScene(target, scene, binary, toVRML2);
}

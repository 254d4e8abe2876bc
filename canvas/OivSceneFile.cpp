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
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/lists/SbStringList.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoSeparator.h>

#include <cstdio>
#include <string>
#include <vector>

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

// A read error as Coin would have reported it, for the handler it was kept from.
class KeptReadError : public SoReadError {
public:
    explicit KeptReadError(const std::string& text) { setDebugString(text.c_str()); }
};

// Keeps Coin's read errors while the checked read runs. A read the check stopped is no news to
// anyone (the file may well be valid and read on the second try); any other read's errors are
// passed on, in order, to the handler that was installed before.
class ReadErrorsKept {
public:
    ReadErrorsKept()
        : m_Handler(SoReadError::getHandlerCallback()), m_Data(SoReadError::getHandlerData()) {
        SoReadError::setHandlerCallback(keep, this);
    }
    ~ReadErrorsKept() { SoReadError::setHandlerCallback(m_Handler, m_Data); }
    ReadErrorsKept(const ReadErrorsKept&) = delete;
    ReadErrorsKept& operator=(const ReadErrorsKept&) = delete;

    void passOn() {
        SoReadError::setHandlerCallback(m_Handler, m_Data);
        for (const std::string& text : m_Texts) {
            KeptReadError error(text);
            if (m_Handler)
                m_Handler(&error, m_Data);
        }
        m_Texts.clear();
    }

private:
    static void keep(const SoError* error, void* data) {
        static_cast<ReadErrorsKept*>(data)->m_Texts.push_back(error->getDebugString().getString());
    }

    SoErrorCB* m_Handler;
    void* m_Data;
    std::vector<std::string> m_Texts;
};

// Reads `fileName` through the checked input; the scene, or null, and whether the check stopped
// the read (`bytes` is then the size of every file the read opened).
SoSeparator* readChecked(const char* fileName, bool& suspect, long long& bytes) {
    OivSceneInput input;
    ReadErrorsKept errors;
    if (!input.openFile(fileName, FALSE)) {
        errors.passOn();
        return nullptr;
    }
    SoSeparator* scene = SoDB::readAll(&input);
    // Held while the file closes: the input lets go of the nodes it named then.
    if (scene)
        scene->ref();
    input.closeFile();
    if (scene)
        scene->unrefNoDelete();
    suspect = input.isSuspect();
    bytes = input.bytesOpened();
    if (!suspect)
        errors.passOn();
    return scene;
}

// A file whose numbers stopped the checked read: anything read so far is dropped, and the file is
// read unchecked only once the helper has read it whole without harm. A refusal is reported in
// one line, naming the file.
SoSeparator* readIfHarmless(const char* fileName, SoSeparator* partial, long long bytes) {
    if (partial) {
        partial->ref();
        partial->unref();
    }
    if (OivTrialRead::succeeds(fileName, bytes))
        return readAll(fileName);
    SoDebugError::postWarning("OivSceneFile::read",
                              "'%s' (or a file it includes) holds a number no valid file has "
                              "there and could not be read safely: not imported",
                              fileName);
    return nullptr;
}

} // namespace

bool OivSceneFile::read(const char* fileName, SoGroup* parent) {
    if (!parent)
        return false;
    printSearchDirectories();
    if (!fileName)
        return false;
    bool suspect = false;
    long long bytes = 0;
    SoSeparator* scene = readChecked(fileName, suspect, bytes);
    if (suspect)
        scene = readIfHarmless(fileName, scene, bytes);
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

#include <DialogViz/dialog/SoDialogGroup.h>

#include <Inventor/SoInput.h>
#include <Inventor/SoOutput.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/actions/SoWriteAction.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/misc/SoChildList.h>

SO_NODE_ABSTRACT_SOURCE(SoDialogGroup);

void SoDialogGroup::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_ABSTRACT_CLASS(SoDialogGroup, SoDialogComponent, "SoDialogComponent");
}

SoDialogGroup::SoDialogGroup(void) : children(new SoChildList(this)) {
    SO_NODE_CONSTRUCTOR(SoDialogGroup);
}

SoDialogGroup::~SoDialogGroup() {
    // A child someone else still references must not point back at a dead container.
    removeAllChildren();
    delete children;
}

void SoDialogGroup::adopt(SoDialogComponent* child) {
    child->parentDialog = this;
}

void SoDialogGroup::letGo(int index) {
    SoDialogComponent* child = getChild(index);
    if (child->parentDialog == this)
        child->parentDialog = nullptr;
}

void SoDialogGroup::addChild(SoDialogComponent* child) {
    if (!child)
        return;
    adopt(child);
    children->append(child);
}

void SoDialogGroup::insertChild(SoDialogComponent* child, int index) {
    if (!child || index < 0)
        return;
    adopt(child);
    if (index >= getNumChildren())
        children->append(child);
    else
        children->insert(child, index);
}

SoDialogComponent* SoDialogGroup::getChild(int index) const {
    if (index < 0 || index >= getNumChildren())
        return nullptr;
    return static_cast<SoDialogComponent*>((*children)[index]);
}

int SoDialogGroup::getNumChildren(void) const {
    return children->getLength();
}

int SoDialogGroup::findChild(const SoDialogComponent* child) const {
    return children->find(const_cast<SoDialogComponent*>(child));
}

void SoDialogGroup::removeChild(int index) {
    if (index < 0 || index >= getNumChildren())
        return;
    letGo(index);
    children->remove(index);
}

void SoDialogGroup::removeChild(SoDialogComponent* child) {
    removeChild(findChild(child));
}

void SoDialogGroup::removeAllChildren(void) {
    for (int i = 0; i < getNumChildren(); ++i)
        letGo(i);
    children->truncate(0);
}

SoDialogViz* SoDialogGroup::searchForAuditorId(SbString id) {
    // Components without an identifier are not addressable: the empty identifier names none.
    if (id.getLength() == 0)
        return nullptr;
    if (auditorID.getValue() == id)
        return this;
    for (int i = 0; i < getNumChildren(); ++i) {
        SoDialogComponent* child = getChild(i);
        if (child->isOfType(SoDialogGroup::getClassTypeId())) {
            if (SoDialogViz* found = static_cast<SoDialogGroup*>(child)->searchForAuditorId(id))
                return found;
        } else if (child->auditorID.getValue() == id) {
            return child;
        }
    }
    return nullptr;
}

SoChildList* SoDialogGroup::getChildren(void) const {
    return children;
}

void SoDialogGroup::doAction(SoAction* action) {
    int numIndices;
    const int* indices;
    if (action->getPathCode(numIndices, indices) == SoAction::IN_PATH)
        children->traverseInPath(action, numIndices, indices);
    else
        children->traverse(action);
}

void SoDialogGroup::search(SoSearchAction* action) {
    inherited::search(action);
    if (!action->isFound())
        SoDialogGroup::doAction(action);
}

// As Coin writes its groups: the fields, then (in a binary file after their count) the children.
void SoDialogGroup::write(SoWriteAction* action) {
    SoOutput* out = action->getOutput();
    if (out->getStage() == SoOutput::COUNT_REFS) {
        addWriteReference(out);
        // A subtree used several times is written once and referred to by name afterwards, so
        // its children are counted only the first time.
        if (!hasMultipleWriteRefs())
            SoDialogGroup::doAction(action);
        return;
    }
    if (writeHeader(out, TRUE, FALSE))
        return;
    getFieldData()->write(out, this);
    if (out->isBinary())
        out->write(getNumChildren());
    SoDialogGroup::doAction(action);
    writeFooter(out);
}

SbBool SoDialogGroup::readInstance(SoInput* in, unsigned short flags) {
    // Tells the field reader that a name it does not know may start a child.
    if (!inherited::readInstance(in, flags | SoBase::IS_GROUP))
        return FALSE;
    return readChildren(in);
}

SbBool SoDialogGroup::readChildren(SoInput* in) {
    unsigned int count = 0;
    if (in->isBinary() && !in->read(count)) {
        SoReadError::post(in, "Premature end of file");
        return FALSE;
    }
    for (unsigned int i = 0; !in->isBinary() || i < count; ++i) {
        SoBase* child = nullptr;
        // Anything but a dialog component is refused with a read error.
        if (!SoBase::read(in, child, SoDialogComponent::getClassTypeId()))
            return FALSE;
        if (!child) {
            // In ASCII the closing brace ends the children; anything else is a damaged file.
            if (in->eof() || in->isBinary()) {
                SoReadError::post(in, "Premature end of file");
                return FALSE;
            }
            return TRUE;
        }
        addChild(static_cast<SoDialogComponent*>(child));
    }
    return TRUE;
}

void SoDialogGroup::copyContents(const SoFieldContainer* from, SbBool copyConnections) {
    removeAllChildren();
    inherited::copyContents(from, copyConnections);
    const SoDialogGroup* source = static_cast<const SoDialogGroup*>(from);
    for (int i = 0; i < source->getNumChildren(); ++i)
        addChild(static_cast<SoDialogComponent*>(
            SoFieldContainer::findCopy(source->getChild(i), copyConnections)));
}

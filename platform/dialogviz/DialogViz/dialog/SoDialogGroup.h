// Base of the containers. A container holds its components as a Coin group holds its children:
// each added component gets a reference, released when it is removed or the container dies, so
// the tree lives as long as its root is referenced. A drawer walks the tree with getNumChildren
// and getChild. In a file the children follow the fields, as in a group:
//   SoRowDialog { label "Toolbar" SoDialogPushButton { buttonLabel "Home" } }
// Abstract.
#ifndef OIVWINTAV_SODIALOGGROUP_H
#define OIVWINTAV_SODIALOGGROUP_H

#include <DialogViz/dialog/SoDialogComponent.h>

#include <Inventor/SbString.h>

class SoChildList;

class SoDialogGroup : public SoDialogComponent {
    typedef SoDialogComponent inherited;
    SO_NODE_ABSTRACT_HEADER(SoDialogGroup);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);

    // A null component is ignored.
    void addChild(SoDialogComponent* child);
    // Appends when index is past the end; a negative index or a null component is ignored.
    void insertChild(SoDialogComponent* child, int index);
    // Null for an index out of range.
    SoDialogComponent* getChild(int index) const;
    int getNumChildren(void) const;
    // -1 when the component is not a child of this container.
    int findChild(const SoDialogComponent* child) const;
    // An index out of range or a component that is not a child is ignored.
    void removeChild(int index);
    void removeChild(SoDialogComponent* child);
    void removeAllChildren(void);

    // The first component whose auditorID equals id exactly, depth first: this container, then
    // each child (and what it holds) in order. Null when none has it, and for the empty
    // identifier (components without one cannot be looked up).
    SoDialogViz* searchForAuditorId(SbString id);

    // The children as Coin traverses them: actions, searches and writing reach every control.
    virtual SoChildList* getChildren(void) const;
    virtual void doAction(SoAction* action);
    virtual void search(SoSearchAction* action);
    virtual void write(SoWriteAction* action);

protected:
    SoDialogGroup(void);
    virtual ~SoDialogGroup();

    virtual SbBool readInstance(SoInput* in, unsigned short flags);
    virtual void copyContents(const SoFieldContainer* from, SbBool copyConnections);

private:
    SbBool readChildren(SoInput* in);
    void adopt(SoDialogComponent* child);
    // Clears the parent of the child at index if this container is its parent.
    void letGo(int index);

    SoChildList* children;
};

#endif // OIVWINTAV_SODIALOGGROUP_H

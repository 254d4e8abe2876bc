#include <DialogViz/dialog/SoMessageDialog.h>

SO_NODE_SOURCE(SoMessageDialog);

namespace {
struct ShowHook {
    SoMessageDialog::ShowCB* callback = nullptr;
    void* data = nullptr;
};
ShowHook showHook;
} // namespace

void SoMessageDialog::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoMessageDialog, SoDialogViz, "SoDialogViz");
}

SoMessageDialog::SoMessageDialog(void) : shown(FALSE) {
    SO_NODE_CONSTRUCTOR(SoMessageDialog);
    SO_NODE_ADD_FIELD(title, (""));
    SO_NODE_ADD_FIELD(type, (0));
}

SoMessageDialog::~SoMessageDialog() {}

void SoMessageDialog::show(void) {
    shown = TRUE;
    if (showHook.callback)
        showHook.callback(showHook.data, this);
}

void SoMessageDialog::destroy(void) {
    shown = FALSE;
    // The toolkit's name for closing a notice is the one Coin's unref uses to delete an object
    // nobody references any more: that call must still delete it.
    if (getRefCount() == 0)
        inherited::destroy();
}

void SoMessageDialog::setShowCallback(ShowCB* callback, void* data) {
    showHook.callback = callback;
    showHook.data = data;
}

#include "canvas/OivCanvasDialogLink.h"

namespace {

OivCanvasDialogLink::LinkOf* linkOfDialog = nullptr;

} // namespace

void OivCanvasDialogLink::setLinkOf(LinkOf* linkOf) {
    linkOfDialog = linkOf;
}

OivCanvasDialogLink* OivCanvasDialogLink::of(DuiBaseDialog* dialog) {
    return dialog && linkOfDialog ? linkOfDialog(dialog) : nullptr;
}

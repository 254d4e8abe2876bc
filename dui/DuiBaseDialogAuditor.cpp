#include "dui/DuiBaseDialogAuditor.h"

#include <DialogViz/dialog/SoMessageDialog.h>

namespace {
const char* const kNoticeTitle = "Test Canvas";
// The toolkit's message type the notices use; passed on, not interpreted here.
constexpr int kNoticeType = 4;
} // namespace

DuiBaseDialogAuditor::DuiBaseDialogAuditor(OivCanvas* canvas)
    : m_OivCanvas(canvas), m_DuiDialog(nullptr), m_MessageDialog(new SoMessageDialog) {
    m_MessageDialog->ref();
    m_MessageDialog->title = kNoticeTitle;
    m_MessageDialog->type = kNoticeType;
}

DuiBaseDialogAuditor::~DuiBaseDialogAuditor() {
    if (m_MessageDialog) {
        m_MessageDialog->destroy();
        m_MessageDialog->unref();
    }
}

void DuiBaseDialogAuditor::showNotice(const char* text) {
    m_MessageDialog->label = text;
    m_MessageDialog->show();
}

#include "dui/DuiVideoRecorderAuditor.h"

#include "canvas/OivCanvas.h"
#include "dui/DuiBaseDialog.h"
#include "video/OivVideoRecorder.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>

#include <utility>

namespace {

// By the index of the dialog's list items.
const SbVec2s kResolutions[] = {SbVec2s(320, 240), SbVec2s(640, 480), SbVec2s(800, 600),
                                SbVec2s(1024, 768)};
// "Best", "High", "Medium", "Low": compression rates in order of quality, "High" between "Best"
// and "Medium".
constexpr float kQualities[] = {0.0f, 0.15f, 0.3f, 1.0f};

constexpr const char* kStartId = "AID_video_start";
constexpr const char* kPauseId = "AID_pause";
constexpr const char* kEndId = "AID_video_end";

bool is(const SoDialogViz* control, const char* auditorId) {
    return control->auditorID.getValue() == auditorId;
}

// Copies the table entry the box selects into `value`; an index outside the table changes
// nothing.
template <class T, size_t N> void pick(const SoDialogComboBox* box, const T (&table)[N], T& value) {
    const int index = box->selectedItem.getValue();
    if (index >= 0 && index < int(N))
        value = table[index];
}

} // namespace

DuiVideoRecorderAuditor::DuiVideoRecorderAuditor(OivCanvas* canvas)
    : DuiBaseDialogAuditor(canvas), m_Quality(kQualities[kInitialQualityItem]),
      m_Resolution(kResolutions[kInitialResolutionItem]) {}

void DuiVideoRecorderAuditor::dialogPushButton(SoDialogPushButton* button) {
    if (!m_OivCanvas)
        return;
    if (is(button, kStartId)) {
        OivVideoRecorder* recorder = m_OivCanvas->getVideoRecorder();
        recorder->start(m_Resolution, m_Quality);
        // A start that opened no file (a folder without write access, a canvas without a viewer)
        // leaves the dialog idle rather than offering to pause or end a recording that is not.
        showRecording(recorder->hasRecording());
    } else if (is(button, kEndId)) {
        m_OivCanvas->getVideoRecorder()->stop();
        showRecording(false);
    }
}

void DuiVideoRecorderAuditor::dialogCheckBox(SoDialogCheckBox* box) {
    if (!m_OivCanvas || !is(box, kPauseId))
        return;
    if (box->state.getValue())
        m_OivCanvas->getVideoRecorder()->pause();
    else
        m_OivCanvas->getVideoRecorder()->resume();
}

void DuiVideoRecorderAuditor::dialogComboBox(SoDialogComboBox* box) {
    if (!m_OivCanvas)
        return;
    if (is(box, "AID_resolution"))
        pick(box, kResolutions, m_Resolution);
    else if (is(box, "AID_video_compression"))
        pick(box, kQualities, m_Quality);
}

void DuiVideoRecorderAuditor::showRecorderState() {
    if (m_OivCanvas)
        showRecording(m_OivCanvas->getVideoRecorder()->hasRecording());
}

void DuiVideoRecorderAuditor::showRecording(bool recording) {
    if (!m_DuiDialog)
        return;
    SoTopLevelDialog* dialog = m_DuiDialog->getTopLevelDialog();
    const std::pair<const char*, bool> flags[] = {
        {kStartId, !recording}, {kPauseId, recording}, {kEndId, recording}};
    for (const auto& [auditorId, enabled] : flags)
        if (SoDialogViz* control = DuiBaseDialog::findControl<SoDialogViz>(dialog, auditorId))
            control->enable = enabled;
}

#include "dui/DuiVideoRecorder.h"

#include "dui/DuiVideoRecorderAuditor.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogLabel.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoDialogSeparator.h>
#include <DialogViz/dialog/SoRowDialog.h>

namespace {

constexpr const char* kContainerId = "AID_video_recorder";
// Index order is the auditor's lookup order.
constexpr const char* kResolutionItems[] = {"320x240", "640x480", "800x600", "1024x768"};
constexpr const char* kQualityItems[] = {"Best", "High", "Medium", "Low"};
constexpr const char* kPauseText = "Pause";

template <size_t N>
void setItems(SoDialogComboBox* box, const char* const (&items)[N], int selected) {
    for (size_t i = 0; i < N; ++i)
        box->items.set1Value(int(i), items[i]);
    box->selectedItem = selected;
}

// A centred heading over the control that follows it.
SoDialogLabel* createHeading(const char* text) {
    SoDialogLabel* heading = new SoDialogLabel;
    heading->label = text;
    heading->labelAlignment = SoDialogLabel::CENTER;
    return heading;
}

} // namespace

void DuiVideoRecorder::makeDialog() {
    m_TopLevelDialog->label = "Video Recorder";
    SoRowDialog* row = new SoRowDialog;
    row->label = "MPEG Video";
    row->auditorID = kContainerId;
    m_TopLevelDialog->addChild(row);

    SoDialogLabel* resolutionHeading = createHeading("Resolution");
    SoDialogComboBox* resolution = createComboBox("AID_resolution", "");
    setItems(resolution, kResolutionItems, DuiVideoRecorderAuditor::kInitialResolutionItem);
    SoDialogLabel* qualityHeading = createHeading("Quality");
    SoDialogComboBox* quality = createComboBox("AID_video_compression", "");
    setItems(quality, kQualityItems, DuiVideoRecorderAuditor::kInitialQualityItem);
    SoDialogLabel* recordingHeading = createHeading("Recording");
    SoDialogPushButton* start = createPushButton("AID_video_start", "Start");
    SoDialogCheckBox* pause = createCheckBox("AID_pause", "", kPauseText, kPauseText);
    pause->enable = FALSE;
    SoDialogPushButton* end = createPushButton("AID_video_end", "End");
    end->enable = FALSE;

    SoDialogComponent* const controls[] = {resolutionHeading,
                                           resolution,
                                           new SoDialogSeparator,
                                           qualityHeading,
                                           quality,
                                           new SoDialogSeparator,
                                           recordingHeading,
                                           start,
                                           pause,
                                           end};
    for (SoDialogComponent* control : controls)
        row->addChild(control);
    for (SoDialogLabel* heading : {resolutionHeading, qualityHeading, recordingHeading})
        setCommonLayout(heading);
}

void DuiVideoRecorder::initialize() {
    // A second build would add a second set of controls and a second auditor acting on every
    // event, and leave the first auditor without an owner.
    if (m_Auditor)
        return;
    makeDialog();
    DuiVideoRecorderAuditor* auditor = new DuiVideoRecorderAuditor(m_OivCanvas);
    auditor->setDuiDialog(this);
    attachAuditor(auditor, kContainerId);
}

void DuiVideoRecorder::reset() {
    if (auto* auditor = dynamic_cast<DuiVideoRecorderAuditor*>(m_Auditor))
        auditor->showRecorderState();
}

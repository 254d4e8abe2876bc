// The video recorder dialog: a frame size ("320x240" to "1024x768") and a quality ("Best",
// "High", "Medium", "Low") chosen from two lists, and "Start", a "Pause" box and "End" that drive
// the bound canvas's video recorder. While a recording runs only the pause box and "End" are
// enabled; otherwise only "Start".
//
//   DuiVideoRecorder recorder;
//   recorder.setOivCanvas(&canvas);
//   recorder.initialize();
#ifndef OIVWINTAV_DUIVIDEORECORDER_H
#define OIVWINTAV_DUIVIDEORECORDER_H

#include "dui/DuiBaseDialog.h"

class DuiVideoRecorder : public DuiBaseDialog {
public:
    DuiVideoRecorder() = default;

    // "Video Recorder" with one row, "MPEG Video": the two lists under their labels, then the
    // recording controls; "640x480" and "Medium" selected, only "Start" enabled.
    void makeDialog() override;
    // Builds the dialog and gives it an auditor that also updates this dialog's buttons.
    void initialize() override;
    // Shows the recording buttons of the canvas's recorder as it is: idle after a recording that
    // stopped by itself (its file could not be written), recording while one runs.
    void reset() override;
};

#endif // OIVWINTAV_DUIVIDEORECORDER_H

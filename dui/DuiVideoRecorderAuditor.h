// Keeps the video recorder dialog's frame size and quality and turns "Start", the pause box and
// "End" into start, pause, resume and stop on the canvas's video recorder, switching the
// dialog's recording buttons between the idle and the recording state; a "Start" that could not
// open a file leaves them idle. Every event is ignored while no canvas is bound.
#ifndef OIVWINTAV_DUIVIDEORECORDERAUDITOR_H
#define OIVWINTAV_DUIVIDEORECORDERAUDITOR_H

#include "dui/DuiBaseDialogAuditor.h"

#include <Inventor/SbVec2s.h>

class DuiVideoRecorderAuditor : public DuiBaseDialogAuditor {
public:
    // The list items selected when the dialog is made: "640x480" and "Medium".
    static constexpr int kInitialResolutionItem = 1;
    static constexpr int kInitialQualityItem = 2;

    // The values of the initially selected items.
    explicit DuiVideoRecorderAuditor(OivCanvas* canvas);

    void dialogPushButton(SoDialogPushButton* button) override;
    void dialogCheckBox(SoDialogCheckBox* box) override;
    void dialogComboBox(SoDialogComboBox* box) override;

    // What the next "Start" passes on: the frame size in pixels and the compression rate, from 0
    // ("Best") to 1 ("Low").
    SbVec2s getResolution() const { return m_Resolution; }
    float getQuality() const { return m_Quality; }

    // Enables the buttons for the state the canvas's recorder is in. Nothing without a canvas.
    void showRecorderState();

protected:
    float m_Quality;
    SbVec2s m_Resolution;

private:
    // Enables "Start" when idle, the pause box and "End" when recording.
    void showRecording(bool recording);
};

#endif // OIVWINTAV_DUIVIDEORECORDERAUDITOR_H

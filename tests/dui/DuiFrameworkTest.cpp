// Dialogs registered with a canvas: which resets an updateDUI makes, also when resets register,
// unregister or delete dialogs; the change listener; what a dialog's destruction releases.
#include "OivWinTav.h"
#include "dui/DuiIvVrmlFile.h"
#include "dui/DuiVideoRecorder.h"

#include <DialogViz/SoDialogVizAll.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A dialog that logs its resets under its name and runs an optional action inside the reset.
class ProbeDialog : public DuiBaseDialog {
public:
    ProbeDialog(std::string name, std::vector<std::string>& log) : m_Name(name), m_Log(log) {}
    void reset() override {
        m_Log.push_back(m_Name);
        if (onReset)
            onReset();
    }
    std::function<void()> onReset;

private:
    std::string m_Name;
    std::vector<std::string>& m_Log;
};

class DialogRegistry : public ::testing::Test {
protected:
    OivCanvas canvas;
    std::vector<std::string> resets;
};

TEST_F(DialogRegistry, EachRegisteredDialogIsResetOncePerUpdateInRegistrationOrder) {
    canvas.updateDUI(); // nothing registered yet
    ProbeDialog a("a", resets), b("b", resets);
    canvas.addDUI(&a);
    canvas.addDUI(&b);
    canvas.addDUI(&a);
    canvas.addDUI(nullptr);
    canvas.updateDUI();
    canvas.updateDUI();
    EXPECT_EQ(resets, (std::vector<std::string>{"a", "b", "a", "b"}));
}

TEST_F(DialogRegistry, DialogsRegisteredDuringAnUpdateAreReachedInTheSameUpdate) {
    ProbeDialog a("a", resets), late("late", resets);
    a.onReset = [&] { canvas.addDUI(&late); };
    canvas.addDUI(&a);
    canvas.updateDUI();
    EXPECT_EQ(resets, (std::vector<std::string>{"a", "late"}));
}

TEST_F(DialogRegistry, UnregisteringDuringAnUpdateSkipsNoOtherDialog) {
    ProbeDialog a("a", resets), b("b", resets), c("c", resets);
    b.onReset = [&] { canvas.removeDUI(&a); }; // removes an earlier one
    canvas.addDUI(&a);
    canvas.addDUI(&b);
    canvas.addDUI(&c);
    canvas.updateDUI();
    EXPECT_EQ(resets, (std::vector<std::string>{"a", "b", "c"}));

    resets.clear();
    b.onReset = [&] { canvas.removeDUI(&b); }; // removes itself
    canvas.updateDUI();
    canvas.updateDUI();
    EXPECT_EQ(resets, (std::vector<std::string>{"b", "c", "c"}));
}

TEST_F(DialogRegistry, AnUpdateInsideAResetFinishesTheOuterWalk) {
    ProbeDialog a("a", resets), b("b", resets);
    int depth = 0;
    a.onReset = [&] {
        if (depth++ == 0)
            canvas.updateDUI();
    };
    canvas.addDUI(&a);
    canvas.addDUI(&b);
    canvas.updateDUI();
    EXPECT_EQ(resets, (std::vector<std::string>{"a", "a", "b", "b"}));
}

TEST_F(DialogRegistry, ADeletedDialogIsNoLongerReset) {
    ProbeDialog kept("kept", resets);
    ProbeDialog* gone = new ProbeDialog("gone", resets);
    gone->setOivCanvas(&canvas);
    canvas.addDUI(gone);
    canvas.addDUI(&kept);
    delete gone; // the sanitizer build catches a reset of the deleted dialog
    canvas.updateDUI();
    EXPECT_EQ(resets, (std::vector<std::string>{"kept"}));
}

TEST(DialogLifetime, ADialogOutlivingItsCanvasIsUnboundAndDiesCleanly) {
    std::vector<std::string> resets;
    ProbeDialog dialog("d", resets);
    {
        OivCanvas canvas;
        dialog.setOivCanvas(&canvas);
        canvas.addDUI(&dialog);
    }
    EXPECT_EQ(dialog.getOivCanvas(), nullptr);
}

// The video and scene file dialogs have nothing to refresh, so a host may well bind them without
// registering them: their canvas going still leaves them unbound, and their buttons do nothing.
TEST(DialogLifetime, ADialogBoundButNeverRegisteredIsUnboundWhenItsCanvasGoes) {
    DuiVideoRecorder dialog;
    OivCanvas* other = new OivCanvas;
    {
        OivCanvas canvas;
        dialog.setOivCanvas(&canvas);
        dialog.initialize();
    }
    EXPECT_EQ(dialog.getOivCanvas(), nullptr);
    EXPECT_EQ(dialog.getAuditor()->getOivCanvas(), nullptr);
    DuiBaseDialog::findControl<SoDialogPushButton>(dialog.getTopLevelDialog(), "AID_video_start")
        ->press();
    // Another canvas going leaves a dialog bound elsewhere alone.
    dialog.setOivCanvas(other);
    { OivCanvas unrelated; }
    EXPECT_EQ(dialog.getOivCanvas(), other);
    delete other;
    EXPECT_EQ(dialog.getOivCanvas(), nullptr);
}

struct ChangeLog {
    std::vector<DuiBaseDialog*> senders;
    static void record(void* data, DuiBaseDialog* dialog) {
        static_cast<ChangeLog*>(data)->senders.push_back(dialog);
    }
};

TEST(DialogChange, NotifyChangeCallsTheListenerOnceWithItsDataUntilSwitchedOff) {
    DuiBaseDialog dialog;
    dialog.notifyChange(); // no listener: nothing to call
    ChangeLog log;
    dialog.setChangeCallback(ChangeLog::record, &log);
    dialog.notifyChange();
    EXPECT_EQ(log.senders, (std::vector<DuiBaseDialog*>{&dialog}));
    dialog.setChangeCallback(nullptr, &log);
    dialog.notifyChange();
    EXPECT_EQ(log.senders.size(), 1u);
}

TEST(DialogBase, APlainDialogStaysEmptyAfterInitialize) {
    OivCanvas canvas;
    DuiBaseDialog dialog;
    dialog.setOivCanvas(&canvas);
    dialog.initialize();
    dialog.reset();
    EXPECT_EQ(dialog.getAuditor(), nullptr);
    EXPECT_EQ(dialog.getDialogComponent(), nullptr);
    EXPECT_EQ(dialog.getTopLevelDialog()->getNumChildren(), 0);
    EXPECT_EQ(dialog.getTopLevelDialog()->getNumAuditors(), 0);
}

// An auditor that says when it dies, and a dialog that installs it the library's way.
class MortalAuditor : public DuiBaseDialogAuditor {
public:
    MortalAuditor(OivCanvas* canvas, bool& dead) : DuiBaseDialogAuditor(canvas), m_Dead(dead) {}
    ~MortalAuditor() override { m_Dead = true; }

private:
    bool& m_Dead;
};

class MortalDialog : public DuiBaseDialog {
public:
    explicit MortalDialog(bool& auditorDead) : m_AuditorDead(auditorDead) {}
    void makeDialog() override {
        SoRowDialog* row = new SoRowDialog;
        row->auditorID = "AID_row";
        row->addChild(createPushButton("AID_button", "Button"));
        m_TopLevelDialog->addChild(row);
    }
    void initialize() override {
        makeDialog();
        attachAuditor(new MortalAuditor(m_OivCanvas, m_AuditorDead), "AID_row");
    }

private:
    bool& m_AuditorDead;
};

TEST(DialogLifetime, DestroyingADialogReleasesItsAuditorTreeAndNotice) {
    bool auditorDead = false;
    OivCanvas canvas;
    MortalDialog* dialog = new MortalDialog(auditorDead);
    dialog->setOivCanvas(&canvas);
    dialog->initialize();
    ASSERT_NE(dialog->getDialogComponent(), nullptr);
    EXPECT_EQ(dialog->getAuditor()->getOivCanvas(), &canvas);
    SoTopLevelDialog* top = dialog->getTopLevelDialog();
    SoMessageDialog* notice = dialog->getAuditor()->getMessageDialog();
    top->ref();
    notice->ref();
    notice->show();
    delete dialog;
    EXPECT_TRUE(auditorDead);
    EXPECT_EQ(top->getNumAuditors(), 0) << "a deleted auditor must not stay registered";
    EXPECT_FALSE(notice->isShown());
    EXPECT_EQ(top->getRefCount(), 1) << "the dialog's own reference is released";
    EXPECT_EQ(notice->getRefCount(), 1);
    top->unref();
    notice->unref();
}

// A second initialize of any dialog builds nothing more: one set of controls, and one auditor,
// so that every event acts once.
TEST(DialogBase, EveryDialogIsBuiltOnce) {
    OivCanvas canvas;
    DuiCanvasToolbar toolbar;
    DuiIvVrmlFile sceneFile;
    DuiVideoRecorder videoRecorder;
    DuiMainTest mainTest;
    for (DuiBaseDialog* dialog :
         std::initializer_list<DuiBaseDialog*>{&toolbar, &sceneFile, &videoRecorder, &mainTest}) {
        dialog->setOivCanvas(&canvas);
        dialog->initialize();
        SoTopLevelDialog* top = dialog->getTopLevelDialog();
        const int controls = top->getNumChildren();
        DuiBaseDialogAuditor* auditor = dialog->getAuditor();
        dialog->initialize();
        EXPECT_EQ(top->getNumChildren(), controls);
        EXPECT_EQ(top->getNumAuditors(), 1);
        EXPECT_EQ(dialog->getAuditor(), auditor);
    }
}

} // namespace

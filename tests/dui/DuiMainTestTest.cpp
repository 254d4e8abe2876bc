// The test program's window: its tab container for the program's pages, and "Exit", which ends
// the program normally also when no canvas was ever bound.
#include "OivWinTav.h"

#include <DialogViz/SoDialogVizAll.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

TEST(TestDialog, TheTabContainerAppearsWithInitializeAndTakesThePagesOfTheProgram) {
    DuiMainTest controls;
    EXPECT_EQ(controls.getTabDialog(), nullptr);
    controls.initialize();
    SoTabDialog* tabs = controls.getTabDialog();
    ASSERT_NE(tabs, nullptr);
    EXPECT_STREQ(tabs->auditorID.getValue().getString(), "AID_testdialog_tab");
    EXPECT_EQ(tabs->getNumChildren(), 0);
    EXPECT_EQ(controls.getDialogComponent(), nullptr);
    EXPECT_EQ(tabs->getTopLevelDialog(), controls.getTopLevelDialog());

    // A page the program adds is operable and reaches the program's own auditor.
    struct PageAuditor : SoDialogAuditor {
        int pressed = 0;
        void dialogPushButton(SoDialogPushButton*) override { ++pressed; }
    } pageAuditor;
    SoColumnDialog* page = new SoColumnDialog;
    SoDialogPushButton* button = new SoDialogPushButton;
    page->addChild(button);
    tabs->addChild(page);
    controls.getTopLevelDialog()->addAuditor(&pageAuditor);
    button->press();
    EXPECT_EQ(pageAuditor.pressed, 1);
    controls.getTopLevelDialog()->removeAuditor(&pageAuditor);

    controls.initialize(); // a second call builds nothing more
    EXPECT_EQ(controls.getTopLevelDialog()->getNumChildren(), 2);
    EXPECT_EQ(controls.getTabDialog(), tabs);
}

void reportExitHandlers() {
    std::fputs("exit handlers ran", stderr);
}

TEST(TestDialogDeathTest, ExitEndsTheProgramNormallyWithoutACanvas) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DuiMainTest controls;
    controls.initialize();
    SoDialogPushButton* exitButton =
        DuiBaseDialog::findControl<SoDialogPushButton>(controls.getTopLevelDialog(), "AID_exit");
    ASSERT_NE(exitButton, nullptr);
    EXPECT_STREQ(exitButton->buttonLabel.getValue().getString(), "Exit");
    EXPECT_EXIT(
        {
            std::atexit(reportExitHandlers);
            exitButton->press();
            std::fputs("still running", stderr);
            std::abort();
        },
        ::testing::ExitedWithCode(0), "exit handlers ran");
}

TEST(UnitTestBase, ADerivedTestRunsAndIsDeletedThroughTheBase) {
    static int destroyed = 0;
    struct Failing : OivBaseUnitTest {
        bool runTest() override { return false; }
        ~Failing() override { ++destroyed; }
    };
    OivBaseUnitTest plain;
    EXPECT_TRUE(plain.initializeTest());
    EXPECT_TRUE(plain.runTest());
    OivBaseUnitTest* test = new Failing;
    EXPECT_TRUE(test->initializeTest());
    EXPECT_FALSE(test->runTest());
    delete test;
    EXPECT_EQ(destroyed, 1);
}

} // namespace

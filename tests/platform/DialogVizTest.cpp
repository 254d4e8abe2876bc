// The dialog toolkit: operating a control reaches the auditors of its top-level dialog in order,
// unless something above it is disabled; lookups by auditor identifier; dialog trees in .iv files;
// the notice hook.
#include <DialogViz/SoDialogVizAll.h>

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/SoOutput.h>
#include <Inventor/actions/SoWriteAction.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One line per callback heard: which auditor, which callback, which control.
struct Heard {
    int auditor;
    std::string callback;
    SoDialogViz* control;
    bool operator==(const Heard& o) const {
        return auditor == o.auditor && callback == o.callback && control == o.control;
    }
};

class RecordingAuditor : public SoDialogAuditor {
public:
    RecordingAuditor(int id, std::vector<Heard>& log) : m_Id(id), m_Log(log) {}
    void dialogPushButton(SoDialogPushButton* c) override { hear("push", c); }
    void dialogCheckBox(SoDialogCheckBox* c) override {
        hear(c->state.getValue() ? "check on" : "check off", c);
    }
    void dialogComboBox(SoDialogComboBox* c) override {
        hear("combo " + std::to_string(c->selectedItem.getValue()), c);
    }
    void tabDialog(SoTabDialog* c) override {
        hear("tab " + std::to_string(c->selectedPage.getValue()), c);
    }

private:
    void hear(const std::string& what, SoDialogViz* control) {
        m_Log.push_back({m_Id, what, control});
    }
    int m_Id;
    std::vector<Heard>& m_Log;
};

// Top level > column > (row > [button, box, combo], tab > [page column > button])
class DialogTree : public ::testing::Test {
protected:
    void SetUp() override {
        top = new SoTopLevelDialog;
        top->ref();
        column = add(top, new SoColumnDialog, "AID_column");
        row = add(column, new SoRowDialog, "AID_row");
        button = add(row, new SoDialogPushButton, "AID_button");
        box = add(row, new SoDialogCheckBox, "AID_box");
        combo = add(row, new SoDialogComboBox, "AID_combo");
        combo->items.set1Value(0, "zero");
        combo->items.set1Value(1, "one");
        combo->items.set1Value(2, "two");
        tab = add(column, new SoTabDialog, "AID_tab");
        page = add(tab, new SoColumnDialog, "AID_page");
        pageButton = add(page, new SoDialogPushButton, "AID_deep");
        top->addAuditor(&first);
        top->addAuditor(&second);
    }
    void TearDown() override { top->unref(); }

    template <class T> T* add(SoDialogGroup* parent, T* child, const char* id) {
        child->auditorID = id;
        parent->addChild(child);
        return child;
    }

    std::vector<Heard> log;
    RecordingAuditor first{1, log}, second{2, log};
    SoTopLevelDialog* top;
    SoColumnDialog* column;
    SoRowDialog* row;
    SoDialogPushButton* button;
    SoDialogCheckBox* box;
    SoDialogComboBox* combo;
    SoTabDialog* tab;
    SoColumnDialog* page;
    SoDialogPushButton* pageButton;
};

TEST_F(DialogTree, EachOperationReachesEveryAuditorInOrderWithTheNewValue) {
    button->press();
    box->toggle();
    box->toggle();
    combo->select(2);
    combo->select(2); // picking the selected item again is still an operation
    tab->selectPage(0);
    pageButton->press();
    const std::vector<Heard> expected = {
        {1, "push", button},     {2, "push", button},     {1, "check on", box},
        {2, "check on", box},    {1, "check off", box},   {2, "check off", box},
        {1, "combo 2", combo},   {2, "combo 2", combo},   {1, "combo 2", combo},
        {2, "combo 2", combo},   {1, "tab 0", tab},       {2, "tab 0", tab},
        {1, "push", pageButton}, {2, "push", pageButton},
    };
    EXPECT_EQ(log, expected);
}

TEST_F(DialogTree, DisabledControlsAndControlsBelowADisabledContainerReachNobody) {
    box->enable = FALSE;
    box->toggle();
    EXPECT_FALSE(box->state.getValue()) << "a disabled box must not flip";
    box->enable = TRUE;

    row->enable = FALSE;
    button->press();
    combo->select(1);
    EXPECT_EQ(combo->selectedItem.getValue(), 0);
    row->enable = TRUE;

    top->enable = FALSE;
    pageButton->press();
    tab->selectPage(0);
    top->enable = TRUE;

    // Items that do not exist cannot be picked.
    combo->select(3);
    combo->select(-1);
    tab->selectPage(1);
    EXPECT_TRUE(log.empty());

    // Setting a field directly is not an operation.
    box->state = TRUE;
    combo->selectedItem = 1;
    EXPECT_TRUE(log.empty());

    pageButton->press(); // everything enabled again
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(DialogTree, RemovedAuditorsAndControlsOutsideATopLevelDialogReachNobody) {
    top->removeAuditor(&first);
    top->addAuditor(&second); // already there: still heard once
    button->press();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].auditor, 2);

    SoDialogCheckBox* loose = new SoDialogCheckBox;
    loose->ref();
    loose->toggle();
    EXPECT_TRUE(loose->state.getValue());
    EXPECT_EQ(loose->getTopLevelDialog(), nullptr);
    loose->unref();
    EXPECT_EQ(log.size(), 1u);
}

// An auditor that, when a button is pressed, takes the other auditor out and deletes it, and
// releases the tree it belongs to: what a dialog closed from its own button does.
class ClosingAuditor : public SoDialogAuditor {
public:
    SoTopLevelDialog* top = nullptr;
    SoDialogAuditor* victim = nullptr;
    void dialogPushButton(SoDialogPushButton*) override {
        top->removeAuditor(victim);
        delete victim;
        victim = nullptr;
        top->unref();
    }
};

TEST(DialogRound, AnAuditorMayRemoveOthersAndReleaseTheTreeDuringTheRound) {
    std::vector<Heard> log;
    SoTopLevelDialog* top = new SoTopLevelDialog;
    top->ref();
    SoDialogPushButton* close = new SoDialogPushButton;
    top->addChild(close);
    ClosingAuditor closer;
    closer.top = top;
    closer.victim = new RecordingAuditor(7, log);
    top->addAuditor(&closer);
    top->addAuditor(closer.victim);
    close->press(); // the sanitizer build catches a use of the deleted auditor or tree
    EXPECT_TRUE(log.empty());
}

TEST(DialogRound, OperatingAnUnreferencedTreeLeavesItAlive) {
    SoTopLevelDialog* top = new SoTopLevelDialog;
    SoDialogPushButton* button = new SoDialogPushButton;
    top->addChild(button);
    std::vector<Heard> log;
    RecordingAuditor auditor(1, log);
    top->addAuditor(&auditor);
    button->press();
    button->press(); // the first round must not have deleted the tree
    EXPECT_EQ(log.size(), 2u);
    top->ref();
    top->unref();
}

TEST_F(DialogTree, SearchForAuditorIdIsDepthFirstAndExact) {
    EXPECT_EQ(top->searchForAuditorId("AID_deep"), pageButton);
    EXPECT_EQ(top->searchForAuditorId("AID_row"), row);
    EXPECT_EQ(top->searchForAuditorId("AID_combo"), combo);
    EXPECT_EQ(top->searchForAuditorId("AID_Combo"), nullptr);
    EXPECT_EQ(top->searchForAuditorId("AID_nothing"), nullptr);
    EXPECT_EQ(top->searchForAuditorId(""), nullptr) << "the top level has no identifier";

    // The first of two equal identifiers in depth-first order wins, also over a later sibling
    // of a container that holds one.
    SoDialogPushButton* later = add(column, new SoDialogPushButton, "AID_deep");
    EXPECT_EQ(top->searchForAuditorId("AID_deep"), pageButton);
    tab->removeChild(page);
    EXPECT_EQ(top->searchForAuditorId("AID_deep"), later);
}

std::string writeToString(SoNode* root) {
    SoOutput out;
    out.setBuffer(malloc(1024), 1024, realloc);
    SoWriteAction write(&out);
    write.apply(root);
    void* buffer;
    size_t size;
    out.getBuffer(buffer, size);
    std::string text(static_cast<char*>(buffer), size);
    free(buffer);
    return text;
}

SoNode* readFromString(const std::string& text) {
    SoInput in;
    in.setBuffer(text.data(), text.size());
    SoSeparator* root = SoDB::readAll(&in);
    if (!root)
        return nullptr;
    root->ref();
    SoNode* first = root->getNumChildren() == 1 ? root->getChild(0) : nullptr;
    if (first)
        first->ref();
    root->unref();
    if (first)
        first->unrefNoDelete();
    return first;
}

TEST_F(DialogTree, ATreeWrittenToAFileReadsBackWithTheSameControlsAndFields) {
    top->label = "Window";
    box->onString = "Yes";
    box->offString = "No";
    box->state = TRUE;
    combo->selectedItem = 2;
    combo->fixedHeight = TRUE;
    button->buttonLabel = "Go";
    button->enable = FALSE;
    tab->selectedPage = 0;
    SoDialogLabel* text = add(column, new SoDialogLabel, "AID_text");
    text->labelAlignment = SoDialogLabel::RIGHT;
    add(column, new SoDialogSeparator, "");

    const std::string written = writeToString(top);
    SoNode* node = readFromString(written);
    ASSERT_NE(node, nullptr) << written;
    node->ref();
    ASSERT_TRUE(node->isOfType(SoTopLevelDialog::getClassTypeId()));
    SoTopLevelDialog* copy = static_cast<SoTopLevelDialog*>(node);
    EXPECT_STREQ(copy->label.getValue().getString(), "Window");

    auto* readBox = static_cast<SoDialogCheckBox*>(copy->searchForAuditorId("AID_box"));
    auto* readCombo = static_cast<SoDialogComboBox*>(copy->searchForAuditorId("AID_combo"));
    auto* readButton = static_cast<SoDialogPushButton*>(copy->searchForAuditorId("AID_button"));
    auto* readText = static_cast<SoDialogLabel*>(copy->searchForAuditorId("AID_text"));
    auto* readDeep = copy->searchForAuditorId("AID_deep");
    ASSERT_TRUE(readBox && readCombo && readButton && readText && readDeep) << written;
    EXPECT_TRUE(readBox->isOfType(SoDialogCheckBox::getClassTypeId()));
    EXPECT_TRUE(readBox->state.getValue());
    EXPECT_STREQ(readBox->onString.getValue().getString(), "Yes");
    EXPECT_STREQ(readBox->offString.getValue().getString(), "No");
    ASSERT_EQ(readCombo->items.getNum(), 3);
    EXPECT_STREQ(readCombo->items[1].getString(), "one");
    EXPECT_EQ(readCombo->selectedItem.getValue(), 2);
    EXPECT_TRUE(readCombo->fixedHeight.getValue());
    EXPECT_FALSE(readCombo->fixedWidth.getValue());
    EXPECT_STREQ(readButton->buttonLabel.getValue().getString(), "Go");
    EXPECT_FALSE(readButton->enable.getValue());
    EXPECT_EQ(readText->labelAlignment.getValue(), int(SoDialogLabel::RIGHT));

    // Same shape: the column holds row, tab, label, separator in that order.
    SoDialogGroup* readColumn = static_cast<SoDialogGroup*>(copy->getChild(0));
    ASSERT_EQ(readColumn->getNumChildren(), 4);
    EXPECT_TRUE(readColumn->getChild(3)->isOfType(SoDialogSeparator::getClassTypeId()));
    EXPECT_EQ(static_cast<SoDialogGroup*>(readColumn->getChild(0))->getNumChildren(), 3);

    // The read tree works: its controls reach an auditor of the read top-level dialog.
    std::vector<Heard> heard;
    RecordingAuditor auditor(9, heard);
    copy->addAuditor(&auditor);
    readBox->toggle();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].callback, "check off");
    node->unref();
}

TEST(DialogFile, ANonDialogChildOfAContainerIsARefusedFile) {
    EXPECT_EQ(readFromString("#Inventor V2.1 ascii\nSoRowDialog { SoCube {} }\n"), nullptr);
}

struct ShowLog {
    std::vector<std::string> messages;
    static void record(void* data, SoMessageDialog* dialog) {
        static_cast<ShowLog*>(data)->messages.push_back(dialog->title.getValue().getString() +
                                                        std::string(": ") +
                                                        dialog->label.getValue().getString());
    }
};

TEST(MessageDialog, ShowReachesTheHookEachTimeAndDestroyCloses) {
    ShowLog log;
    SoMessageDialog::setShowCallback(ShowLog::record, &log);
    SoMessageDialog* notice = new SoMessageDialog;
    notice->ref();
    notice->title = "Title";
    notice->label = "first";
    notice->show();
    notice->label = "second";
    notice->show();
    EXPECT_TRUE(notice->isShown());
    notice->destroy();
    EXPECT_FALSE(notice->isShown());
    SoMessageDialog::setShowCallback(nullptr, nullptr);
    notice->show(); // nobody listens any more
    notice->unref();
    EXPECT_EQ(log.messages, (std::vector<std::string>{"Title: first", "Title: second"}));
}

} // namespace

namespace {

// What the top-level dialogs' show hook heard: "<label> shown" or "<label> hidden".
struct WindowLog {
    std::vector<std::string> changes;
    static void record(void* data, SoTopLevelDialog* dialog) {
        static_cast<WindowLog*>(data)->changes.push_back(
            std::string(dialog->label.getValue().getString()) +
            (dialog->isShown() ? " shown" : " hidden"));
    }
};

TEST(TopLevelDialog, ShowAndHideReachTheHookOnChangesOnlyAndADyingShownDialogHides) {
    WindowLog log;
    SoTopLevelDialog::setShowCallback(WindowLog::record, &log);
    SoTopLevelDialog* dialog = new SoTopLevelDialog;
    dialog->ref();
    dialog->label = "Tools";
    dialog->hide(); // not shown: nothing to tell
    dialog->show();
    dialog->show();
    EXPECT_TRUE(dialog->isShown());
    dialog->hide();
    EXPECT_FALSE(dialog->isShown());
    dialog->show();
    dialog->unref(); // whoever shows it must let go now
    SoTopLevelDialog::setShowCallback(nullptr, nullptr);
    EXPECT_EQ(log.changes, (std::vector<std::string>{"Tools shown", "Tools hidden", "Tools shown",
                                                     "Tools hidden"}));
}

} // namespace

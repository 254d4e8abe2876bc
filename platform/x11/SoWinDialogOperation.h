// What the user did to a control while a dialog frame was drawn: pressed a button, clicked a
// check box, picked a combo-box item or a tab. It is carried out after the frame, through the
// same press, toggle, select and selectPage the host's own code and the tests use, so that
// auditors hear a click exactly as they hear those calls.
#ifndef OIVWINTAV_SOWINDIALOGOPERATION_H
#define OIVWINTAV_SOWINDIALOGOPERATION_H

class SoDialogComponent;

class SoWinDialogOperation {
public:
    enum Kind { NONE, PRESS, TOGGLE, SELECT, SELECT_PAGE };

    SoWinDialogOperation() = default;
    ~SoWinDialogOperation();
    SoWinDialogOperation(const SoWinDialogOperation&) = delete;
    SoWinDialogOperation& operator=(const SoWinDialogOperation&) = delete;

    // Remembers the operation (the control is referenced until it is carried out). A frame has
    // one click: a second request in the same frame is ignored.
    void request(Kind kind, SoDialogComponent* control, int index = 0);
    bool isPending() const { return m_Kind != NONE; }
    // Carries the pending operation out and forgets it.
    void perform();

private:
    void clear();

    Kind m_Kind = NONE;
    SoDialogComponent* m_Control = nullptr;
    int m_Index = 0;
};

#endif // OIVWINTAV_SOWINDIALOGOPERATION_H

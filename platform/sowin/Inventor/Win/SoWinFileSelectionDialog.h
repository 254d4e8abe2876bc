// The file selection dialog: a title, a starting directory, a filter of extensions, an open
// or save mode, and a callback for the moment the user has chosen a file. With no display,
// show() only marks the dialog shown; the choice is made through accept(), as the on-screen
// dialog does when its OK button is pressed.
#ifndef OIVWINTAV_SOWINFILESELECTIONDIALOG_H
#define OIVWINTAV_SOWINFILESELECTIONDIALOG_H

#include <Inventor/SbBasic.h>
#include <Inventor/SbString.h>

class SoWinFileSelectionDialog {
public:
    enum Mode { OPEN_FILE = 0, SAVE_FILE = 1 };

    typedef void AcceptCB(void* data, SoWinFileSelectionDialog* dialog);

    SoWinFileSelectionDialog();
    ~SoWinFileSelectionDialog();
    SoWinFileSelectionDialog(const SoWinFileSelectionDialog&) = delete;
    SoWinFileSelectionDialog& operator=(const SoWinFileSelectionDialog&) = delete;

    // The folder a relative file name is taken in.
    void setFileDirectory(const char* directory);
    const char* getFileDirectory(void) const { return m_Directory.getString(); }

    // `extensions` separated by ';' ("iv;wrl"), with one description each, also separated by
    // ';' ("Inventor files (*.iv);VRML files (*.wrl)").
    void setFilter(const char* extensions, const char* descriptions);
    const char* getFilterExtensions(void) const { return m_Extensions.getString(); }
    const char* getFilterDescriptions(void) const { return m_Descriptions.getString(); }

    // The dialog's title.
    void setTitle(const char* title);
    const char* getTitle(void) const { return m_Title.getString(); }

    // 0 open (the file must exist), 1 save. Other values are kept and act as open.
    void setMode(int mode) { m_Mode = mode; }
    int getMode(void) const { return m_Mode; }

    // Called with `data` when the user accepts a file; replaces the previous one.
    void setAcceptCallback(AcceptCB* callback, void* data);

    // Marks the dialog shown or hidden; the accept callback receives the user's choice.
    void show(void) { m_Shown = true; }
    void hide(void) { m_Shown = false; }
    SbBool isVisible(void) const { return m_Shown; }

    // The user chose `fileName`: a relative name is taken in the file directory. In open mode
    // a file that does not exist is refused (FALSE, nothing changes). Otherwise the dialog
    // closes, getFileName gives the name and the accept callback runs.
    SbBool accept(const char* fileName);

    // The last accepted file name; empty before the first.
    const char* getFileName(void) const { return m_FileName.getString(); }

private:
    SbString m_Directory;
    SbString m_Extensions;
    SbString m_Descriptions;
    SbString m_Title;
    SbString m_FileName;
    int m_Mode = OPEN_FILE;
    bool m_Shown = false;
    AcceptCB* m_AcceptCB = nullptr;
    void* m_AcceptData = nullptr;
};

#endif // OIVWINTAV_SOWINFILESELECTIONDIALOG_H

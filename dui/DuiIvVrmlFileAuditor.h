// Turns the scene file dialog's buttons into a file selection and the chosen file into an import
// into, or an export of, the canvas's 3D root (the scene without the overlay and interface
// roots). The file selection dialog is made on the first button event and kept; the format boxes'
// choices hold for every later save.
#ifndef OIVWINTAV_DUIIVVRMLFILEAUDITOR_H
#define OIVWINTAV_DUIIVVRMLFILEAUDITOR_H

#include "dui/DuiBaseDialogAuditor.h"

class SoWinFileSelectionDialog;

class DuiIvVrmlFileAuditor : public DuiBaseDialogAuditor {
public:
    // An auditor driving `canvas` from the scene file dialog.
    explicit DuiIvVrmlFileAuditor(OivCanvas* canvas);
    // Destroys the file selection dialog, then the notice box.
    virtual ~DuiIvVrmlFileAuditor();

    // "Open..." and "Import..." show the file selection for opening, "Save..." for saving.
    void dialogPushButton(SoDialogPushButton* button) override;
    // The format boxes; ignored without a canvas.
    void dialogCheckBox(SoDialogCheckBox* box) override;

    // The user chose a file in `dialog`; `userData` is the auditor. In open mode the file is
    // loaded (replacing the scene after "Open...", added after "Import..."), in save mode the
    // scene is written; an empty name does neither.
    static void fileAcceptCB(void* userData, SoWinFileSelectionDialog* dialog);

    // Appends the file's scene to the canvas's 3D root, or with `replace` makes it the root's
    // only content, and frames the whole scene, also when the file could not be read. A file that
    // cannot be read leaves the scene as it was, also when it was to replace it. Does nothing
    // without a canvas that has a scene manager and a viewer.
    static void loadSceneFile(const char* fileName, OivCanvas* canvas, bool replace);
    // Writes the canvas's 3D root in the format the boxes chose; the file is replaced only once
    // it is completely written.
    void saveSceneFile(const char* fileName, OivCanvas* canvas);

    // Null before the first button event.
    SoWinFileSelectionDialog* getFileDialog() const { return m_FileDialog; }

protected:
    SoWinFileSelectionDialog* m_FileDialog;
    bool m_ToVRML2;
    bool m_Binary;
    bool m_ReplaceScene;

private:
    void createFileDialog();
    void showFileDialog(const char* title, int mode);
};

#endif // OIVWINTAV_DUIIVVRMLFILEAUDITOR_H

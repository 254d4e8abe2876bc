// A window of its own that shows one top-level dialog of the dialog toolkit, or one notice,
// drawn with Dear ImGui (its OpenGL 2 renderer) through the GL widget, so it draws, swaps and
// reads back like any other drawing window. The window's mouse messages are fed to ImGui, one
// frame per message (this ImGui keeps no queue of input events), and what a click operated is
// carried out after the frame, from the message loop.
//
// A notice is a dialog owned by the application's window (kept above it by a window manager),
// titled by the window alone, sized to its message and OK button, and answered by OK, Return or
// Escape. While a notice is open the dialog windows take no input: a click on one brings the
// notice to the front instead.
#ifndef OIVWINTAV_SOWINIMGUIWINDOW_H
#define OIVWINTAV_SOWINIMGUIWINDOW_H

#include <Inventor/Win/SoWinGLWidget.h>

#include <memory>

class SoMessageDialog;
class SoTopLevelDialog;

class SoWinImGuiWindow : public SoWinGLWidget {
public:
    typedef SoWinGLWidget inherited;
    // Called when the user closed the window (through the window manager, or a notice's OK).
    typedef void ClosedCB(void* data, SoWinImGuiWindow* window);
    // Called when a dialog's window took the height its controls need (after its first frame,
    // and whenever the controls change it).
    typedef void ResizedCB(void* data, SoWinImGuiWindow* window);

    // Shows `dialog` (not referenced: whoever made the window lets go of it, with release,
    // before the dialog goes), titled with its label. Hidden until shown.
    explicit SoWinImGuiWindow(SoTopLevelDialog* dialog);
    // Shows the notice, titled with its title, its message and an OK button.
    explicit SoWinImGuiWindow(SoMessageDialog* notice);
    ~SoWinImGuiWindow() override;

    SoTopLevelDialog* getDialog() const;
    SoMessageDialog* getNotice() const;

    void setClosedCallback(ClosedCB* callback, void* data);
    void setResizedCallback(ResizedCB* callback, void* data);

    // Forgets the dialog or notice and hides: nothing is drawn or operated any more.
    void release();

    // Where `node` (a control of the dialog, or the notice for its OK button) was drawn last, in
    // screen pixels; with an index, that item of a combo box or tab of a tab container. False
    // when it was not drawn.
    bool findOnScreen(const void* node, RECT* screen, int index = -1) const;

protected:
    void actualRedraw(void) override;
    void processEvent(MSG* msg) override;

private:
    struct Private;
    friend struct Private;
    SoWinImGuiWindow(SoTopLevelDialog* dialog, SoMessageDialog* notice);

    std::unique_ptr<Private> m_Private;
};

#endif // OIVWINTAV_SOWINIMGUIWINDOW_H

// Draws a dialog-toolkit tree with Dear ImGui, inside the current ImGui window of the current
// frame: rows side by side (wrapping onto a new line where the window ends), columns and the
// top-level dialog one below another, tabs as a tab bar showing the selected page; push buttons,
// check boxes showing their on or off text, combo boxes with their items, labels and separators;
// disabled controls (or controls below a disabled container) greyed and inert. A control's own
// label, when set, is shown before it.
//
// Nothing is changed while drawing: what the user operated is requested from the operation,
// carried out after the frame.
#ifndef OIVWINTAV_SOWINIMGUIDIALOG_H
#define OIVWINTAV_SOWINIMGUIDIALOG_H

#include <windows.h>

#include <map>
#include <utility>

class SoDialogComponent;
class SoDialogGroup;
class SoWinDialogOperation;

class SoWinImGuiDialog {
public:
    // Where each control was drawn, in the window's client pixels: by its node and, for a part
    // of it (a combo box's item, a tab), the part's index; -1 for the whole.
    typedef std::map<std::pair<const void*, int>, RECT> Places;

    SoWinImGuiDialog(SoWinDialogOperation& operation, Places& places);
    SoWinImGuiDialog(const SoWinImGuiDialog&) = delete;
    SoWinImGuiDialog& operator=(const SoWinImGuiDialog&) = delete;

    // Draws the components of `dialog` one below another; returns the height they took, window
    // padding included.
    float drawTopLevel(SoDialogGroup* dialog);
    // Records the last ImGui item as the place of `node` (its part `index`).
    void remember(const void* node, int index = -1);

private:
    enum Direction { ACROSS, DOWN };

    void drawComponent(SoDialogComponent* component, Direction direction);
    void drawChildren(SoDialogGroup* group, Direction direction);
    void drawTabs(SoDialogGroup* tabs);
    void drawControl(SoDialogComponent* control, Direction direction);
    void drawLabelOf(SoDialogComponent* control);

    SoWinDialogOperation& m_Operation;
    Places& m_Places;
};

#endif // OIVWINTAV_SOWINIMGUIDIALOG_H

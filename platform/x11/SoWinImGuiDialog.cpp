#include "SoWinImGuiDialog.h"

#include "SoWinDialogOperation.h"

#include <DialogViz/dialog/SoColumnDialog.h>
#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogLabel.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoDialogSeparator.h>
#include <DialogViz/dialog/SoRowDialog.h>
#include <DialogViz/dialog/SoTabDialog.h>

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <string>

namespace {

float textWidth(const char* text) {
    return ImGui::CalcTextSize(text, nullptr, true).x;
}

bool hasLabel(const SoDialogComponent* control) {
    return control->label.getValue().getLength() > 0;
}

float labelWidth(const SoDialogComponent* control) {
    return hasLabel(control)
               ? textWidth(control->label.getValue().getString()) + ImGui::GetStyle().ItemSpacing.x
               : 0.0f;
}

// ImGui tells widgets apart by their text; the part after "##" is not shown.
std::string widgetText(const SbString& text, const char* id) {
    return std::string(text.getString()) + "##" + id;
}

const char* selectedItem(const SoDialogComboBox* combo) {
    const int selected = combo->selectedItem.getValue();
    return selected >= 0 && selected < combo->items.getNum() ? combo->items[selected].getString()
                                                             : "";
}

float comboWidth(const SoDialogComboBox* combo) {
    float widest = 0.0f;
    for (int i = 0; i < combo->items.getNum(); ++i)
        widest = std::max(widest, textWidth(combo->items[i].getString()));
    return widest + ImGui::GetFrameHeight() + 2.0f * ImGui::GetStyle().FramePadding.x;
}

const SbString& checkBoxText(const SoDialogCheckBox* box) {
    return box->state.getValue() ? box->onString.getValue() : box->offString.getValue();
}

// How wide a control will be drawn, so that a row can start a new line before one that would
// not fit. Containers count as narrow: they go where the row is.
float widthOf(const SoDialogComponent* component) {
    const ImGuiStyle& style = ImGui::GetStyle();
    const float label = labelWidth(component);
    if (component->isOfType(SoDialogPushButton::getClassTypeId()))
        return label +
               textWidth(static_cast<const SoDialogPushButton*>(component)
                             ->buttonLabel.getValue()
                             .getString()) +
               2.0f * style.FramePadding.x;
    if (component->isOfType(SoDialogCheckBox::getClassTypeId()))
        return label + ImGui::GetFrameHeight() + style.ItemInnerSpacing.x +
               textWidth(checkBoxText(static_cast<const SoDialogCheckBox*>(component)).getString());
    if (component->isOfType(SoDialogComboBox::getClassTypeId()))
        return label + comboWidth(static_cast<const SoDialogComboBox*>(component));
    if (component->isOfType(SoDialogLabel::getClassTypeId()))
        return textWidth(component->label.getValue().getString());
    return style.ItemSpacing.x;
}

} // namespace

SoWinImGuiDialog::SoWinImGuiDialog(SoWinDialogOperation& operation, Places& places)
    : m_Operation(operation), m_Places(places) {}

float SoWinImGuiDialog::drawTopLevel(SoDialogGroup* dialog) {
    m_Places.clear();
    ImGui::BeginDisabled(!dialog->enable.getValue());
    drawChildren(dialog, DOWN);
    ImGui::EndDisabled();
    return ImGui::GetCursorPosY() - ImGui::GetStyle().ItemSpacing.y +
           ImGui::GetStyle().WindowPadding.y;
}

void SoWinImGuiDialog::drawComponent(SoDialogComponent* component, Direction direction) {
    ImGui::PushID(component);
    ImGui::BeginDisabled(!component->enable.getValue());
    if (component->isOfType(SoTabDialog::getClassTypeId())) {
        drawTabs(static_cast<SoDialogGroup*>(component));
    } else if (component->isOfType(SoDialogGroup::getClassTypeId())) {
        ImGui::BeginGroup();
        drawChildren(static_cast<SoDialogGroup*>(component),
                     component->isOfType(SoRowDialog::getClassTypeId()) ? ACROSS : DOWN);
        ImGui::EndGroup();
    } else {
        drawControl(component, direction);
    }
    ImGui::EndDisabled();
    ImGui::PopID();
}

void SoWinImGuiDialog::drawChildren(SoDialogGroup* group, Direction direction) {
    const ImGuiStyle& style = ImGui::GetStyle();
    for (int i = 0; i < group->getNumChildren(); ++i) {
        SoDialogComponent* child = group->getChild(i);
        if (direction == ACROSS && i > 0) {
            const float right = ImGui::GetItemRectMax().x - ImGui::GetWindowPos().x;
            if (right + style.ItemSpacing.x + widthOf(child) <=
                ImGui::GetWindowContentRegionMax().x)
                ImGui::SameLine();
        }
        drawComponent(child, direction);
    }
}

void SoWinImGuiDialog::drawTabs(SoDialogGroup* group) {
    SoTabDialog* tabs = static_cast<SoTabDialog*>(group);
    const int selected = tabs->selectedPage.getValue();
    if (!ImGui::BeginTabBar("tabs"))
        return;
    for (int i = 0; i < tabs->getNumChildren(); ++i) {
        SoDialogComponent* page = tabs->getChild(i);
        const std::string text = widgetText(page->label.getValue(), std::to_string(i).c_str());
        // The tab shown is always the selected page: a click only asks for another one.
        const ImGuiTabItemFlags flags = i == selected ? ImGuiTabItemFlags_SetSelected : 0;
        const bool open = ImGui::BeginTabItem(text.c_str(), nullptr, flags);
        if (ImGui::IsItemClicked() && i != selected)
            m_Operation.request(SoWinDialogOperation::SELECT_PAGE, tabs, i);
        remember(tabs, i);
        if (open) {
            drawComponent(page, DOWN);
            ImGui::EndTabItem();
        }
    }
    ImGui::EndTabBar();
}

void SoWinImGuiDialog::drawLabelOf(SoDialogComponent* control) {
    if (!hasLabel(control))
        return;
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(control->label.getValue().getString());
    ImGui::SameLine();
}

void SoWinImGuiDialog::drawControl(SoDialogComponent* control, Direction direction) {
    if (control->isOfType(SoDialogPushButton::getClassTypeId())) {
        drawLabelOf(control);
        auto* button = static_cast<SoDialogPushButton*>(control);
        if (ImGui::Button(widgetText(button->buttonLabel.getValue(), "button").c_str()))
            m_Operation.request(SoWinDialogOperation::PRESS, control);
        remember(control);
    } else if (control->isOfType(SoDialogCheckBox::getClassTypeId())) {
        drawLabelOf(control);
        auto* box = static_cast<SoDialogCheckBox*>(control);
        bool checked = box->state.getValue();
        if (ImGui::Checkbox(widgetText(checkBoxText(box), "box").c_str(), &checked))
            m_Operation.request(SoWinDialogOperation::TOGGLE, control);
        remember(control);
    } else if (control->isOfType(SoDialogComboBox::getClassTypeId())) {
        drawLabelOf(control);
        auto* combo = static_cast<SoDialogComboBox*>(control);
        ImGui::SetNextItemWidth(comboWidth(combo));
        const bool open = ImGui::BeginCombo("##combo", selectedItem(combo));
        remember(control);
        if (open) {
            for (int i = 0; i < combo->items.getNum(); ++i) {
                ImGui::PushID(i);
                if (ImGui::Selectable(combo->items[i].getString(),
                                      i == combo->selectedItem.getValue()))
                    m_Operation.request(SoWinDialogOperation::SELECT, control, i);
                remember(control, i);
                ImGui::PopID();
            }
            ImGui::EndCombo();
        }
    } else if (control->isOfType(SoDialogLabel::getClassTypeId())) {
        const char* text = control->label.getValue().getString();
        const int alignment = static_cast<SoDialogLabel*>(control)->labelAlignment.getValue();
        const float room = ImGui::GetContentRegionAvail().x - textWidth(text);
        if (direction == DOWN && alignment != SoDialogLabel::LEFT && room > 0.0f)
            ImGui::SetCursorPosX(ImGui::GetCursorPosX() +
                                 (alignment == SoDialogLabel::CENTER ? room / 2.0f : room));
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(text);
        remember(control);
    } else if (control->isOfType(SoDialogSeparator::getClassTypeId())) {
        ImGui::SeparatorEx(direction == ACROSS ? ImGuiSeparatorFlags_Vertical
                                               : ImGuiSeparatorFlags_Horizontal);
    }
}

void SoWinImGuiDialog::remember(const void* node, int index) {
    // ImGui's coordinates are the display's, which is the whole client area of the window.
    const ImVec2 min = ImGui::GetItemRectMin();
    const ImVec2 max = ImGui::GetItemRectMax();
    m_Places[{node, index}] = RECT{LONG(min.x), LONG(min.y), LONG(max.x), LONG(max.y)};
}

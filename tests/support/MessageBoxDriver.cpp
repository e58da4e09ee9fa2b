#include "tests/support/MessageBoxDriver.h"

#include <algorithm>

namespace {

const int MessageTextId = 0xFFFF;
const int MessageIconId = 0x440;

}  // namespace

bool IsMessageBox(HWND window)
{
    const std::vector<Control> controls = ListControls(window);
    const bool onlyTextAndButtons = std::all_of(controls.begin(), controls.end(), [](const Control& control) {
        return control.className == L"Static" || control.className == L"Button";
    });
    const bool hasCheckBox = std::any_of(controls.begin(), controls.end(), [](const Control& control) {
        const LONG style = GetWindowLongW(control.window, GWL_STYLE) & BS_TYPEMASK;
        return control.className == L"Button" && style != BS_PUSHBUTTON && style != BS_DEFPUSHBUTTON;
    });
    return onlyTextAndButtons && !hasCheckBox && FindControl(controls, L"Static", MessageTextId);
}

MessageBoxView WaitForMessageBox(const DrivenProcess& process, unsigned long timeoutMs)
{
    return ReadMessageBox(process.WaitForDialog(IsMessageBox, timeoutMs));
}

MessageBoxView ReadMessageBox(HWND window)
{
    MessageBoxView view;
    view.window = window;
    if (!view.window)
        return view;
    // The box becomes visible before its icon is painted.
    Sleep(300);
    view.caption = TextOf(view.window);
    const std::vector<Control> controls = ListControls(view.window);
    if (const Control* text = FindControl(controls, L"Static", MessageTextId))
        view.text = text->text;
    for (const Control& control : controls) {
        if (control.className == L"Button" && IsWindowVisible(control.window))
            view.buttons.push_back(control.id);
    }
    std::sort(view.buttons.begin(), view.buttons.end());
    view.icon = ReadIcon(view.window, MessageIconId);
    return view;
}

void AnswerMessageBox(const MessageBoxView& box, int buttonId)
{
    PressButton(box.window, buttonId);
}

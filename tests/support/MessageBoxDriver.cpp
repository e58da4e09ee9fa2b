#include "tests/support/MessageBoxDriver.h"

#include <algorithm>

namespace {

const int MessageTextId = 0xFFFF;
const int MessageIconId = 0x440;

}  // namespace

MessageBoxView WaitForMessageBox(const DrivenProcess& process, unsigned long timeoutMs)
{
    MessageBoxView view;
    view.window = process.WaitForWindow(L"#32770", timeoutMs);
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

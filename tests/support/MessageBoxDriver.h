#pragma once

#include <string>
#include <vector>

#include "tests/support/UiDriver.h"

// A message box of the driven process as a person sees it.
struct MessageBoxView {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    IconStyle icon = IconStyle::None;
    std::vector<int> buttons;  // control ids, in ascending order
};

// A message box holds only its text, its icon and its buttons; the dialogs
// of the launcher and the Save As dialog hold other controls too.
bool IsMessageBox(HWND window);
MessageBoxView ReadMessageBox(HWND window);

// Waits for the process's next message box and reads it; window is null
// when none came.
MessageBoxView WaitForMessageBox(const DrivenProcess& process, unsigned long timeoutMs = 90000);
void AnswerMessageBox(const MessageBoxView& box, int buttonId);

#pragma once

#include <windows.h>

#include <exception>
#include <stdexcept>
#include <utility>

#include "launcher/SetupMessage.h"
#include "resources/resource.h"

// A modal dialog built from a template of the running executable. T is the
// derived class; one dialog of each class may run at a time, and dialogs of
// different classes may nest (a handler of one shows another).
template <typename T>
class Dialog {
public:
    Dialog(HINSTANCE instance, int templateId, HWND parent) noexcept
        : instance(instance), templateId(templateId), parent(parent)
    {
    }
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Returns what the dialog ended with; only 1 means OK. An error thrown by
    // a handler ends the dialog and is thrown again from here. A dialog that
    // cannot be created throws "DialogBoxParam failed": taken for a Cancel,
    // it would end the run silently with nothing shown.
    INT_PTR Show();

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The dialog of class T being shown, or null.
    static T* Current() noexcept { return current; }
    HWND Window() const noexcept { return hwnd; }

protected:
    // The default: the launcher's icon and caption on WM_INITDIALOG, and the
    // end of the dialog on IDOK or IDCANCEL with the whole wParam as result.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void SetIconAndCaption() const;

    HWND hwnd = nullptr;
    HINSTANCE instance;
    int templateId;
    HWND parent;

private:
    static T* current;
    std::exception_ptr error;
};

template <typename T>
T* Dialog<T>::current = nullptr;

template <typename T>
INT_PTR Dialog<T>::Show()
{
    if (current)
        throw std::runtime_error("Dialog: Reentrance not allowed");
    current = static_cast<T*>(this);
    const INT_PTR result =
        DialogBoxParamW(nullptr, MAKEINTRESOURCEW(templateId & 0xFFFF), parent, DialogProc, 0);
    current = nullptr;
    if (error)
        std::rethrow_exception(std::exchange(error, nullptr));
    if (result == -1 || result == 0)
        throw std::runtime_error("DialogBoxParam failed");
    return result;
}

// An exception must not unwind through DialogBoxParamW and the dialog
// manager: the 32-bit unwinder has no unwind data for those frames and the
// process would die. It is kept here and thrown again once Show regains control.
template <typename T>
INT_PTR CALLBACK Dialog<T>::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* dialog = current;
    if (!dialog)
        return FALSE;
    if (!dialog->hwnd)
        dialog->hwnd = window;
    // Messages keep arriving after EndDialog; none may run a handler again.
    if (dialog->error)
        return FALSE;
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        dialog->error = std::current_exception();
        EndDialog(window, 0);
        return FALSE;
    }
}

template <typename T>
INT_PTR Dialog<T>::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetIconAndCaption();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hwnd, static_cast<INT_PTR>(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

template <typename T>
void Dialog<T>::SetIconAndCaption() const
{
    SetSetupIconAndCaption(hwnd, instance);
}

#include "launcher/ProgressWindow.h"

#include <commctrl.h>

#include "launcher/SetupMessage.h"
#include "resources/resource.h"
#include "win/DllSearch.h"

namespace {

const int BarRange = 1000;

// From the system folder only, and never freed: the class must outlive
// every window of it.
void RegisterProgressBar()
{
    using InitFunction = BOOL WINAPI(const INITCOMMONCONTROLSEX*);
    const HMODULE controls = LoadSystemDll(L"comctl32.dll");
    if (!controls)
        return;
    auto* init = reinterpret_cast<InitFunction*>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    if (init)
        init(&classes);
}

}  // namespace

ProgressWindow::ProgressWindow(HINSTANCE instance, const std::wstring& text) : instance(instance), text(text)
{
    static const bool registered = (RegisterProgressBar(), true);
    (void)registered;
    window.reset(CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PROGRESS), nullptr, Procedure,
                                    reinterpret_cast<LPARAM>(this)));
}

void ProgressWindow::SetProgress(uint64_t done, uint64_t total)
{
    const WPARAM position = total == 0 ? BarRange : static_cast<WPARAM>(done * BarRange / total);
    SendDlgItemMessageW(window.get(), IDC_PROGRESS_BAR, PBM_SETPOS, position, 0);
}

void ProgressWindow::Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Nothing of the launcher's quits by message; one meant for a later
        // loop is put back for it.
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!IsDialogMessageW(window.get(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

INT_PTR CALLBACK ProgressWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Everything is set before the window first shows.
    if (message == WM_INITDIALOG) {
        const auto* self = reinterpret_cast<const ProgressWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        SetSetupIconAndCaption(window, self->instance);
        SetDlgItemTextW(window, IDC_PROGRESS_TEXT, self->text.c_str());
        SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, BarRange);
        return TRUE;
    }
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    const bool cancel = (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE;
    if (!self || !cancel)
        return FALSE;
    self->cancelled = true;
    return TRUE;
}

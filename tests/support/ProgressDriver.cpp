#include "tests/support/ProgressDriver.h"

#include <commctrl.h>

namespace {

std::wstring ServerText(HWND window)
{
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, 256);
    return text;
}

}  // namespace

bool ProgressDriver::Matches(HWND window)
{
    return ClassOf(GetDlgItem(window, Bar)) == L"msctls_progress32";
}

ProgressDriver ProgressDriver::WaitFor(const DrivenProcess& process, DWORD timeoutMs)
{
    return ProgressDriver(process.WaitForDialog(Matches, timeoutMs));
}

std::wstring ProgressDriver::Caption() const
{
    return ServerText(window_);
}

std::wstring ProgressDriver::Line() const
{
    return ServerText(GetDlgItem(window_, Text));
}

int ProgressDriver::Position() const
{
    return AskBar(PBM_GETPOS, 0);
}

int ProgressDriver::Maximum() const
{
    return AskBar(PBM_GETRANGE, FALSE);
}

int ProgressDriver::AskBar(UINT message, WPARAM wParam) const
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(GetDlgItem(window_, Bar), message, wParam, 0, SMTO_ABORTIFHUNG, 10000, &answer))
        return -1;
    return static_cast<int>(answer);
}

SlowMachine::SlowMachine(const DrivenProcess& process, DWORD runMs, DWORD pauseMs)
    : process_(process), runMs_(runMs), pauseMs_(pauseMs), thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr))
{
}

SlowMachine::~SlowMachine()
{
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI SlowMachine::Run(void* self)
{
    auto* machine = static_cast<SlowMachine*>(self);
    while (!InterlockedCompareExchange(&machine->stop_, 0, 0)) {
        machine->process_.Pause();
        Sleep(machine->pauseMs_);
        machine->process_.Resume();
        Sleep(machine->runMs_);
    }
    return 0;
}

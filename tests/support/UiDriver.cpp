#include "tests/support/UiDriver.h"

#include <algorithm>
#include <stdexcept>

namespace {

const DWORD PollMs = 50;

bool IsOverridden(const wchar_t* entry, const EnvironmentOverrides& overrides)
{
    for (const auto& variable : overrides) {
        const std::wstring prefix = variable.first + L"=";
        if (_wcsnicmp(entry, prefix.c_str(), prefix.size()) == 0)
            return true;
    }
    return false;
}

std::wstring EnvironmentBlock(const EnvironmentOverrides& overrides)
{
    std::wstring block;
    const wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
        if (!IsOverridden(entry, overrides))
            block += std::wstring(entry) + L'\0';
    }
    FreeEnvironmentStringsW(const_cast<wchar_t*>(strings));
    for (const auto& variable : overrides)
        block += variable.first + L"=" + variable.second + L'\0';
    block += L'\0';
    return block;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window)
{
    // WM_GETTEXT is marshalled across processes; GetWindowTextW is not for controls.
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                        5000, &copied);
    text.resize(copied);
    return text;
}

std::vector<Control> ListControls(HWND dialog)
{
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<Control> controls;
    for (HWND child : children) {
        Control control{child, ClassOf(child), GetDlgCtrlID(child), TextOf(child), {}, false};
        GetWindowRect(child, &control.rect);
        if (control.className == L"Button")
            control.checked = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
        controls.push_back(control);
    }
    return controls;
}

const Control* FindControl(const std::vector<Control>& controls, const wchar_t* className, int id)
{
    auto found = std::find_if(controls.begin(), controls.end(), [&](const Control& control) {
        return control.className == className && control.id == id;
    });
    return found == controls.end() ? nullptr : &*found;
}

void PressButton(HWND dialog, int id)
{
    const std::vector<Control> controls = ListControls(dialog);
    const Control* button = FindControl(controls, L"Button", id);
    if (!button)
        throw std::runtime_error("PressButton: no such button");
    PostMessageW(button->window, BM_CLICK, 0, 0);
}

void TypeText(HWND dialog, int id, const std::wstring& text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetChecked(HWND dialog, int id, bool checked)
{
    HWND box = GetDlgItem(dialog, id);
    if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != checked)
        PostMessageW(box, BM_CLICK, 0, 0);
}

namespace {

void PressKey(HWND dialog, WPARAM key, UINT scanCode)
{
    HWND focus = FocusedControl(dialog);
    HWND target = focus ? focus : dialog;
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scanCode << 16));
    PostMessageW(target, WM_KEYUP, key, 0xC0000001 | (scanCode << 16));
}

}  // namespace

void PressEscape(HWND dialog)
{
    PressKey(dialog, VK_ESCAPE, 0x01);
}

void PressEnter(HWND dialog)
{
    PressKey(dialog, VK_RETURN, 0x1C);
}

void PressCloseBox(HWND window)
{
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(PollMs);
    }
    return true;
}

HWND FocusedControl(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

IconStyle ReadIcon(HWND dialog, int iconId)
{
    HWND icon = GetDlgItem(dialog, iconId);
    if (!icon || !IsWindowVisible(icon))
        return IconStyle::None;
    RECT rect;
    GetWindowRect(icon, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return IconStyle::None;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();

    // Averages only the strongly coloured pixels: the icon's face, not the background.
    long long red = 0, green = 0, blue = 0, count = 0;
    const auto* pixels = static_cast<const BYTE*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const int b = pixels[4 * i], g = pixels[4 * i + 1], r = pixels[4 * i + 2];
        if (std::max({r, g, b}) - std::min({r, g, b}) < 60)
            continue;
        red += r, green += g, blue += b, ++count;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    if (count < 20)
        return IconStyle::Other;
    if (blue > red && blue > green)
        return IconStyle::Information;
    if (red > blue * 2 && red > green * 2)
        return IconStyle::Error;
    return IconStyle::Other;
}

DrivenProcess::DrivenProcess(const std::wstring& exe, const std::wstring& arguments,
                             const EnvironmentOverrides& environmentOverrides)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::wstring environment;
    if (!environmentOverrides.empty())
        environment = EnvironmentBlock(environmentOverrides);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : &environment[0], nullptr, &startup, &started))
        throw std::runtime_error("DrivenProcess: CreateProcess failed");
    thread_.reset(started.hThread);
    process_.reset(started.hProcess);
    id_ = started.dwProcessId;
}

DrivenProcess::~DrivenProcess()
{
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 0xDEAD);
        WaitForSingleObject(process_.get(), 5000);
    }
}

std::vector<HWND> DrivenProcess::TopLevelWindows() const
{
    WindowSearch search{id_, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND DrivenProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        for (HWND window : TopLevelWindows()) {
            if (ClassOf(window) == className)
                return window;
        }
        if (WaitForSingleObject(process_.get(), PollMs) == WAIT_OBJECT_0)
            return nullptr;
    } while (GetTickCount64() < end);
    return nullptr;
}

bool DrivenProcess::WaitBeforeNextPoll(ULONGLONG end) const
{
    if (WaitForSingleObject(process_.get(), PollMs) == WAIT_OBJECT_0)
        return false;
    return GetTickCount64() < end;
}

bool DrivenProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const
{
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process_.get(), &exitCode) != FALSE;
}

void DrivenProcess::Kill() const
{
    TerminateProcess(process_.get(), 0xDEAD);
    WaitForSingleObject(process_.get(), 10000);
}

void DrivenProcess::Pause() const
{
    SuspendThread(thread_.get());
}

void DrivenProcess::Resume() const
{
    ResumeThread(thread_.get());
}

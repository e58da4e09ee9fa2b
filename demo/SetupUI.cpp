// Stand-in for the managed setup front end: installs Brinmoor.msi from its own
// folder and shows the installer's progress in a window of its own.
#include <windows.h>
#include <commctrl.h>
#include <msi.h>
#include <shellapi.h>
#include <cwchar>
#include <string>

namespace {

const UINT WM_INSTALL_DONE = WM_APP + 1;
const UINT WM_INSTALL_TEXT = WM_APP + 2;
const int ProgressRange = 1000;

struct Ui {
    HWND window = nullptr;
    HWND text = nullptr;
    HWND bar = nullptr;
    std::wstring package;
    UINT result = ERROR_INSTALL_FAILURE;
    bool done = false;
};

// Progress bookkeeping as the installer reports it: totals can be reset and
// grown while it runs, and some actions tick once per ACTIONDATA message.
struct Progress {
    long total = 0;
    long position = 0;
    bool forward = true;
    bool tickOnData = false;
    long dataStep = 0;
};

Ui ui;
Progress progress;
CRITICAL_SECTION textLock;
std::wstring pendingText;

std::wstring g_logPath;

void Log(const std::wstring& line)
{
    if (g_logPath.empty())
        return;
    HANDLE file = CreateFileW(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u ", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    std::wstring text = stamp + line + L"\r\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &utf8[0], size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), (DWORD)utf8.size(), &written, nullptr);
    CloseHandle(file);
}

void ShowPosition()
{
    if (progress.total <= 0)
        return;
    long long pos = progress.position < 0 ? 0 : progress.position;
    int value = (int)(pos * ProgressRange / progress.total);
    PostMessageW(ui.bar, PBM_SETPOS, value > ProgressRange ? ProgressRange : value, 0);
}

void OnProgress(const wchar_t* message)
{
    // The message reads "1: a 2: b 3: c 4: d"; each number follows a colon.
    long field[4] = {};
    const wchar_t* p = message;
    for (int i = 0; i < 4 && p; ++i) {
        p = std::wcschr(p, L':');
        if (!p)
            break;
        wchar_t* end = nullptr;
        field[i] = std::wcstol(p + 1, &end, 10);
        p = end;
    }
    switch (field[0]) {
    case 0:
        progress.total = field[1];
        progress.forward = field[2] == 0;
        progress.position = progress.forward ? 0 : progress.total;
        progress.tickOnData = false;
        break;
    case 1:
        progress.tickOnData = field[2] != 0;
        progress.dataStep = field[1];
        break;
    case 2:
        progress.position += progress.forward ? field[1] : -field[1];
        break;
    case 3:
        progress.total += field[1];
        break;
    }
    ShowPosition();
}

void OnActionStart(const wchar_t* message)
{
    // "Action 12:34:56: Name. Description": show the description, else the name.
    std::wstring text = message;
    size_t start = text.find(L": ");
    if (start != std::wstring::npos)
        text.erase(0, start + 2);
    size_t dot = text.find(L". ");
    if (dot != std::wstring::npos && dot + 2 < text.size())
        text.erase(0, dot + 2);
    else if (dot != std::wstring::npos)
        text.erase(dot);
    if (text.empty())
        return;
    EnterCriticalSection(&textLock);
    pendingText = text;
    LeaveCriticalSection(&textLock);
    PostMessageW(ui.window, WM_INSTALL_TEXT, 0, 0);
}

int WINAPI OnInstallerMessage(LPVOID, UINT type, LPCWSTR message)
{
    if (!message)
        return 0;
    switch (type & 0xFF000000) {
    case INSTALLMESSAGE_PROGRESS:
        OnProgress(message);
        return IDOK;
    case INSTALLMESSAGE_ACTIONSTART:
        OnActionStart(message);
        return IDOK;
    case INSTALLMESSAGE_ACTIONDATA:
        if (progress.tickOnData) {
            progress.position += progress.forward ? progress.dataStep : -progress.dataStep;
            ShowPosition();
        }
        return IDOK;
    }
    return 0;
}

DWORD WINAPI InstallThread(LPVOID)
{
    // The UI level belongs to the thread that installs.
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    MsiSetExternalUIW(OnInstallerMessage,
                      INSTALLLOGMODE_PROGRESS | INSTALLLOGMODE_ACTIONSTART | INSTALLLOGMODE_ACTIONDATA,
                      nullptr);
    UINT result = MsiInstallProductW(ui.package.c_str(), L"REBOOT=ReallySuppress");
    PostMessageW(ui.window, WM_INSTALL_DONE, result, 0);
    return 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INSTALL_TEXT: {
        EnterCriticalSection(&textLock);
        std::wstring text = pendingText;
        LeaveCriticalSection(&textLock);
        SetWindowTextW(ui.text, text.c_str());
        return 0;
    }
    case WM_INSTALL_DONE:
        ui.result = (UINT)wParam;
        ui.done = true;
        SendMessageW(ui.bar, PBM_SETPOS, ProgressRange, 0);
        DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        // An install cannot be abandoned halfway.
        if (!ui.done)
            return 0;
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CreateProgressWindow(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BrinmoorSetupUI";
    if (!RegisterClassW(&wc))
        return false;

    RECT area = {0, 0, 420, 110};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX;
    AdjustWindowRect(&area, style, FALSE);
    int width = area.right - area.left, height = area.bottom - area.top;
    ui.window = CreateWindowW(wc.lpszClassName, L"Brinmoor Tessolan Setup", style,
                              (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                              nullptr, nullptr, instance, nullptr);
    if (!ui.window)
        return false;
    ui.text = CreateWindowW(L"STATIC", L"Installing Brinmoor Tessolan...", WS_CHILD | WS_VISIBLE,
                            20, 20, 380, 20, ui.window, nullptr, instance, nullptr);
    ui.bar = CreateWindowW(PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                           20, 55, 380, 22, ui.window, nullptr, instance, nullptr);
    SendMessageW(ui.text, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    SendMessageW(ui.bar, PBM_SETRANGE32, 0, ProgressRange);
    ShowWindow(ui.window, SW_SHOW);
    UpdateWindow(ui.window);
    return true;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : folder.substr(0, slash);
}

bool WantsLog()
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    bool wanted = false;
    for (int i = 1; args && i < count; ++i)
        wanted = wanted || lstrcmpiW(args[i], L"/log=true") == 0;
    LocalFree(args);
    return wanted;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    InitializeCriticalSection(&textLock);
    std::wstring folder = OwnFolder();
    if (WantsLog())
        g_logPath = folder + L"\\SetupUI.log";
    ui.package = folder + L"\\Brinmoor.msi";

    Log(L"SetupUI started: " + std::wstring(GetCommandLineW()));
    Log(L"Package: " + ui.package);

    if (GetFileAttributesW(ui.package.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Log(L"Package not found; result: 2");
        return ERROR_FILE_NOT_FOUND;
    }
    if (!CreateProgressWindow(instance)) {
        Log(L"Cannot create the progress window; result: " + std::to_wstring(GetLastError()));
        return (int)GetLastError();
    }

    HANDLE worker = CreateThread(nullptr, 0, InstallThread, nullptr, 0, nullptr);
    if (!worker) {
        DWORD error = GetLastError();
        Log(L"Cannot start the install; result: " + std::to_wstring(error));
        return (int)error;
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);

    Log(L"Install finished; result: " + std::to_wstring(ui.result));
    return (int)ui.result;
}

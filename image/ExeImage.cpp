#include "image/ExeImage.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "image/Crc32.h"
#include "image/ImageHelpApi.h"
#include "image/PayloadChecksums.h"
#include "image/ResourceDir.h"
#include "image/ResourceSection.h"
#include "win/Handles.h"
#include "log/SetupLog.h"

namespace {

constexpr DWORD chunkSize = 1024 * 1024;

// Puts the process back in the folder it was in, however construction ends.
class CurrentDirectoryRestorer {
public:
    explicit CurrentDirectoryRestorer(std::wstring saved) : saved_(std::move(saved)) {}
    ~CurrentDirectoryRestorer() { SetCurrentDirectoryW(saved_.c_str()); }
    CurrentDirectoryRestorer(const CurrentDirectoryRestorer&) = delete;
    CurrentDirectoryRestorer& operator=(const CurrentDirectoryRestorer&) = delete;

private:
    std::wstring saved_;
};

// A half-written payload file must not be mistaken for a good one: unless
// Keep is reached, the target is closed and deleted.
class TargetFile {
public:
    explicit TargetFile(const std::wstring& path)
        : path_(path),
          handle_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
        if (!handle_)
            ExeImage::ThrowImageError("CreateFile failed");
    }
    ~TargetFile()
    {
        if (kept_)
            return;
        handle_.reset();
        DeleteFileW(path_.c_str());
    }
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    HANDLE Get() const noexcept { return handle_.get(); }
    void Keep() noexcept
    {
        handle_.reset();
        kept_ = true;
    }

private:
    std::wstring path_;
    FileHandle handle_;
    bool kept_ = false;
};

[[noreturn]] void ThrowCallError(const char* call)
{
    const DWORD error = GetLastError();
    setupLog << "ExeImage: " << call << " failed Error: " << static_cast<unsigned long>(error) << std::endl;
    throw std::runtime_error(std::string(call) + " failed");
}

std::wstring ModulePath()
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        ExeImage::ThrowImageError("GetModuleFileName failed");
    return std::wstring(buffer, length);
}

// A directory longer than the 260-character buffer is fetched again at the
// size the first call asked for, so it can still be restored.
std::wstring CurrentDirectory()
{
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetCurrentDirectoryW(MAX_PATH, &folder[0]);
    if (length >= MAX_PATH) {
        folder.assign(length, L'\0');
        length = GetCurrentDirectoryW(length, &folder[0]);
        if (length >= folder.size())
            length = 0;
    }
    if (length == 0)
        ExeImage::ThrowImageError("GetCurrentDirectory failed");
    folder.resize(length);
    return folder;
}

void MoveTo(HANDLE file, uint64_t position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(file, distance, nullptr, FILE_BEGIN))
        ThrowCallError("SetFilePointerEx");
}

void ReadChunk(HANDLE file, unsigned char* buffer, DWORD size)
{
    DWORD done = 0;
    if (!ReadFile(file, buffer, size, &done, nullptr))
        ThrowCallError("ReadFile");
    if (done != size) {
        SetLastError(ERROR_HANDLE_EOF);
        ThrowCallError("ReadFile");
    }
}

void WriteChunk(HANDLE file, const unsigned char* buffer, DWORD size)
{
    DWORD done = 0;
    if (!WriteFile(file, buffer, size, &done, nullptr))
        ThrowCallError("WriteFile");
    if (done != size) {
        SetLastError(ERROR_DISK_FULL);
        ThrowCallError("WriteFile");
    }
}

// Returns the CRC-32 of what it copied: the check costs no second read.
uint32_t CopyBytes(HANDLE source, HANDLE target, uint32_t size)
{
    std::vector<unsigned char> buffer(chunkSize);
    uint32_t crc = 0;
    for (uint32_t remaining = size; remaining != 0;) {
        const DWORD chunk = std::min<uint32_t>(remaining, chunkSize);
        ReadChunk(source, buffer.data(), chunk);
        crc = UpdateCrc32(crc, buffer.data(), chunk);
        WriteChunk(target, buffer.data(), chunk);
        remaining -= chunk;
    }
    return crc;
}

PayloadChecksums ChecksumsOf(const ResourceSection& section)
{
    const ResourceData table = ResourceDir(section.Bytes()).GetChildWithName(L"CRC32").GetChildWithId(1).GetResourceData();
    return PayloadChecksums(section.DataAt(table.offsetToData, table.size));
}

}  // namespace

ExeImage::ExeImage()
{
    if (!SetSearchPathMode(BASE_SEARCH_PATH_DISABLE_SAFE_SEARCHMODE))
        ThrowImageError("SetSearchPathMode failed");
    const std::wstring path = ModulePath();
    setupLog << "ExeImage: module path is " << path << std::endl;
    const size_t split = path.rfind(L'\\');
    if (split == std::wstring::npos)
        ThrowImageError("GetModuleFileName returned invalid path");
    std::wstring saved = CurrentDirectory();
    if (!SetCurrentDirectoryW(path.substr(0, split).c_str()))
        ThrowImageError("SetCurrentDirectory failed");
    const CurrentDirectoryRestorer restorer(std::move(saved));
    // ImageLoad searches like SearchPath; the launcher's folder is now both the
    // application folder and the current one, so the bare name finds the launcher.
    image.reset(GetImageHelpApi().Load(ToUtf8(path.substr(split + 1)).c_str(), nullptr));
    if (!image)
        ThrowImageError("ImageLoad failed");
}

void ExeImage::SaveResourceToFile(int id, const std::wstring& targetPath) const
{
    const ResourceSection section(image.get());
    const ResourceData data = FindBinResource(section.Bytes(), id);
    const uint32_t expectedCrc = ChecksumsOf(section).For(id);
    const uint64_t position = section.RvaToFilePosition(data.offsetToData, data.size);
    MoveTo(image.get()->hFile, position);
    TargetFile target(targetPath);
    if (CopyBytes(image.get()->hFile, target.Get(), data.size) != expectedCrc)
        throw DamagedInstallerError();
    target.Keep();
}

void ExeImage::ThrowImageError(const char* message)
{
    const DWORD error = GetLastError();
    setupLog << "ExeImage: " << message << " Error: " << static_cast<unsigned long>(error) << std::endl;
    throw std::runtime_error("Image loading failed");
}

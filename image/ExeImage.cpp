#include "image/ExeImage.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "image/CopyProgress.h"
#include "image/Crc32.h"
#include "image/PayloadChecksums.h"
#include "image/ResourceDir.h"
#include "image/ResourceSection.h"
#include "log/SetupLog.h"
#include "win/FileIdentity.h"
#include "win/Handles.h"

namespace {

constexpr DWORD chunkSize = 1024 * 1024;

// Created as a new file where none exists: Wine turns CREATE_ALWAYS into a
// truncation, after which ext4 writes the whole file back while it is being
// closed (0.15 s a GiB, in the middle of the staging). An existing file (an
// extraction target the user chose to replace) is replaced.
HANDLE CreateTarget(const std::wstring& path)
{
    const HANDLE created =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
        return created;
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The final size before the first byte, as Windows' own copy sets it: NTFS
// then lays the file out in one run instead of extending it a piece at a
// time. A file system that cannot set it changes nothing: the writes that
// follow tell whether the bytes fit.
void Presize(HANDLE file, uint32_t size)
{
    FILE_END_OF_FILE_INFO end = {};
    end.EndOfFile.QuadPart = size;
    SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end);
}

// A half-written payload file must not be mistaken for a good one: unless
// Keep is reached, the target is closed and deleted.
class TargetFile {
public:
    explicit TargetFile(const std::wstring& path) : path_(path), handle_(CreateTarget(path))
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

    // The write handle shares nothing, so the hold can only be opened once it
    // is closed; the file's identity shows that nobody swapped another file in
    // at that path meanwhile.
    FileHandle KeepHeld()
    {
        const std::optional<FileIdentity> written = IdentityOf(handle_.get());
        if (!written)
            ExeImage::ThrowImageError("CreateFile failed");
        handle_.reset();
        FileHandle held = HoldWrittenFile(path_, *written);
        if (!held)
            ExeImage::ThrowImageError("CreateFile failed");
        kept_ = true;
        return held;
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
uint32_t CopyBytes(HANDLE source, HANDLE target, uint32_t size, CopyProgress* progress)
{
    std::vector<unsigned char> buffer(chunkSize);
    uint32_t crc = 0;
    for (uint32_t remaining = size; remaining != 0;) {
        const DWORD chunk = std::min<uint32_t>(remaining, chunkSize);
        ReadChunk(source, buffer.data(), chunk);
        crc = UpdateCrc32(crc, buffer.data(), chunk);
        WriteChunk(target, buffer.data(), chunk);
        remaining -= chunk;
        if (progress)
            progress->Copied(chunk);
    }
    return crc;
}

// The flat read-only view that the resource tables are read from.
MappedView MapWholeFile(HANDLE file)
{
    const KernelHandle mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping)
        ExeImage::ThrowImageError("ImageLoad failed");
    // The view keeps the mapping alive once its handle is closed.
    MappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view)
        ExeImage::ThrowImageError("ImageLoad failed");
    return view;
}

size_t SizeOf(HANDLE file)
{
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size))
        ExeImage::ThrowImageError("ImageLoad failed");
    // A file that could be mapped whole fits into the address space.
    return static_cast<size_t>(size.QuadPart);
}

PayloadChecksums ChecksumsOf(const ResourceSection& section)
{
    const ResourceData table = ResourceDir(section.Bytes()).GetChildWithName(L"CRC32").GetChildWithId(1).GetResourceData();
    return PayloadChecksums(section.DataAt(table.offsetToData, table.size));
}

}  // namespace

ExeImage::ExeImage()
{
    const std::wstring path = ModulePath();
    setupLog << "ExeImage: module path is " << path << std::endl;
    if (path.rfind(L'\\') == std::wstring::npos)
        ThrowImageError("GetModuleFileName returned invalid path");
    // By its full wide path: a name that the ANSI code page cannot spell (a
    // Cyrillic copy name, a Japanese folder) opens like any other.
    // Read front to back once: the cache may read ahead far and drop behind.
    file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        ThrowImageError("ImageLoad failed");
    const size_t size = SizeOf(file.get());
    view = MapWholeFile(file.get());
    bytes = ByteView{static_cast<const unsigned char*>(view.get()), size};
    const std::optional<SectionTable> table = FindSectionTable(bytes);
    if (!table) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        ThrowImageError("ImageLoad failed");
    }
    sections = *table;
}

ResourceSection ExeImage::Resources() const
{
    return ResourceSection(sections.headers, sections.count, bytes);
}

uint32_t ExeImage::ResourceSize(int id) const
{
    const ResourceSection section = Resources();
    return FindBinResource(section.Bytes(), id).size;
}

void ExeImage::SaveResourceToFile(int id, const std::wstring& targetPath, CopyProgress* progress) const
{
    CopyResource(id, targetPath, false, progress);
}

FileHandle ExeImage::SaveResourceToHeldFile(int id, const std::wstring& targetPath, CopyProgress* progress) const
{
    return CopyResource(id, targetPath, true, progress);
}

FileHandle ExeImage::CopyResource(int id, const std::wstring& targetPath, bool hold, CopyProgress* progress) const
{
    const ResourceSection section = Resources();
    const ResourceData data = FindBinResource(section.Bytes(), id);
    const uint32_t expectedCrc = ChecksumsOf(section).For(id);
    const uint64_t position = section.RvaToFilePosition(data.offsetToData, data.size);
    MoveTo(file.get(), position);
    TargetFile target(targetPath);
    Presize(target.Get(), data.size);
    if (CopyBytes(file.get(), target.Get(), data.size, progress) != expectedCrc)
        throw DamagedInstallerError();
    if (hold)
        return target.KeepHeld();
    target.Keep();
    return FileHandle();
}

void ExeImage::ThrowImageError(const char* message)
{
    const DWORD error = GetLastError();
    setupLog << "ExeImage: " << message << " Error: " << static_cast<unsigned long>(error) << std::endl;
    throw std::runtime_error("Image loading failed");
}

#include "win/FileIdentity.h"

#include <cstring>

#include "win/Retry.h"

namespace {

// FileIdInfo, declared only for Windows 8 targets; Windows 7 refuses it.
const auto FileIdInfoClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    unsigned char fileId[16];
};

}  // namespace

std::optional<FileIdentity> IdentityOf(HANDLE file)
{
    FileIdentity identity;
    FileIdInformation wide = {};
    if (GetFileInformationByHandleEx(file, FileIdInfoClass, &wide, sizeof wide)) {
        identity.volume = wide.volumeSerialNumber;
        std::memcpy(identity.id.data(), wide.fileId, sizeof wide.fileId);
        identity.wide = true;
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION narrow = {};
    if (!GetFileInformationByHandle(file, &narrow))
        return std::nullopt;
    identity.volume = narrow.dwVolumeSerialNumber;
    const uint64_t index = (uint64_t{narrow.nFileIndexHigh} << 32) | narrow.nFileIndexLow;
    std::memcpy(identity.id.data(), &index, sizeof index);
    return identity;
}

FileHandle HoldWrittenFile(const std::wstring& path, const FileIdentity& written)
{
    FileHandle held = OpenRetryingWhileShared([&] {
        return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    });
    if (!held)
        return held;
    if (IdentityOf(held.get()) != written) {
        SetLastError(ERROR_FILE_INVALID);
        return FileHandle();
    }
    return held;
}

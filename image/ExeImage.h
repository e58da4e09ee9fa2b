#pragma once

#include <windows.h>

#include <string>

#include "image/ByteView.h"
#include "image/CopyProgress.h"
#include "image/ResourceSection.h"
#include "image/SectionTable.h"
#include "win/Handles.h"

// The launcher's open, read-only view of its own executable file. The payload
// is far too large for the module loader, so resources are read from the file.
class ExeImage {
public:
    // Opens the running program's own file; throws "Image loading failed".
    ExeImage();
    ExeImage(const ExeImage&) = delete;
    ExeImage& operator=(const ExeImage&) = delete;

    // The size of the "BIN" resource `id`, before anything is copied.
    uint32_t ResourceSize(int id) const;

    // Streams the "BIN" resource `id` into a new file at targetPath, telling
    // `progress` (when given) of each piece.
    void SaveResourceToFile(int id, const std::wstring& targetPath, CopyProgress* progress = nullptr) const;
    // The same, then holds the written file open for reading, shared for
    // reading only, so that nobody can change, rename or delete it while the
    // hold lives.
    FileHandle SaveResourceToHeldFile(int id, const std::wstring& targetPath,
                                      CopyProgress* progress = nullptr) const;

    // The whole file, byte n of the view being byte n of the file.
    ByteView Bytes() const noexcept { return bytes; }
    ResourceSection Resources() const;

    // Logs "ExeImage: <message> Error: <last error>" and throws "Image loading failed".
    [[noreturn]] static void ThrowImageError(const char* message);

private:
    FileHandle CopyResource(int id, const std::wstring& targetPath, bool hold, CopyProgress* progress) const;

    FileHandle file;
    MappedView view;
    ByteView bytes;
    SectionTable sections;
};

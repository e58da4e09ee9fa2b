#pragma once

#include <windows.h>

#include <string>

#include "win/Handles.h"

// The launcher's open, read-only view of its own executable file. The payload
// is far too large for the module loader, so resources are read from the file.
class ExeImage {
public:
    // Opens the running program's own file; throws "Image loading failed".
    ExeImage();
    ExeImage(const ExeImage&) = delete;
    ExeImage& operator=(const ExeImage&) = delete;

    // Streams the "BIN" resource `id` into a new file at targetPath.
    void SaveResourceToFile(int id, const std::wstring& targetPath) const;

    const LOADED_IMAGE* Image() const noexcept { return image.get(); }

    // Logs "ExeImage: <message> Error: <last error>" and throws "Image loading failed".
    [[noreturn]] static void ThrowImageError(const char* message);

private:
    LoadedImage image;
};

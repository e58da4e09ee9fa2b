#pragma once

#include <string>
#include <utility>

#include "win/Handles.h"

// Owns one staged file: deletes it when the object ends, unless kept. The
// path is set only once the file has been written completely, together with
// the handle that holds the file against changes until just before it is
// deleted.
class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    void SetPath(const std::wstring& written, FileHandle held = FileHandle())
    {
        path = written;
        hold = std::move(held);
    }
    const std::wstring& Path() const { return path; }
    void Keep() { owned = false; }

private:
    bool owned = true;
    std::wstring path;
    FileHandle hold;
};

// Deletes the file, retrying for up to 2000 ms while another process holds it.
void DeleteWithRetry(const std::wstring& path) noexcept;

#pragma once

#include <string>

// Owns one staged file: deletes it when the object ends, unless kept. The
// path is set only once the file has been written completely.
class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    void SetPath(const std::wstring& written) { path = written; }
    const std::wstring& Path() const { return path; }
    void Keep() { owned = false; }

private:
    bool owned = true;
    std::wstring path;
};

// Deletes the file, retrying for up to 2000 ms while another process holds it.
void DeleteWithRetry(const std::wstring& path) noexcept;

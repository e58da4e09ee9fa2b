#pragma once

#include <string>

std::string ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);

// A fresh folder under %TEMP% that is removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Ends with a backslash.
    const std::wstring& Path() const { return path_; }
    bool Exists(const std::wstring& name) const;
    std::string ReadFile(const std::wstring& name) const;
    void WriteFile(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring path_;
};

#pragma once

#include <string>
#include <utility>

#include "win/Handles.h"

// The run's own folder, <temp>\BrinmoorSetup\<uuid>\, private to the user and
// held open for as long as the object lives, so that nobody can rename or
// replace it while the payload in it is in use.
class StagingFolder {
public:
    StagingFolder(std::wstring path, FileHandle hold) noexcept : path(std::move(path)), hold(std::move(hold)) {}

    // Ends with a backslash, so names are appended directly.
    const std::wstring& Path() const noexcept { return path; }

private:
    std::wstring path;
    FileHandle hold;
};

// Creates the run folder under the temporary folder and returns it; throws
// "CreateDirectory failed".
StagingFolder CreateStagingFolder();

// The temporary folder, ending with a backslash: SystemTemp for SYSTEM where
// Windows has GetTempPath2W, else the user's TEMP. Throws "CreateDirectory
// failed" when it cannot be read or does not fit the 260-character buffer:
// a cut path would be relative, and the run would stage beside the launcher.
std::wstring TemporaryFolder();

using FolderNameSource = std::wstring (*)();

// A random version-4 UUID as text; empty when none could be made.
std::wstring NewUuidText();

// The run folder under `temp` (ending with a backslash), named by `newName`.
// A name that exists already is never reused: a few new ones are tried.
StagingFolder CreateStagingFolderIn(const std::wstring& temp, FolderNameSource newName = NewUuidText);

// Opens a folder without delete sharing, so that it cannot be renamed or
// removed while held. Invalid unless it is a real folder: a reparse point at
// that path (a junction to elsewhere) is never held.
FileHandle HoldFolder(const std::wstring& path);

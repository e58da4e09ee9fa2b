#pragma once

#include <string>
#include <utility>

#include "win/Handles.h"

// The run's own folder, <temp>\BrinmoorSetup\<uuid>\, private to the user and
// held open for as long as the object lives, together with BrinmoorSetup
// itself, so that nobody can rename, replace or re-point either while the
// payload in it is in use.
class StagingFolder {
public:
    StagingFolder(std::wstring root, FileHandle rootHold, std::wstring name, FileHandle hold) noexcept
        : root(std::move(root)), name(std::move(name)), rootHold(std::move(rootHold)), hold(std::move(hold))
    {
    }

    // Ends with a backslash, so names are appended directly.
    std::wstring Path() const { return root + name + L"\\"; }
    // BrinmoorSetup, ending with a backslash.
    const std::wstring& Root() const noexcept { return root; }
    const std::wstring& Name() const noexcept { return name; }

private:
    std::wstring root;
    std::wstring name;
    FileHandle rootHold;
    FileHandle hold;
};

// Creates the run folder under the temporary folder and returns it; throws
// "CreateDirectory failed".
StagingFolder CreateStagingFolder();

using FolderNameSource = std::wstring (*)();

// A random version-4 UUID as text; empty when none could be made.
std::wstring NewUuidText();

// The run folder under `temp` (ending with a backslash), named by `newName`.
// BrinmoorSetup is refused unless it is a real folder of the user's, SYSTEM's
// or the Administrators'. A name that exists already is never reused: a few
// new ones are tried.
StagingFolder CreateStagingFolderIn(const std::wstring& temp, FolderNameSource newName = NewUuidText);

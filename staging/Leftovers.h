#pragma once

#include <string>

// Removes the payload that broken-off runs (a launcher killed, a log-off, a
// power cut) left in the other run folders under `root` (BrinmoorSetup,
// ending with a backslash), hundreds of megabytes each. Only folders named
// like a run folder, real folders that no running launcher holds, and in
// them only the payload's own names; their Setup.log stays. A folder with
// any item still in use (a front end outliving its launcher) is left whole.
// Never fails and never follows a link; looks at no more than 64 folders.
void ReclaimLeftovers(const std::wstring& root, const std::wstring& ownName) noexcept;

// The run folders' names: a UUID as UuidToStringW writes it.
bool IsRunFolderName(const std::wstring& name) noexcept;

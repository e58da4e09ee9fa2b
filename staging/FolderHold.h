#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "win/Handles.h"

// Who owns a folder, as far as the launcher's trust goes.
enum class Trustee { CurrentUser, System, Administrators, TrustedInstaller, Other };

// `user` is the SID the launcher runs as (null when unknown). The well-known
// accounts come first: as SYSTEM, a folder owned by SYSTEM is SYSTEM's.
Trustee ClassifyOwner(PSID owner, PSID user);

// Whether the folder open at `path` is a real one, not a link to elsewhere.
bool IsRealFolder(const std::wstring& path, HANDLE folder);

// Opens a folder without delete sharing, so that it cannot be renamed,
// removed or swapped for a link while held. Invalid unless it is a real
// folder: a link at that path (a junction to elsewhere) is never held.
FileHandle HoldFolder(const std::wstring& path);

// HoldFolder, and invalid too unless the folder's owner is one of `trusted`:
// a folder another account made may be re-pointed or emptied by it.
FileHandle HoldOwnedFolder(const std::wstring& path, std::initializer_list<Trustee> trusted);

// Whether the held `folder` is the entry `name` of the held `parent`, by the
// paths Windows resolves for both handles; true when it cannot resolve them.
bool IsHeldWithin(HANDLE folder, HANDLE parent, const std::wstring& name);

#pragma once

#include <windows.h>

#include <string>

#include "win/Handles.h"

// A security descriptor for a folder the launcher creates, from its text form.
class FolderSecurity {
public:
    // Throws "CreateDirectory failed" when the text does not convert.
    explicit FolderSecurity(const std::wstring& sddl);

    SECURITY_ATTRIBUTES* Attributes() noexcept { return &attributes; }

private:
    LocalMemory descriptor;
    SECURITY_ATTRIBUTES attributes = {};
};

// Only the user, SYSTEM and the Administrators may open the folder: a
// protected access list, so nothing is inherited from a parent that another
// user may own or have opened up; what is created inside inherits it. A run
// at high integrity (elevated, or SYSTEM) also labels it so that nothing
// below high integrity may add, change or delete anything in it, while the
// user can still read it.
std::wstring PrivateFolderSddl(const std::wstring& userSid, bool highIntegrity);

// Only SYSTEM and the Administrators, with nothing inherited.
std::wstring AdministratorsOnlySddl();

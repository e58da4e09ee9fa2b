#pragma once

#include <windows.h>

#include "win/Handles.h"

// Security for a folder that only its user, SYSTEM and the Administrators may
// open: a protected access list, so nothing is inherited from a parent that
// another user may own or have opened up. What is created inside inherits it.
class PrivateFolderSecurity {
public:
    // Throws "CreateDirectory failed" when the user's identity cannot be read.
    PrivateFolderSecurity();

    SECURITY_ATTRIBUTES* Attributes() noexcept { return &attributes; }

private:
    LocalMemory descriptor;
    SECURITY_ATTRIBUTES attributes = {};
};

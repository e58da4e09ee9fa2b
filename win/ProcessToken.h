#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What the launcher needs to know of the account it runs under.

// The user's SID in its string form ("S-1-5-21-…"); empty when unreadable.
std::wstring CurrentUserSidText();
// The token's TOKEN_USER, holding the user's SID; empty when unreadable.
std::vector<unsigned char> CurrentUserInformation();
PSID UserSidOf(const std::vector<unsigned char>& userInformation);

// LocalSystem, as deployment tools run installers.
bool RunsAsLocalSystem();
// High integrity or above: an elevated administrator, or SYSTEM. Processes
// of the same user below it must not be able to change what it runs.
bool RunsAtHighIntegrity();

#pragma once

// Windows 7 with Service Pack 1 or later.
bool IsSupportedWindows();
bool IsDotNet35Registered();
// After a failed front end: offers to open Windows Features when .NET 3.5 looks switched off.
void DiagnoseDotNet35();

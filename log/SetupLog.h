#pragma once

#include <fstream>
#include <ostream>
#include <string>

// The process-wide log stream behind Setup.log. It starts without a file;
// writes before the file is opened are dropped.
class _Logger : public std::ofstream {
};

extern _Logger setupLog;

// Opens "<folder>Setup.log" for `log` (binary, shared for reading and
// writing by other processes). Fails (failbit) when a file is already open.
void OpenLogFile(_Logger& log, const std::wstring& folder);
void OpenSetupLog(const std::wstring& folder);

// Malformed UTF-16 becomes U+FFFD; the text ends at the first NUL.
std::string ToUtf8(const std::wstring& text);

// Writes the text as UTF-8 and flushes, so each piece reaches the file at once.
std::ostream& operator<<(std::ostream& stream, const std::wstring& text);

// One line of a literal and a wide text, for release steps, which must never
// throw: a line whose UTF-8 form finds no memory is dropped, and the log
// stops as after a failed write.
void LogLine(const char* literal, const std::wstring& text) noexcept;

#pragma once

#include <map>
#include <string>
#include <vector>

// Reads installer packages with msitools, so that what the launcher wrote is
// never read back through the same msi.dll that wrote it.

std::vector<std::string> MsiTableNames(const std::wstring& package);
// The table in the installer's text archive format; empty when msiinfo failed.
std::string ExportMsiTable(const std::wstring& package, const std::string& table);
// Property name -> value.
std::map<std::string, std::string> MsiProperties(const std::wstring& package);

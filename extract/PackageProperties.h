#pragma once

#include <windows.h>
#include <msi.h>

#include <string>

#include "win/Handles.h"

// Writes rows into the Property table of a saved installer package. The
// database and the view stay open as long as the object lives.
class PackageProperties {
public:
    // Opens the database for direct writing and a view on its Property table;
    // throws "MsiOpenDatabase failed", "MsiDatabaseOpenView failed" or
    // "MsiViewExecute failed".
    explicit PackageProperties(const std::wstring& packagePath);

    // Throws "MsiViewModify failed".
    void Set(const std::wstring& name, const std::wstring& value) const;
    // Throws "MsiDatabaseCommit failed".
    void Commit() const;

private:
    // Declared in this order so that the view closes before the database.
    MsiHandle database;
    MsiHandle view;
};

// Inserts the row, or replaces the value of an existing row of that name.
void SetProperty(MSIHANDLE view, const std::wstring& name, const std::wstring& value);

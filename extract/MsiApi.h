#pragma once

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include "win/SystemLibrary.h"

// The Windows Installer database functions, taken from msi.dll in the system
// folder at run time. msi.dll is not a known DLL: a static import would load
// one planted beside the launcher before any code of ours runs.
struct MsiApi {
    MsiApi();

    SystemLibrary library;
    decltype(&::MsiOpenDatabaseW) OpenDatabase;
    decltype(&::MsiDatabaseOpenViewW) DatabaseOpenView;
    decltype(&::MsiViewExecute) ViewExecute;
    decltype(&::MsiCreateRecord) CreateRecord;
    decltype(&::MsiRecordSetStringW) RecordSetString;
    decltype(&::MsiViewModify) ViewModify;
    decltype(&::MsiDatabaseCommit) DatabaseCommit;
    decltype(&::MsiCloseHandle) CloseHandle;
};

// Loaded on first use and kept until the process ends; throws
// "msi.dll could not be loaded" or "<function> is missing".
const MsiApi& GetMsiApi();

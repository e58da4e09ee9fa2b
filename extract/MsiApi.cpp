#include "extract/MsiApi.h"

#include "win/Handles.h"

MsiApi::MsiApi()
    : library(L"msi.dll"),
      OpenDatabase(library.Get<decltype(::MsiOpenDatabaseW)>("MsiOpenDatabaseW")),
      DatabaseOpenView(library.Get<decltype(::MsiDatabaseOpenViewW)>("MsiDatabaseOpenViewW")),
      ViewExecute(library.Get<decltype(::MsiViewExecute)>("MsiViewExecute")),
      CreateRecord(library.Get<decltype(::MsiCreateRecord)>("MsiCreateRecord")),
      RecordSetString(library.Get<decltype(::MsiRecordSetStringW)>("MsiRecordSetStringW")),
      ViewModify(library.Get<decltype(::MsiViewModify)>("MsiViewModify")),
      DatabaseCommit(library.Get<decltype(::MsiDatabaseCommit)>("MsiDatabaseCommit")),
      CloseHandle(library.Get<decltype(::MsiCloseHandle)>("MsiCloseHandle"))
{
}

const MsiApi& GetMsiApi()
{
    static const MsiApi api;
    return api;
}

// A handle exists only once the functions were loaded, so this never loads.
void MsiHandleTraits::Release(MSIHANDLE handle) noexcept
{
    GetMsiApi().CloseHandle(handle);
}

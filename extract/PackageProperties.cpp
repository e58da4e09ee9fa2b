#include "extract/PackageProperties.h"

#include <msiquery.h>

#include <stdexcept>

#include "extract/MsiApi.h"

namespace {

MsiHandle OpenDatabase(const std::wstring& packagePath)
{
    MSIHANDLE database = 0;
    if (GetMsiApi().OpenDatabase(packagePath.c_str(), MSIDBOPEN_DIRECT, &database) != ERROR_SUCCESS)
        throw std::runtime_error("MsiOpenDatabase failed");
    return MsiHandle(database);
}

MsiHandle OpenPropertyView(const MsiHandle& database)
{
    MSIHANDLE view = 0;
    if (GetMsiApi().DatabaseOpenView(database.get(), L"SELECT * FROM `Property`", &view) != ERROR_SUCCESS)
        throw std::runtime_error("MsiDatabaseOpenView failed");
    return MsiHandle(view);
}

}  // namespace

PackageProperties::PackageProperties(const std::wstring& packagePath)
    : database(OpenDatabase(packagePath)), view(OpenPropertyView(database))
{
    if (GetMsiApi().ViewExecute(view.get(), 0) != ERROR_SUCCESS)
        throw std::runtime_error("MsiViewExecute failed");
}

void PackageProperties::Set(const std::wstring& name, const std::wstring& value) const
{
    SetProperty(view.get(), name, value);
}

void PackageProperties::Commit() const
{
    if (GetMsiApi().DatabaseCommit(database.get()) != ERROR_SUCCESS)
        throw std::runtime_error("MsiDatabaseCommit failed");
}

void SetProperty(MSIHANDLE view, const std::wstring& name, const std::wstring& value)
{
    const MsiApi& msi = GetMsiApi();
    const MsiHandle record(msi.CreateRecord(2));
    msi.RecordSetString(record.get(), 1, name.c_str());
    msi.RecordSetString(record.get(), 2, value.c_str());
    // An insert fails when the package already has the row; assign replaces its value.
    if (msi.ViewModify(view, MSIMODIFY_INSERT, record.get()) != ERROR_SUCCESS &&
        msi.ViewModify(view, MSIMODIFY_ASSIGN, record.get()) != ERROR_SUCCESS)
        throw std::runtime_error("MsiViewModify failed");
}

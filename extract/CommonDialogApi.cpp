#include "extract/CommonDialogApi.h"

CommonDialogApi::CommonDialogApi()
    : library(L"comdlg32.dll"),
      GetSaveFileName(library.Get<decltype(::GetSaveFileNameW)>("GetSaveFileNameW"))
{
}

const CommonDialogApi& GetCommonDialogApi()
{
    static const CommonDialogApi api;
    return api;
}

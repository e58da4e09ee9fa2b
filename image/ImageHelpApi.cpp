#include "image/ImageHelpApi.h"

#include "win/Handles.h"

ImageHelpApi::ImageHelpApi()
    : library(L"imagehlp.dll"),
      Load(library.Get<decltype(::ImageLoad)>("ImageLoad")),
      Unload(library.Get<decltype(::ImageUnload)>("ImageUnload"))
{
}

const ImageHelpApi& GetImageHelpApi()
{
    static const ImageHelpApi api;
    return api;
}

// An image exists only once the functions were loaded, so this never loads.
void LoadedImageTraits::Release(PLOADED_IMAGE image) noexcept
{
    GetImageHelpApi().Unload(image);
}

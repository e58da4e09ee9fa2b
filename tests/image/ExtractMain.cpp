// Saves the "BIN" resources named on the command line into a folder, so that
// a separate PE parser can check what SaveResourceToFile writes.
#include <windows.h>

#include <iostream>
#include <stdexcept>
#include <string>

#include "image/ExeImage.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const std::wstring folder = argv[1];
    const ExeImage image;
    for (int i = 2; i < argc; ++i) {
        const int id = _wtoi(argv[i]);
        try {
            image.SaveResourceToFile(id, folder + std::to_wstring(id) + L".bin");
            std::cout << id << " saved" << std::endl;
        } catch (const std::runtime_error& error) {
            std::cout << id << " " << error.what() << std::endl;
        }
    }
    return 0;
}

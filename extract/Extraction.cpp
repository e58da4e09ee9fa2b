#include "extract/Extraction.h"

#include <stdexcept>

// The extraction dialogs are not built yet; say so rather than pretend.
int RunExtraction(HINSTANCE, bool)
{
    throw std::runtime_error("Extraction is not available in this build");
}

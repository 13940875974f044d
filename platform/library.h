// Loading a shared library by its Windows path and finding its functions.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// Loads the library at a drive-C path; nullptr when it cannot be loaded.
LibraryHandle LoadLibraryFile(const std::string& windowsPath);
// The address of an exported function, or nullptr.
void* FindSymbol(LibraryHandle library, const char* name);
void FreeLibraryFile(LibraryHandle library);

}  // namespace platform

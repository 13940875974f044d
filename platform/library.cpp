#include "platform/library.h"

#include <dlfcn.h>

#include "platform/drive_c.h"

namespace platform {

LibraryHandle LoadLibraryFile(const std::string& windowsPath) {
  return ::dlopen(MapDriveC(windowsPath).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(LibraryHandle library, const char* name) {
  return library == nullptr ? nullptr : ::dlsym(library, name);
}

void FreeLibraryFile(LibraryHandle library) {
  if (library != nullptr) ::dlclose(library);
}

}  // namespace platform

#include "display/OscGLDriver.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace {

int KeepIfDriver(dl_phdr_info* Info, size_t, void*) {
  const char* Name = Info->dlpi_name;
  if (Name != nullptr && std::strstr(Name, "_dri.so") != nullptr) {
    // Only marks the loaded object; the reference taken here is never given
    // back, so that no dlclose can unload it.
    dlopen(Name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
  }
  return 0;
}

} // namespace

void OscKeepGLDriversLoaded() {
  dl_iterate_phdr(KeepIfDriver, nullptr);
}

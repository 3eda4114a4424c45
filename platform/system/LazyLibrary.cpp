#include "platform/system/LazyLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace platform::system {

void* LazyLibrary::symbol(const char* name) {
  std::call_once(opened_, [this] { handle_ = ::dlopen(soname_, RTLD_NOW | RTLD_LOCAL); });
  void* address = handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
  if (address == nullptr) {
    const char* why = ::dlerror();
    std::fprintf(stderr, "tunora: cannot use %s from %s: %s\n", name, soname_, why != nullptr ? why : "not found");
    std::fflush(stderr);
    std::abort();
  }
  return address;
}

}  // namespace platform::system

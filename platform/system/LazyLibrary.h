#pragma once
// A shared library opened on its first call instead of at program start. The network and
// sound libraries pull in some fifty more (TLS, Kerberos, sound servers, codecs); leaving them
// to the loader made every start pay for them before the window could appear.
//
// Each wrapped function is defined once, with the library's own prototype, by
// TUNORA_LAZY_FUNCTION; callers keep calling the library's names unchanged.

#include <mutex>

namespace platform::system {

class LazyLibrary {
 public:
  explicit LazyLibrary(const char* soname) : soname_(soname) {}
  LazyLibrary(const LazyLibrary&) = delete;
  LazyLibrary& operator=(const LazyLibrary&) = delete;

  // The address of `name`. A library or symbol that cannot be found is an installation fault
  // the program cannot work around: it says which one on stderr and stops.
  void* symbol(const char* name);

 private:
  const char* soname_;
  std::once_flag opened_;
  void* handle_ = nullptr;
};

}  // namespace platform::system

#define TUNORA_LAZY_STRINGIZE_(x) #x
// Expands macros first: some headers rename functions (mpg123_param is mpg123_param2).
#define TUNORA_LAZY_STRINGIZE(x) TUNORA_LAZY_STRINGIZE_(x)

// The library's function `name`, looked up once (thread-safe) in the LazyLibrary `library`.
#define TUNORA_LAZY_FUNCTION(library, name)                                                    \
  ([]() {                                                                                      \
    static auto* const resolved = reinterpret_cast<decltype(&name)>(                          \
        (library).symbol(TUNORA_LAZY_STRINGIZE(name)));                                       \
    return resolved;                                                                           \
  }())

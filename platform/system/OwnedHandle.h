#pragma once
// One owner for every C handle that is freed by a function call rather than by delete.

#include <memory>

namespace platform::system {

template <auto Free>
struct FreeWith {
  template <typename T>
  void operator()(T* handle) const {
    Free(handle);
  }
};

// OwnedHandle<CURLM, curl_multi_cleanup> frees with curl_multi_cleanup, and so on.
template <typename T, auto Free>
using OwnedHandle = std::unique_ptr<T, FreeWith<Free>>;

}  // namespace platform::system

#pragma once
// The few folder calls ProgramFiles needs, per system.

#include <string>

namespace platform::system::detail {

bool isFolder(const std::string& path);
bool exists(const std::string& path);
// Makes one folder, readable by the user alone where the system has modes; true when it
// is there afterwards.
bool makeFolder(const std::string& path);
// The user's home from the account database, or empty.
std::string homeOfUser();

}  // namespace platform::system::detail

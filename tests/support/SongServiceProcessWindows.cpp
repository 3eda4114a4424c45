#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/system/CommandLine.h"
#include "tests/support/SongServiceProcess.h"

namespace testsupport {

SongServiceProcess::SongServiceProcess(const std::string& executable, const std::string& catalogue,
                                       const std::vector<std::string>& flags) {
  std::vector<std::string> words{executable, "--port", "0", "--catalogue", catalogue};
  words.insert(words.end(), flags.begin(), flags.end());
  std::wstring line = platform::system::commandLine(words);

  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!::CreatePipe(&read, &write, &inheritable, 0)) return;
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = write;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
    ::CloseHandle(process.hThread);
    child_ = reinterpret_cast<std::intptr_t>(process.hProcess);
  }
  ::CloseHandle(write);

  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (child_ != -1 && text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    DWORD waiting = 0;
    if (!::PeekNamedPipe(read, nullptr, 0, nullptr, &waiting, nullptr)) break;  // it ended
    if (waiting == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    char buffer[64];
    DWORD got = 0;
    if (!::ReadFile(read, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
    text.append(buffer, got);
  }
  ::CloseHandle(read);
  if (std::sscanf(text.c_str(), "listening %d", &port_) != 1) port_ = 0;
}

SongServiceProcess::~SongServiceProcess() { stop(); }

int SongServiceProcess::stop(int timeoutMs) {
  if (child_ == -1) return -1;
  const auto process = reinterpret_cast<HANDLE>(child_);
  child_ = -1;
  const std::wstring name = L"Local\\tunora-song-service-end-" + std::to_wstring(::GetProcessId(process));
  if (HANDLE end = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
    ::SetEvent(end);
    ::CloseHandle(end);
  }
  int code = -1;
  DWORD exitCode = 0;
  if (::WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0 &&
      ::GetExitCodeProcess(process, &exitCode)) {
    code = static_cast<int>(exitCode);
  } else {
    ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, INFINITE);
  }
  ::CloseHandle(process);
  return code;
}

}  // namespace testsupport

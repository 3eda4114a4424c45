// Windows's half of the launcher: the service is a child without a console window, held in
// a job object that ends it when the client's last handle to the job goes, so it ends even
// when the client is killed.

#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/ServiceLauncher.h"
#include "platform/system/CommandLine.h"
#include "platform/system/OwnedHandle.h"
#include "platform/system/WideText.h"

namespace app {
namespace {

using Clock = std::chrono::steady_clock;
using Handle = platform::system::OwnedHandle<void, ::CloseHandle>;

// A service that indexes a large library may take longer; the client does not wait for it.
constexpr auto kListenWait = std::chrono::milliseconds(2000);
constexpr DWORD kStopWaitMs = 3000;

bool ended(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

struct Child {
  Handle job;
  Handle process;
  DWORD id = 0;
};

// Starts the command line suspended, its output into output (the one handle it inherits),
// puts it in a job that kills it when the job's last handle closes, then lets it run; an
// empty Child on failure.
Child spawnChild(const std::vector<std::string>& commandLine, HANDLE output) {
  std::wstring line = platform::system::commandLine(commandLine);
  std::wstring program = platform::system::widen(commandLine.front());
  std::replace(program.begin(), program.end(), L'/', L'\\');

  Child child;
  child.job.reset(::CreateJobObjectW(nullptr, nullptr));
  if (!child.job) return {};
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!::SetInformationJobObject(child.job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
    return {};

  // Inheriting handles at all would hand it every inheritable one, sockets among them.
  SIZE_T size = 0;
  ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> attributes(size);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
  if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) return {};
  const bool listed =
      ::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &output, sizeof output, nullptr, nullptr);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdOutput = output;
  startup.StartupInfo.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  startup.lpAttributeList = list;
  PROCESS_INFORMATION process{};
  const bool made = listed && ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                               CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT,
                                               nullptr, nullptr, &startup.StartupInfo, &process);
  ::DeleteProcThreadAttributeList(list);
  if (!made) return {};
  child.process.reset(process.hProcess);
  Handle thread(process.hThread);
  // Suspended until it is in the job, so nothing it starts escapes the job either. A client
  // that already runs in a job that forbids another one still gets its service, ended
  // by stop() alone.
  ::AssignProcessToJobObject(child.job.get(), process.hProcess);
  ::ResumeThread(process.hThread);
  child.id = process.dwProcessId;
  return child;
}

// What the child has written so far, without waiting.
std::string available(HANDLE pipe) {
  std::string text;
  char buffer[512];
  DWORD waiting = 0;
  DWORD got = 0;
  while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0 &&
         ::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
    text.append(buffer, got);
  return text;
}

// The service's end event, its SIGTERM; ended outright when it does not end in time.
void askToEnd(HANDLE process) {
  const std::wstring name = L"Local\\tunora-song-service-end-" + std::to_wstring(::GetProcessId(process));
  if (HANDLE end = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
    ::SetEvent(end);
    ::CloseHandle(end);
    if (::WaitForSingleObject(process, kStopWaitMs) == WAIT_OBJECT_0) return;
  }
  ::TerminateProcess(process, 1);
  ::WaitForSingleObject(process, kStopWaitMs);
}

}  // namespace

const char kServiceProgram[] = "tunora-song-service.exe";

bool SomethingListens(int port, int timeoutMs) {
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  bool connected = false;
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket != INVALID_SOCKET) {
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    connected = ::connect(socket, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    if (!connected && ::WSAGetLastError() == WSAEWOULDBLOCK) {
      // A refused connection shows in the except set, a made one in the write set.
      fd_set writable;
      fd_set failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(socket, &writable);
      FD_SET(socket, &failed);
      timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
      connected = ::select(0, nullptr, &writable, &failed, &wait) > 0 && FD_ISSET(socket, &writable);
    }
    ::closesocket(socket);
  }
  ::WSACleanup();
  return connected;
}

std::string UserMusicFolder() {
  PWSTR folder = nullptr;
  std::string music;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Music, 0, nullptr, &folder))) music = platform::system::narrow(folder);
  ::CoTaskMemFree(folder);
  return music;
}

void ServiceLauncher::run(platform::system::ProgramFiles files, std::string address) {
  const int port = *PortOnThisMachine(address);
  if (SomethingListens(port, 500)) {
    markReady();
    return;
  }
  const std::vector<std::string> commandLine = ServiceCommandLine(files, port, UserMusicFolder());
  starting(commandLine);
  // Read only while the first scan's outcome is awaited, but kept open until the child
  // ends, so a later line never meets a closed pipe.
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  Child service;
  if (::CreatePipe(&read, &write, &inheritable, 0)) {
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    service = spawnChild(commandLine, write);
    ::CloseHandle(write);
  }
  const Handle output(read);
  if (!service.process) {
    presetsSettled();
    markReady();
    return;
  }
  const HANDLE process = service.process.get();
  bool gone = false;
  {
    std::lock_guard lock(mutex_);
    child_ = static_cast<pid_t>(service.id);
  }
  for (const auto end = Clock::now() + kListenWait; Clock::now() < end;) {
    if (SomethingListens(port, 100)) break;
    if ((gone = ended(process))) break;  // a taken port, a missing catalogue
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  markReady();

  std::unique_lock lock(mutex_);
  while (!gone && !stopping_) {
    changed_.wait_for(lock, std::chrono::milliseconds(presetsTold_ ? 500 : 100));
    if (!presetsTold_) {
      lock.unlock();
      heard(available(output.get()));
      lock.lock();
    }
    gone = ended(process);
  }
  child_ = 0;
  lock.unlock();
  if (!gone) askToEnd(process);
  presetsSettled();
}

}  // namespace app

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Samba client library, for the Windows network: one context, used on a thread of its own so
// that a slow or vanished computer never stops the windows. Callers wait through a NetworkWait
// (the desktop program paints, shows the busy pointer and lets the user cancel; durnix-cli and
// the tests just wait).
//
// Credentials: the user name and password of a connection attempt are held only while it runs;
// afterwards the client keeps, per shared folder, the user name it connected with (never the
// password), so the library's open connection is used again.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct _SMBCCTX;

namespace durnix {

using SmbContext = _SMBCCTX;

// How the client is set up: the smb.conf to read (empty: the library's own search, which is
// ~/.smb/smb.conf, then the system's), the port of the servers (0: the standard ones) and how
// long one request may wait for an answer.
struct SmbOptions {
  std::string configFile;
  std::uint16_t port = 0;
  int timeoutMs = 20000;
};

// A request that a caller waits for.
class PendingRequest {
 public:
  virtual ~PendingRequest() = default;
  virtual bool finished() const = 0;
  // `wake` runs once the request has finished: on the client's thread when it finishes, or at
  // once (on the caller's) when it has finished already. An empty `wake` takes back the last one;
  // after that call it is never run again.
  virtual void whenFinished(std::function<void()> wake) = 0;
};

// How a caller waits for a request that takes longer than a blink.
class NetworkWait {
 public:
  virtual ~NetworkWait() = default;
  // Returns once `request` has finished (false), or when the user gives up waiting (true).
  virtual bool Wait(PendingRequest& request) = 0;
};

class SmbClient {
 public:
  // A request: runs on the client's thread with the library's context; `cancelled` turns true
  // when the caller has stopped waiting (a long request then stops and undoes what it began).
  // Returns 0 or an error number.
  using Request = std::function<int(SmbContext*, const std::atomic<bool>& cancelled)>;

  explicit SmbClient(SmbOptions options = {});
  ~SmbClient();
  SmbClient(const SmbClient&) = delete;
  SmbClient& operator=(const SmbClient&) = delete;

  // 0 when the library is ready; else the error number of its start. The library starts on the
  // first request or question, not before.
  int startError();
  // The work group of the client's configuration ("WORKGROUP" when it names none).
  const std::string& workGroup();
  const SmbOptions& options() const { return options_; }

  // Runs `request` and returns its result, or ECANCELED when the user stopped waiting (the
  // request then goes on unseen until it stops).
  int Run(Request request);
  void setWait(NetworkWait* wait) { wait_ = wait; }

  // The credentials of one connection attempt to a shared folder ("IPC$" for the list of a
  // computer's shares), until EndAttempt.
  void BeginAttempt(const std::string& server, const std::string& share, const std::string& user,
                    const std::string& password);
  // Ends the attempt: its password is wiped; when it connected, its user name is kept for the
  // shared folder.
  void EndAttempt(bool connected);
  // Closes the library's connection to a shared folder and forgets its user name.
  void Disconnect(const std::string& server, const std::string& share);

  // The library's smb:// URL of a network path ("//computer/share/a b" ->
  // "smb://computer/share/a%20b"): every byte but letters, digits and "-._~/:[]" is written %XX (a
  // computer may carry its port, "//computer:1445/share").
  static std::string UrlOf(const std::string& path);

 private:
  struct Job;
  void start();
  // Makes the library's context (on the client's thread).
  void open();
  void serve();
  // The library asks for the credentials of `server` and `share` (on the client's thread).
  void credentials(const char* server, const char* share, char* workGroup, int workGroupLength,
                   char* user, int userLength, char* password, int passwordLength);
  static void authenticate(SmbContext* context, const char* server, const char* share,
                           char* workGroup, int workGroupLength, char* user, int userLength,
                           char* password, int passwordLength);

  SmbOptions options_;
  NetworkWait* wait_ = nullptr;
  SmbContext* context_ = nullptr;
  int startError_ = 0;
  std::string workGroup_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<Job>> queue_;
  bool stopping_ = false;
  std::thread thread_;
  std::once_flag started_;

  std::mutex credentialsMutex_;
  std::string attemptKey_, attemptUser_, attemptPassword_;
  std::map<std::string, std::string> users_;  // user name by "SERVER/SHARE"
};

}  // namespace durnix

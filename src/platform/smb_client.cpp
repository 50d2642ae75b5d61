// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/smb_client.h"

#include <libsmbclient.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>

#include "formats/file_system.h"
#include "formats/text_rules.h"
#include "shell/network.h"

namespace durnix {

namespace {

std::string keyOf(const std::string& server, const std::string& share) {
  return UpperAscii(server + "/" + share);
}

void copyInto(char* out, int length, const std::string& text) {
  if (length <= 0) return;
  std::snprintf(out, static_cast<std::size_t>(length), "%s", text.c_str());
}

// The library's messages go nowhere: they may name users, and the program tells its own.
void discardLog(void*, int, const char*) {}

// How long a request may take before the caller's wait (busy pointer, Cancel) begins.
constexpr auto kBlink = std::chrono::milliseconds(150);

}  // namespace

struct SmbClient::Job : PendingRequest {
  Request request;
  std::atomic<bool> cancelled{false};
  std::atomic<bool> over{false};
  int result = 0;
  std::mutex mutex;
  std::condition_variable done;
  std::function<void()> wake;

  bool finished() const override { return over.load(); }
  void whenFinished(std::function<void()> w) override {
    std::unique_lock lock(mutex);
    if (!over) {
      wake = std::move(w);
      return;
    }
    wake = nullptr;
    lock.unlock();
    if (w) w();
  }
  // On the client's thread.
  void finish(int value) {
    {
      std::lock_guard lock(mutex);
      result = value;
      over = true;
      // Under the lock, so that a waiter that takes its wake back never sees it run later.
      if (wake) wake();
      wake = nullptr;
    }
    done.notify_all();
  }
};

SmbClient::SmbClient(SmbOptions options) : options_(std::move(options)) {}

int SmbClient::startError() {
  start();
  return startError_;
}

const std::string& SmbClient::workGroup() {
  start();
  return workGroup_;
}

void SmbClient::start() {
  std::call_once(started_, [this] {
    // The thread owns the promise, so that it outlives the signal to this one.
    std::promise<void> ready;
    std::future<void> up = ready.get_future();
    thread_ = std::thread([this, ready = std::move(ready)]() mutable {
      open();
      ready.set_value();
      serve();
    });
    up.wait();
  });
}

void SmbClient::open() {
  SmbContext* context = smbc_new_context();
  if (context == nullptr) {
    startError_ = errno != 0 ? errno : ENOMEM;
    return;
  }
  smbc_setDebug(context, 0);
  smbc_setLogCallback(context, nullptr, discardLog);
  if (!options_.configFile.empty() &&
      smbc_setConfiguration(context, options_.configFile.c_str()) != 0) {
    startError_ = errno != 0 ? errno : EINVAL;
  }
  smbc_setOptionUserData(context, this);
  smbc_setFunctionAuthDataWithContext(context, &SmbClient::authenticate);
  smbc_setOptionNoAutoAnonymousLogin(context, false);
  // Credentials go to no other process: no Kerberos, no winbind credential cache.
  smbc_setOptionUseKerberos(context, false);
  smbc_setOptionFallbackAfterKerberos(context, true);
  smbc_setOptionUseCCache(context, false);
  smbc_setTimeout(context, options_.timeoutMs);
  if (options_.port != 0) smbc_setPort(context, options_.port);
  if (startError_ == 0 && smbc_init_context(context) == nullptr) {
    startError_ = errno != 0 ? errno : EINVAL;
  }
  if (startError_ != 0) {
    smbc_free_context(context, 1);
    return;
  }
  const char* group = smbc_getWorkgroup(context);
  workGroup_ = group != nullptr && *group != '\0' ? group : "WORKGROUP";
  context_ = context;
}

SmbClient::~SmbClient() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (const auto& job : queue_) job->cancelled = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  WipeCredential(attemptPassword_);
}

void SmbClient::serve() {
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) break;
      job = queue_.front();
      queue_.pop_front();
    }
    job->finish(context_ == nullptr ? startError_ : job->request(context_, job->cancelled));
  }
  if (context_ != nullptr) smbc_free_context(context_, 1);
  context_ = nullptr;
}

int SmbClient::Run(Request request) {
  start();
  auto job = std::make_shared<Job>();
  job->request = std::move(request);
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(job);
  }
  wake_.notify_one();
  {
    std::unique_lock lock(job->mutex);
    if (job->done.wait_for(lock, kBlink, [&] { return job->finished(); })) return job->result;
    if (wait_ == nullptr) {
      job->done.wait(lock, [&] { return job->finished(); });
      return job->result;
    }
  }
  const bool gaveUp = wait_->Wait(*job);
  job->whenFinished(nullptr);
  if (gaveUp && !job->finished()) {
    job->cancelled = true;
    return ECANCELED;
  }
  std::unique_lock lock(job->mutex);
  job->done.wait(lock, [&] { return job->finished(); });
  return job->result;
}

void SmbClient::BeginAttempt(const std::string& server, const std::string& share,
                             const std::string& user, const std::string& password) {
  std::lock_guard lock(credentialsMutex_);
  attemptKey_ = keyOf(server, share);
  attemptUser_ = user;
  attemptPassword_ = password;
}

void SmbClient::EndAttempt(bool connected) {
  std::lock_guard lock(credentialsMutex_);
  if (connected) {
    if (attemptUser_.empty()) {
      users_.erase(attemptKey_);
    } else {
      users_[attemptKey_] = attemptUser_;
    }
  }
  WipeCredential(attemptPassword_);
  attemptUser_.clear();
  attemptKey_.clear();
}

void SmbClient::Disconnect(const std::string& server, const std::string& share) {
  std::string user;
  {
    std::lock_guard lock(credentialsMutex_);
    const auto it = users_.find(keyOf(server, share));
    if (it != users_.end()) {
      user = it->second;
      users_.erase(it);
    }
  }
  const std::string group = workGroup();
  Run([server, share, user, group](SmbContext* c, const std::atomic<bool>&) {
    SMBCSRV* open = smbc_getFunctionGetCachedServer(c)(c, server.c_str(), share.c_str(),
                                                       group.c_str(), user.c_str());
    if (open != nullptr) smbc_getFunctionRemoveUnusedServer(c)(c, open);
    return 0;
  });
}

void SmbClient::credentials(const char* server, const char* share, char* workGroup,
                            int workGroupLength, char* user, int userLength, char* password,
                            int passwordLength) {
  std::lock_guard lock(credentialsMutex_);
  const std::string key = keyOf(server != nullptr ? server : "", share != nullptr ? share : "");
  const std::string serverKey = keyOf(server != nullptr ? server : "", "IPC$");
  std::string name;
  if (!attemptKey_.empty() && attemptKey_ == key) {
    copyInto(user, userLength, attemptUser_);
    copyInto(password, passwordLength, attemptPassword_);
    return;
  }
  if (const auto it = users_.find(key); it != users_.end()) {
    name = it->second;
  } else if (const auto server_ = users_.find(serverKey); server_ != users_.end()) {
    name = server_->second;
  }
  copyInto(user, userLength, name);
  copyInto(password, passwordLength, "");
  (void)workGroup;
  (void)workGroupLength;
}

void SmbClient::authenticate(SmbContext* context, const char* server, const char* share,
                             char* workGroup, int workGroupLength, char* user, int userLength,
                             char* password, int passwordLength) {
  auto* client = static_cast<SmbClient*>(smbc_getOptionUserData(context));
  client->credentials(server, share, workGroup, workGroupLength, user, userLength, password,
                      passwordLength);
}

std::string SmbClient::UrlOf(const std::string& path) {
  return "smb:" + PercentEscaped(path, "/:[]");
}

}  // namespace durnix

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/smb_network.h"

#include <libsmbclient.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "formats/file_system.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

bool sameName(const std::string& a, const std::string& b) {
  return UpperAscii(a) == UpperAscii(b);
}

void addOnce(std::vector<std::string>& names, const std::string& name) {
  if (std::none_of(names.begin(), names.end(),
                   [&](const std::string& n) { return sameName(n, name); })) {
    names.push_back(name);
  }
}

// The computer and the shared folder of "//computer/share/..." ("IPC$" when there is none).
std::pair<std::string, std::string> partsOf(const std::string& remote) {
  std::string rest = remote.substr(std::min<std::size_t>(2, remote.size()));
  const auto slash = rest.find('/');
  if (slash == std::string::npos) return {rest, "IPC$"};
  std::string share = rest.substr(slash + 1);
  share = share.substr(0, share.find('/'));
  return {rest.substr(0, slash), share.empty() ? "IPC$" : share};
}

// The configuration the library reads when it is given none.
bool configurationExists(const std::string& given) {
  if (!given.empty()) return ::access(given.c_str(), F_OK) == 0;
  const char* home = std::getenv("HOME");
  if (home != nullptr && ::access((std::string(home) + "/.smb/smb.conf").c_str(), F_OK) == 0) {
    return true;
  }
  return ::access("/etc/samba/smb.conf", F_OK) == 0;
}

}  // namespace

int NetworkCodeOf(int error) {
  switch (error) {
    case 0:
      return kNetDone;
    case EACCES:
    case EPERM:
      return kNetNotLoggedOn;
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
      return kNetBadNetName;
    case ECONNREFUSED:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
    case ECONNRESET:
    case ENOTCONN:
    case EPIPE:
      return kNetBadNetPath;
    case ETIMEDOUT:
      return kNetTimeOut;
    case ECANCELED:
      return kNetCancelled;
    default:
      return kNetUnexpected;
  }
}

int SmbNetwork::ReadWorkGroup(std::string& name) {
  if (client_.startError() != 0) {
    return configurationExists(client_.options().configFile) ? kNetNoConfiguration
                                                             : kNetNoWorkGroup;
  }
  name = client_.workGroup();
  return kNetDone;
}

int SmbNetwork::browse(const std::string& url, unsigned type, std::vector<std::string>& names) {
  auto found = std::make_shared<std::vector<std::string>>();
  const int error = client_.Run([url, type, found](SmbContext* c, const std::atomic<bool>& stop) {
    SMBCFILE* dir = smbc_getFunctionOpendir(c)(c, url.c_str());
    if (dir == nullptr) return errno != 0 ? errno : EIO;
    // The end of the listing leaves errno as it was; a listing that breaks off sets it.
    int result = 0;
    while (!stop) {
      errno = 0;
      const smbc_dirent* entry = smbc_getFunctionReaddir(c)(c, dir);
      if (entry == nullptr) {
        result = errno;
        break;
      }
      if (entry->smbc_type == type) found->emplace_back(entry->name);
    }
    smbc_getFunctionClosedir(c)(c, dir);
    return stop ? ECANCELED : result;
  });
  lastError_ = error;
  if (error == 0) names = *found;
  return error;
}

int SmbNetwork::List(int level, const std::string& name, std::vector<std::string>& names) {
  names.clear();
  if (level >= kLevelWholeNetwork) {
    // Browsing finds the work groups of a network with a master browser (nmbd or a Windows
    // computer); without one it finds none. The client's own group is among those found.
    std::vector<std::string> groups;
    if (browse("smb://", SMBC_WORKGROUP, groups) == ECANCELED) return kNetCancelled;
    lastError_ = 0;
    if (groups.empty()) return kNetNoMoreItems;
    addOnce(names, client_.workGroup());
    for (const std::string& group : groups) addOnce(names, group);
    return kNetDone;
  }
  if (level == kLevelWorkGroup) {
    std::vector<std::string> found;
    if (browse(SmbClient::UrlOf("//" + name + "/"), SMBC_SERVER, found) == ECANCELED) {
      return kNetCancelled;
    }
    for (const std::string& computer : found) addOnce(names, computer);
    for (const std::string& computer : computers_) addOnce(names, computer);
    lastError_ = 0;
    return names.empty() ? kNetNoMoreItems : kNetDone;
  }
  std::vector<std::string> shares;
  const int error = browse(SmbClient::UrlOf("//" + name + "/"), SMBC_FILE_SHARE, shares);
  if (error != 0) return NetworkCodeOf(error);
  addComputer(name);
  for (const std::string& share : shares) {
    // A share's name becomes part of paths: one that is no entry name is not listed.
    if (IsEntryName(share) && share.back() != '$') names.push_back(name + "\\" + share);
  }
  return names.empty() ? kNetNoMoreItems : kNetDone;
}

int SmbNetwork::Connect(const std::string& remote, const std::string& user,
                        const std::string& password) {
  const auto [server, share] = partsOf(remote);
  if (server.empty()) return kNetBadNetName;
  const std::string url = SmbClient::UrlOf("//" + server + "/" + (share == "IPC$" ? "" : share));
  client_.BeginAttempt(server, share, user, password);
  const int error = client_.Run([url](SmbContext* c, const std::atomic<bool>&) {
    SMBCFILE* dir = smbc_getFunctionOpendir(c)(c, url.c_str());
    if (dir == nullptr) return errno != 0 ? errno : EIO;
    smbc_getFunctionClosedir(c)(c, dir);
    return 0;
  });
  client_.EndAttempt(error == 0);
  lastError_ = error;
  switch (error) {
    case 0:
      addComputer(server);
      return kNetDone;
    case EACCES:
    case EPERM:
      return kNetBadPassword;
    case ENOENT:
    case ENODEV:
      return kNetBadDeviceType;
    default:
      return NetworkCodeOf(error);
  }
}

int SmbNetwork::Disconnect(const std::string& remote) {
  const auto [server, share] = partsOf(remote);
  client_.Disconnect(server, share);
  return kNetDone;
}

int SmbNetwork::CodeOfFileError(int error) {
  lastError_ = error;
  return NetworkCodeOf(error);
}

std::string SmbNetwork::MessageOf(int code) {
  if (lastError_ > 0) return SystemErrorText(lastError_);
  switch (code) {
    case kNetAccessDenied:
      return "Access is denied.";
    case kNetBadNetPath:
      return "The network path was not found.";
    case kNetTimeOut:
      return "The computer did not answer in time.";
    default:
      return "An unexpected network error occurred.";
  }
}

void SmbNetwork::addComputer(const std::string& name) {
  if (!name.empty()) addOnce(computers_, name);
}

}  // namespace durnix

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/network.h"

#include <algorithm>

#include "formats/text_rules.h"

namespace durnix {

namespace {

void message(Prompter& prompter, std::string_view text) {
  prompter.Ask(std::string(text), StandardButtons::kOk);
}

}  // namespace

void WipeCredential(std::string& text) {
  std::fill(text.begin(), text.end(), '\0');
  text.clear();
}

std::string WorkGroupNotFoundText() {
  return "Your work group is not found.\r\nThis program can run with MS network.";
}

bool IsNetworkPath(std::string_view path) {
  return path.size() > 2 && path[0] == '/' && path[1] == '/' && path[2] != '/';
}

std::string RemoteNameOf(std::string_view folder) {
  if (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
  return std::string(folder);
}

std::string ShareOf(std::string_view path) {
  if (!IsNetworkPath(path)) return {};
  const auto computerEnd = path.find('/', 2);
  if (computerEnd == std::string_view::npos || computerEnd + 1 >= path.size()) return {};
  const auto shareEnd = path.find('/', computerEnd + 1);
  return std::string(path.substr(0, shareEnd));
}

std::string ShareAddress(std::string_view typed) {
  std::string address(Trim(typed));
  std::replace(address.begin(), address.end(), '\\', '/');
  if (address.size() >= 4 && (address[0] == 's' || address[0] == 'S') &&
      (address[1] == 'm' || address[1] == 'M') && (address[2] == 'b' || address[2] == 'B') &&
      address[3] == ':') {
    address.erase(0, 4);
  }
  const auto first = address.find_first_not_of('/');
  if (first == std::string::npos) return {};
  address = address.substr(first);
  while (!address.empty() && address.back() == '/') address.pop_back();
  // Doubled separators inside say nothing more.
  std::string path;
  for (const char c : address) {
    if (c == '/' && !path.empty() && path.back() == '/') continue;
    path += c;
  }
  const auto slash = path.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 >= path.size()) return {};
  return "//" + path;
}

std::string NetworkRowName(std::string_view listed, int level) {
  std::string_view name = Trim(listed);
  while (!name.empty() && (name.front() == '\\' || name.front() == '/' || name.front() == ' ' ||
                           name.front() == 0)) {
    name.remove_prefix(1);
  }
  if (level == kLevelComputer) {
    const auto slash = name.find_first_of("\\/");
    if (slash != std::string_view::npos) name = name.substr(slash + 1);
  }
  return std::string(name);
}

std::vector<FileRow> NetworkRows(int level, const std::vector<std::string>& names) {
  std::vector<FileRow> rows;
  rows.reserve(names.size() + 1);
  const auto row = [&](const std::string& name, const char* size, int attributes) {
    FileRow r;
    r.name = name;
    r.text = " " + name;
    r.size = size;
    r.attributeNumber = attributes;  // the level that entering the row leads to
    rows.push_back(std::move(r));
  };
  if (level < kLevelWholeNetwork) {
    row("..", level == kLevelWorkGroup ? "<Group>" : "<Computer>", level);
  }
  const char* size = level == kLevelWholeNetwork ? "<GROUP>"
                     : level == kLevelWorkGroup  ? "<Computer>"
                                                 : "DIR";
  for (const std::string& listed : names) {
    const std::string name = NetworkRowName(listed, level);
    if (!name.empty()) row(name, size, level - 1);
  }
  return rows;
}

int NetworkIconOf(const FileRow& row) {
  if (row.name == "..") return 0;
  switch (row.attributeNumber + 1) {
    case kLevelWholeNetwork:
      return 1;
    case kLevelWorkGroup:
      return 2;
    default:
      return 3;
  }
}

Connection ConnectWithCredentials(const std::string& remote, NetworkResources& network,
                                  Prompter& prompter, PasswordDialog& password) {
  std::string user, secret;
  bool asked = false;
  for (;;) {
    const int code = network.Connect(remote, user, secret);
    const bool triedPassword = !secret.empty();
    WipeCredential(user);
    WipeCredential(secret);
    if (code == kNetDone || code == kNetCancelled) {
      password.Forget();
      return code == kNetDone ? Connection::kConnected : Connection::kFailed;
    }
    if (code == kNetBadDeviceType || code == kNetExtendedError) {
      message(prompter, code == kNetBadDeviceType ? kResourceNotFound : kAccessNotAllowed);
      password.Forget();
      return Connection::kFailed;
    }
    if (code != kNetBadPassword && !asked) {
      message(prompter, network.MessageOf(code));
      password.Forget();
      return Connection::kFailed;
    }
    if (triedPassword) message(prompter, kInvalidPassword);
    if (!password.Ask(user, secret)) {
      password.Forget();
      return Connection::kCancelled;
    }
    asked = true;
  }
}

NetworkRefresh RefreshOnNetwork(const std::function<int()>& list, const std::string& remote,
                                NetworkResources& network, Prompter& prompter,
                                PasswordDialog& password) {
  for (;;) {
    const int code = list();
    switch (code) {
      case kNetDone:
        return NetworkRefresh::kListed;
      case kNetNoMoreItems:
        message(prompter, kNoSharedResource);
        return NetworkRefresh::kEnded;
      case kNetBadNetName:
      case kNetExtendedError:
        message(prompter, kResourceNotFound);
        return NetworkRefresh::kEnded;
      case 52:
      case kNetNotLoggedOn:
        switch (ConnectWithCredentials(remote, network, prompter, password)) {
          case Connection::kConnected:
            continue;
          case Connection::kCancelled:
            return NetworkRefresh::kBackToWorkGroup;
          case Connection::kFailed:
            return NetworkRefresh::kEnded;
        }
        return NetworkRefresh::kEnded;
      case kNetCancelled:
        return NetworkRefresh::kEnded;  // the user stopped waiting: nothing to tell
      default:
        message(prompter, network.MessageOf(code) + ", " + NumberText(code));
        return NetworkRefresh::kEnded;
    }
  }
}

}  // namespace durnix

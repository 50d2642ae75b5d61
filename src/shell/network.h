// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The network entry of the drive lists: four levels (the whole network, a work group, a computer,
// the folders of a shared folder), what their listings show, the codes the network answers with,
// and how a pane reacts to them: messages, a password asked and the connection tried again.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/prompter.h"
#include "shell/file_list.h"
#include "shell/navigation.h"

namespace durnix {

// The codes of the network, as the program tells them apart.
inline constexpr int kNetDone = 0;
inline constexpr int kNetAccessDenied = 5;
inline constexpr int kNetBadNetPath = 53;       // the computer cannot be reached
inline constexpr int kNetUnexpected = 59;       // any other failure of the network
inline constexpr int kNetBadDeviceType = 66;    // no such shared folder
inline constexpr int kNetBadNetName = 67;       // no such computer, shared folder or folder
inline constexpr int kNetBadPassword = 86;      // the user name or password was refused
inline constexpr int kNetTimeOut = 121;         // the computer did not answer in time
inline constexpr int kNetNoMoreItems = 259;     // nothing to list
inline constexpr int kNetExtendedError = 1208;  // the computer refused the request
inline constexpr int kNetCancelled = 1223;      // the user cancelled the wait
inline constexpr int kNetNotLoggedOn = 1244;    // the shared folder asks for a user name
// Why the client's work group cannot be read.
inline constexpr int kNetNoWorkGroup = 2;      // there is no network client to ask
inline constexpr int kNetNoConfiguration = 3;  // its configuration cannot be read

// The messages of the network.
inline constexpr std::string_view kNoSharedResource = "No shared resource in this computer";
inline constexpr std::string_view kResourceNotFound = "Resource not found";
inline constexpr std::string_view kAccessNotAllowed = "Access not allowed";
inline constexpr std::string_view kInvalidPassword = "Invalid password";
inline constexpr std::string_view kNoRegistry = "Can't access to registry.";
// "Your work group is not found." and "This program can run with MS network." on two lines.
std::string WorkGroupNotFoundText();

// What the platform's network services give the program.
class NetworkResources {
 public:
  virtual ~NetworkResources() = default;

  // The client's configured work group. Returns 0, kNetNoWorkGroup or kNetNoConfiguration.
  virtual int ReadWorkGroup(std::string& name) = 0;
  // The names at one level: at 255 the work groups, at 254 the computers of work group `name`,
  // at 253 the disk shares of computer `name`. Returns 0, 259 when nothing is found, or a
  // network code.
  virtual int List(int level, const std::string& name, std::vector<std::string>& names) = 0;
  // Connects to `remote` ("//computer/share", or "//computer" for the list of its shares) as
  // `user` with `password`; empty both for a guest. Returns 0 or a network code (86 for a
  // refused name or password).
  virtual int Connect(const std::string& remote, const std::string& user,
                      const std::string& password) = 0;
  // Ends the connection to `remote` and forgets its user name. Returns 0 or a network code.
  virtual int Disconnect(const std::string& remote) = 0;
  // The network code of a failure of a shared folder's file system (its error number).
  virtual int CodeOfFileError(int error) = 0;
  // The platform's words for a code (the reason of the last failure where it is known).
  virtual std::string MessageOf(int code) = 0;
};

// The dialog that asks for a user name and a password (frmPass).
class PasswordDialog {
 public:
  virtual ~PasswordDialog() = default;
  // Shows the dialog with what was typed last; true for OK, with what is typed now.
  virtual bool Ask(std::string& user, std::string& password) = 0;
  // Drops the password typed, once the connection it was typed for has been tried.
  virtual void Forget() = 0;
};

// Overwrites a credential before its memory is given back, and empties it.
void WipeCredential(std::string& text);

// Whether a path is on the network ("//computer/share/...").
bool IsNetworkPath(std::string_view path);
// The remote name of a network folder: without its trailing "/" ("//computer/share").
std::string RemoteNameOf(std::string_view folder);
// "//computer/share" of any path inside that shared folder; empty for a path outside one.
std::string ShareOf(std::string_view path);

// The shared folder a user typed ("\\computer\share", "//computer/share" or
// "smb://computer/share", a folder inside it too) as a network path without its trailing "/"
// ("//computer/share"); empty when it names no computer and shared folder.
std::string ShareAddress(std::string_view typed);

// The name a row shows for one name the network listed at `level`: trimmed, without leading
// "\", "/", blanks and NULs, and at the computer level only the share after the computer's name.
std::string NetworkRowName(std::string_view listed, int level);
// The rows of a network level: " .." first below 255 ("Size" "<Group>" or "<Computer>", "AttrNum"
// the level), then one row per name (a blank before it, "Size" "<GROUP>", "<Computer>" or "DIR",
// "AttrNum" the level below).
std::vector<FileRow> NetworkRows(int level, const std::vector<std::string>& names);
// The icon of a network row: 1 work group, 2 computer, 3 shared folder; 0 for " ..".
int NetworkIconOf(const FileRow& row);

// How the refresh of a pane on the network ended.
enum class NetworkRefresh {
  kListed,           // the pane shows its listing
  kEnded,            // a message was shown; the refresh ends
  kBackToWorkGroup,  // the password was cancelled: the pane goes back to the work group
};

// Lists a pane on the network through `list` (0 or a network code) and reacts to its code: a
// message for a failure, or a connection to `remote` with a user name and password and the
// listing again. Every message is the standard box with OK.
NetworkRefresh RefreshOnNetwork(const std::function<int()>& list, const std::string& remote,
                                NetworkResources& network, Prompter& prompter,
                                PasswordDialog& password);

// How a connection attempt ended.
enum class Connection { kConnected, kFailed, kCancelled };

// Connects to `remote`, first as a guest, then with the user name and password of the dialog
// until the connection succeeds or the user cancels (the messages of the attempt on the way).
// The credentials are kept for this attempt only.
Connection ConnectWithCredentials(const std::string& remote, NetworkResources& network,
                                  Prompter& prompter, PasswordDialog& password);

}  // namespace durnix

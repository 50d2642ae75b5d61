// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop's trash laid out as freedesktop.org has it for every desktop: the user's own
// trash in the data home ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash) for entries on
// its device, and on any other device a trash at the top of that device ($topdir/.Trash/$uid
// where the administrator made a sticky .Trash, else $topdir/.Trash-$uid). Each trashed entry
// has a .trashinfo file in info/ telling where it came from and when it was deleted, and the
// entry itself under the same name in files/. Local paths only: a network share has no trash.

#include <sys/types.h>

#include <ctime>
#include <string>

#include "formats/status.h"

namespace durnix {

class Trash {
 public:
  // `dataHome`: the folder that holds the user's trash (made when missing); `uid`: the user whose
  // trash of another device is used.
  Trash(std::string dataHome, uid_t uid) : dataHome_(std::move(dataHome)), uid_(uid) {}

  // The trash of the user of this process, in $XDG_DATA_HOME, else $HOME/.local/share.
  static Trash ForUser();

  // Moves the file or folder at `path` (absolute) into the trash of its device. Returns 0, or a
  // failure status with the system's error number in `error` when no trash can take it (none
  // can be made, or the entry cannot be moved there); the entry is then where it was.
  Status Put(const std::string& path, int& error) const;

  // The folder of the trash that takes entries of `path`, made with files/ and info/ when
  // missing; empty when there is none (`error` then tells why). `top` is set to the top of the
  // device for a trash there (the info files then hold paths from it), empty for the user's own.
  std::string FolderFor(const std::string& path, int& error, std::string* top = nullptr) const;

 private:
  std::string dataHome_;
  uid_t uid_;
};

// The text of a .trashinfo file for an entry that was at `path` (absolute, or relative to the
// top of its device), deleted at `when` (written in local time).
std::string TrashInfoText(const std::string& path, std::time_t when);

// `path` with every byte other than letters, digits, "-", ".", "_", "~" and "/" written as "%"
// and two upper-case hexadecimal digits ("a b" gives "a%20b").
std::string EscapedTrashPath(const std::string& path);

}  // namespace durnix

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The network entry of the drive lists on this platform: the work groups, computers and disk
// shares that the Samba client browses, the computers the user opened in this run, connecting
// to a shared folder with a user name and password, and the words for the network's codes.

#include <string>
#include <vector>

#include "platform/smb_client.h"
#include "shell/network.h"

namespace durnix {

class SmbNetwork : public NetworkResources {
 public:
  explicit SmbNetwork(SmbClient& client) : client_(client) {}

  int ReadWorkGroup(std::string& name) override;
  int List(int level, const std::string& name, std::vector<std::string>& names) override;
  int Connect(const std::string& remote, const std::string& user,
              const std::string& password) override;
  int Disconnect(const std::string& remote) override;
  int CodeOfFileError(int error) override;
  std::string MessageOf(int code) override;

  // A computer that the user opened in this run; its work group lists it from then on.
  void addComputer(const std::string& name);
  const std::vector<std::string>& computers() const { return computers_; }

 private:
  // Lists `url`: the names of the entries of library type `type`.
  int browse(const std::string& url, unsigned type, std::vector<std::string>& names);
  SmbClient& client_;
  std::vector<std::string> computers_;
  int lastError_ = 0;  // the error number behind the last code
};

// The network code of an error number of the Samba client.
int NetworkCodeOf(int error);

}  // namespace durnix

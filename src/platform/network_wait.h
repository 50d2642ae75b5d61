// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the desktop program waits for the network: the windows go on painting with the busy
// pointer; after a moment a small window says what is awaited and offers Cancel, and takes the
// input of every other window meanwhile. The wait ends when the client's thread says the request
// has finished. A wait on a thread other than the windows' (a conversion or a copy at work) only
// blocks that thread until the request has finished.

#include <QPointer>

#include "platform/smb_client.h"

class QWidget;

namespace durnix {

class QtNetworkWait : public NetworkWait {
 public:
  // `owner` carries the waiting window (the main window); null: centred on the screen.
  explicit QtNetworkWait(QWidget* owner) : owner_(owner) {}
  bool Wait(PendingRequest& request) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace durnix

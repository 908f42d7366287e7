// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/LocalHttpServer.h"

#include <optional>

namespace testing_support {

// A fresh self-signed certificate for 127.0.0.1 and its key, made with the
// openssl tool; nothing when the tool is missing or fails.
std::optional<LocalHttpServer::TlsIdentity> makeLocalCertificate();

}  // namespace testing_support

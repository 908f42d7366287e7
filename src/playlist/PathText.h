// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/TrimSpaces.h"

#include <QString>

// Text rules shared by playlist names, entries and paths.

// The display name of a playlist entry: the text after its last separator, or
// the whole path when it has none. The separator is the platform's own: "/" on
// Unix, where "\" is an ordinary file name character; "\" and "/" on Windows.
QString FileNameOnly(const QString& path);

// folder + separator + name. The separator is always inserted, so a folder at
// the root gives a doubled separator, which every file system accepts.
QString JoinPath(const QString& folder, const QString& name);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// True when the file's length can be read and is above zero.
bool FileExists(const QString& path);

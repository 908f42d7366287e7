// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileExists.h"

#include "files/NativePath.h"

bool FileExists(const QString& path)
{
    const std::optional<struct stat> info = NativePath::status(path);
    return info && S_ISREG(info->st_mode) && info->st_size > 0;
}

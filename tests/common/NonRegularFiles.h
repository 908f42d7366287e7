// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

namespace testing_support {

// Names in a folder that are no regular files, each named like a song or a
// playlist: a FIFO (whose plain open would wait for a writer for ever),
// links to that FIFO and to a device, a bound socket and a folder. The
// socket closes when the object goes.
class NonRegularFiles {
public:
    struct Entry {
        QString path;
        const char* kind;
    };

    NonRegularFiles(const QString& folder, const QString& suffix);
    ~NonRegularFiles();
    NonRegularFiles(const NonRegularFiles&) = delete;
    NonRegularFiles& operator=(const NonRegularFiles&) = delete;

    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
    int socket_ = -1;
};

}  // namespace testing_support

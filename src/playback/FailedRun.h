// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <cstdint>

// The songs of the list that failed in a row: once every song has failed,
// the radio stops instead of spinning through them. GUI thread only.
class FailedRun {
public:
    // Song `index` failed; true when now every one of the `songs` has (the
    // run then starts over).
    bool add(std::int32_t index, std::int32_t songs);
    // A song opened.
    void clear() { failed_.clear(); }

private:
    QSet<std::int32_t> failed_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/LoadedSong.h"
#include "audio/SongId.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class SongLoader;
class SongSlot;

// The loads the two slots wait for. A slot has one load at the loader at a
// time, and its song before is dropped before the next load starts, so a
// MIDI synthesizer is never used by two threads at once; a newer wish waits
// until the older answer is in. Decode thread only.
class SlotLoads {
public:
    explicit SlotLoads(SongLoader& loader) : loader_(loader) {}

    void request(SongSlot& slot, SongId id, const QString& path, bool ahead);
    // Moves the next answer that its slot still waits for into `song`;
    // false when there is none.
    bool nextAnswer(const std::array<std::unique_ptr<SongSlot>, 2>& songSlots, LoadedSong& song);

private:
    struct Wish {
        SongId id;
        QString path;
        bool ahead;
    };
    SongLoader& loader_;
    std::array<SongId, 2> inFlight_{};  // the load each slot has at the loader
    std::array<std::optional<Wish>, 2> waiting_;
};

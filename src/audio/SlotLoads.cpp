// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/SlotLoads.h"

#include "audio/SongLoader.h"
#include "audio/SongSlot.h"

void SlotLoads::request(SongSlot& slot, SongId id, const QString& path, bool ahead)
{
    const auto i = static_cast<std::size_t>(slot.index() & 1);
    slot.beginLoading(id, path);  // drops the song before
    if (inFlight_[i]) {
        loader_.cancel(inFlight_[i]);
        waiting_[i] = Wish{id, path, ahead};
        return;
    }
    inFlight_[i] = id;
    loader_.load(id, slot.index(), path, ahead);
}

bool SlotLoads::nextAnswer(const std::array<std::unique_ptr<SongSlot>, 2>& songSlots,
                           LoadedSong& song)
{
    while (loader_.takeResult(song)) {
        const auto i = static_cast<std::size_t>(song.slot & 1);
        if (inFlight_[i] == song.id) {
            inFlight_[i] = {};
        }
        if (waiting_[i]) {
            const Wish next = *waiting_[i];
            waiting_[i].reset();
            song.decoder.reset();  // its synthesizer is free again
            if (songSlots[i]->id() == next.id) {
                inFlight_[i] = next.id;
                loader_.load(next.id, static_cast<int>(i), next.path, next.ahead);
            }
            continue;
        }
        if (songSlots[i]->id() == song.id && songSlots[i]->state() == SongSlot::State::Loading) {
            return true;
        }
        song.decoder.reset();
    }
    return false;
}

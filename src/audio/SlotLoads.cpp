#include "audio/SlotLoads.h"

#include "audio/SongLoader.h"
#include "audio/SongSlot.h"

void SlotLoads::request(SongSlot& slot, std::uint32_t serial, const QString& path, bool ahead)
{
    const auto i = static_cast<std::size_t>(slot.index() & 1);
    slot.beginLoading(serial, path);  // drops the song before
    if (inFlight_[i] != 0) {
        loader_.cancel(inFlight_[i]);
        waiting_[i] = Wish{serial, path, ahead};
        return;
    }
    inFlight_[i] = serial;
    loader_.load(serial, slot.index(), path, ahead);
}

bool SlotLoads::nextAnswer(const std::array<std::unique_ptr<SongSlot>, 2>& songSlots,
                           LoadedSong& song)
{
    while (loader_.takeResult(song)) {
        const auto i = static_cast<std::size_t>(song.slot & 1);
        if (inFlight_[i] == song.serial) {
            inFlight_[i] = 0;
        }
        if (waiting_[i]) {
            const Wish next = *waiting_[i];
            waiting_[i].reset();
            song.decoder.reset();  // its synthesizer is free again
            if (songSlots[i]->serial() == next.serial) {
                inFlight_[i] = next.serial;
                loader_.load(next.serial, static_cast<int>(i), next.path, next.ahead);
            }
            continue;
        }
        if (songSlots[i]->serial() == song.serial &&
            songSlots[i]->state() == SongSlot::State::Loading) {
            return true;
        }
        song.decoder.reset();
    }
    return false;
}

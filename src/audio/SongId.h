// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Which song a command, a load or a report is about, and which play of it a
// range belongs to. Only SongIds issues them (the engine, on the GUI thread);
// the decode thread, the loader and their reports carry them unchanged, so
// nothing else counts songs.
struct SongId {
    std::uint32_t song = 0;  // 0: no song
    std::uint32_t play = 0;  // the PlayMPEG of the song a range belongs to; 0: none

    explicit operator bool() const { return song != 0; }
    bool operator==(const SongId&) const = default;
    bool sameSong(const SongId& other) const { return song == other.song; }
    // The song alone, as loads and slots know it.
    SongId songOnly() const { return {song, 0}; }
    // One word, for an atomic.
    std::uint64_t packed() const { return (std::uint64_t{song} << 32) | play; }
    static SongId unpacked(std::uint64_t word)
    {
        return {static_cast<std::uint32_t>(word >> 32), static_cast<std::uint32_t>(word)};
    }
};

// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the MIDI file scan. Each input is a whole file.
// Checks that the scan never overflows (UBSan aborts), that a song's length
// stays within the hour, and that times map to ticks in order.

#include "FuzzSupport.h"
#include "audio/decode/MidiFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    QString error;
    const std::optional<MidiFile> file = MidiFile::parse(bytes, error);
    if (!file) {
        check(!error.isEmpty());
        return 0;
    }
    const double duration = file->durationSeconds();
    check(std::isfinite(duration) && duration >= 0.0 && duration <= MidiFile::kMaxSeconds);
    std::vector<double> times{0.0,          0.001,    0.5,
                              duration / 2, duration, MidiFile::kMaxSeconds,
                              1e18,         1e300,    std::numeric_limits<double>::infinity()};
    std::sort(times.begin(), times.end());
    std::uint64_t previous = 0;
    for (const double at : times) {
        const std::uint64_t tick = file->tickAt(at);
        check(tick >= previous);
        previous = tick;
        const double back = file->secondsAt(tick);
        check(!std::isnan(back) && back >= 0.0);
    }
    return 0;
}

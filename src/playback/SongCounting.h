#pragma once

#include <QString>
#include <cstdint>
#include <limits>
#include <optional>

// Small rules of the play sequence: frame numbers given as text, and the
// counting of songs toward an announcement.
namespace song_counting {

// Songs between announcements are counted in 16 bits, positions in 32.
inline constexpr std::int16_t kMaxCount = std::numeric_limits<std::int16_t>::max();

inline std::optional<std::int32_t> frameFromText(const QString& text)
{
    bool ok = false;
    const std::int32_t frame = text.trimmed().toInt(&ok);
    return ok ? std::optional<std::int32_t>(frame) : std::nullopt;
}

// Counts one song toward an announcement. A count that reaches or has passed
// its threshold (which may have been lowered meanwhile) makes it due; 0 means
// never.
inline void countSong(std::int16_t& since, std::int16_t threshold, bool& due)
{
    if (since < kMaxCount) {
        ++since;
    }
    if (threshold > 0 && since >= threshold) {
        due = true;
        since = 0;
    }
}
}  // namespace song_counting

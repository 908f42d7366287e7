#pragma once

#include "speech/SpeechEngine.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <vector>

namespace speech_test {

inline double rms(const std::vector<std::int16_t>& samples)
{
    if (samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::int16_t s : samples) {
        sum += double(s) * s;
    }
    return std::sqrt(sum / double(samples.size()));
}

// Waits (with a timeout) until the engine falls silent.
bool waitSilent(const SpeechEngine& engine, int timeoutMs = 20000);

}  // namespace speech_test

// Lets test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

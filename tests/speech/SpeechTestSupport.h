// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <gtest/gtest.h>
#include <QString>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <vector>

namespace speech_test {

// The main voice of each family.
inline const QString kEspeakEnglish = QStringLiteral("espeak-ng:en-us");
inline const QString kFliteSlt = QStringLiteral("flite:cmu_us_slt");

// The rate a family's main voice speaks at.
inline int sampleRateOf(const QString& identity)
{
    return identity.startsWith(QLatin1String("flite:")) ? 16000 : 22050;
}

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

// Names a test run on one family's main voice.
inline std::string familyName(const ::testing::TestParamInfo<QString>& info)
{
    return info.param.startsWith(QLatin1String("flite:")) ? "Flite" : "Espeak";
}

// Waits (with a timeout) until the engine falls silent.
bool waitSilent(const SpeechEngine& engine, int timeoutMs = 20000);

}  // namespace speech_test

// Lets test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechTestSupport.h"

#include "common/TestSupport.h"

namespace speech_test {

bool waitSilent(const SpeechEngine& engine, int timeoutMs)
{
    return testing_support::waitUntil([&] { return engine.speakingState() == 0; },
                                      std::chrono::milliseconds(timeoutMs));
}

}  // namespace speech_test

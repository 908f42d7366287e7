// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

// A word as the synthesizer reaches it: the number of the text it belongs to
// (1 for the first text handed to the engine, counting up) and the word as
// read after translation.
struct SpokenWord {
    std::uint64_t textNumber = 0;
    QString word;
};

// Called on the synthesis thread.
using WordListener = std::function<void(const SpokenWord&)>;

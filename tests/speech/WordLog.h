// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpokenWord.h"

#include <QStringList>
#include <mutex>
#include <vector>

// Collects the words the engine reports from its synthesis thread.
class WordLog {
public:
    WordListener listener()
    {
        return [this](const SpokenWord& w) {
            const std::lock_guard<std::mutex> guard(mutex_);
            words_.push_back(w);
        };
    }
    std::vector<SpokenWord> words() const
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        return words_;
    }
    // The words, lower-cased, of one text (all texts when 0).
    QStringList text(std::uint64_t number = 0) const
    {
        QStringList out;
        for (const SpokenWord& w : words()) {
            if (number == 0 || w.textNumber == number) {
                out << w.word.toLower();
            }
        }
        return out;
    }
    void clear()
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        words_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<SpokenWord> words_;
};

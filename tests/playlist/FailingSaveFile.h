// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSaveFile>

// A save file that fails like a full disk once a few bytes are through.
class FailingSaveFile : public QSaveFile {
public:
    FailingSaveFile(const QString& name, qint64 budget) : QSaveFile(name), budget_(budget) {}

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (len > budget_) {
            QSaveFile::writeData(data, budget_);
            budget_ = 0;
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        budget_ -= len;
        return QSaveFile::writeData(data, len);
    }

private:
    qint64 budget_;
};

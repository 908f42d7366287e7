// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/StreamEncoder.h"

#include "broadcast/Mp3StreamEncoder.h"
#include "broadcast/OpusStreamEncoder.h"

std::unique_ptr<StreamEncoder> StreamEncoder::create(StreamFormat format, int kbps,
                                                     const QString& title)
{
    switch (format) {
        case StreamFormat::Mp3:
            return Mp3StreamEncoder::create(kbps);
        case StreamFormat::Opus:
            return OpusStreamEncoder::create(kbps, title);
    }
    return nullptr;
}

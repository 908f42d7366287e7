// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the .pyl reader. Each input is a whole playlist
// file. Checks that reading it in any blocks gives the same entries, that
// every entry is a trimmed line of at most 4,096 bytes, and that the entries
// written back read back the same.

#include "FuzzSupport.h"
#include "playlist/PylFormat.h"
#include "playlist/PylReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const QStringList whole = PylFormat::decode(bytes);

    // The first byte picks the block size of a second reading.
    const qsizetype step = size > 0 ? 1 + data[0] % 64 : 1;
    PylReader reader;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        reader.feed(QByteArrayView(bytes).sliced(at, std::min(step, bytes.size() - at)));
    }
    check(reader.finish() == whole);

    bool fitsAgain = true;
    for (const QString& entry : whole) {
        check(!entry.isEmpty() && !entry.contains(QLatin1Char('\r')));
        check(!entry.startsWith(QLatin1Char(' ')) && !entry.endsWith(QLatin1Char(' ')));
        check(entry.size() <= PylReader::kMaxLineBytes);
        // Bytes that are no text come back as U+FFFD, which may take more.
        fitsAgain = fitsAgain && entry.toLocal8Bit().size() <= PylReader::kMaxLineBytes;
    }
    // A first entry that starts with U+FEFF reads back as a byte-order mark.
    fitsAgain = fitsAgain && (whole.isEmpty() || !whole.first().startsWith(QChar(0xFEFF)));
    if (fitsAgain) {
        check(PylFormat::decode(PylFormat::encode(whole)) == whole);
    }
    return 0;
}

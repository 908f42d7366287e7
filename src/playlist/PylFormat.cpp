#include "playlist/PylFormat.h"

#include "playlist/PathText.h"

QByteArray PylFormat::encode(const QStringList& paths)
{
    QByteArray out;
    out.reserve(paths.size() * 64);
    for (const QString& path : paths) {
        out += trimSpaces(path).toLocal8Bit();
        out += "\r\n";
    }
    return out;
}

namespace {

void keepLine(const QByteArray& bytes, qsizetype begin, qsizetype end, QStringList& out)
{
    // Trimming the bytes is the same as trimming the text: 0x20 only ever
    // stands for a space in the 8-bit encodings used here.
    while (begin < end && bytes.at(begin) == ' ') {
        ++begin;
    }
    while (end > begin && bytes.at(end - 1) == ' ') {
        --end;
    }
    if (end > begin) {
        out.append(QString::fromLocal8Bit(bytes.constData() + begin, end - begin));
    }
}

}  // namespace

QStringList PylFormat::decode(const QByteArray& bytes)
{
    QStringList out;
    qsizetype begin = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes.at(i) != '\r') {
            continue;
        }
        keepLine(bytes, begin, i, out);
        if (i + 1 < size && bytes.at(i + 1) == '\n') {
            ++i;
        }
        begin = i + 1;
    }
    keepLine(bytes, begin, size, out);
    return out;
}

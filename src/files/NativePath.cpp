// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/NativePath.h"

#include <QFile>
#include <QStringDecoder>
#include <array>
#include <cstdlib>
#include <memory>

namespace {

constexpr char16_t kKeptByteBase = 0xDC00;

// A kept byte is a lone low surrogate: the same unit after a high surrogate
// is the second half of a character beyond U+FFFF, which is text.
bool isKeptAt(QStringView path, qsizetype i)
{
    const char16_t unit = path.at(i).unicode();
    return unit >= 0xDC80 && unit <= 0xDCFF && (i == 0 || !path.at(i - 1).isHighSurrogate());
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at` (Unicode's table of
// well-formed byte sequences: no overlong forms, no surrogates, nothing
// beyond U+10FFFF), or 0 when the byte starts none. Qt's decoder agrees on
// every sequence this accepts.
int sequenceAt(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); };
    const unsigned char lead = byte(at);
    const qsizetype left = bytes.size() - at;
    if (lead < 0x80) {
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if (!isContinuation(byte(at + i))) {
            return 0;
        }
    }
    return length;
}

// What Windows-1252 makes of 0x80 to 0x9F; 0 where it defines nothing.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t windows1252(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t shown = kWindows1252High[byte - 0x80];
        return shown != 0 ? shown : char16_t{0xFFFD};
    }
    return byte;
}

// A name's bytes are never a document: a leading EF BB BF is the name's first
// character, which QString::fromUtf8 would drop as a byte-order mark.
QString decodeUtf8(const char* bytes, qsizetype size)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(QByteArrayView(bytes, size));
}

}  // namespace

namespace NativePath {

QString fromBytes(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    return QFile::decodeName(bytes);
#else
    // Runs of valid UTF-8 are decoded whole; only the bytes between them are
    // kept one by one.
    QString text;
    qsizetype run = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = sequenceAt(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        text += decodeUtf8(bytes.constData() + run, at - run);
        text +=
            QChar(static_cast<char16_t>(kKeptByteBase + static_cast<unsigned char>(bytes.at(at))));
        run = ++at;
    }
    if (run == 0) {
        return decodeUtf8(bytes.constData(), bytes.size());
    }
    text += decodeUtf8(bytes.constData() + run, bytes.size() - run);
    return text;
#endif
}

QByteArray toBytes(const QString& path)
{
#ifdef Q_OS_WIN
    return QFile::encodeName(path);
#else
    if (!hasKeptBytes(path)) {
        return path.toUtf8();
    }
    QByteArray bytes;
    bytes.reserve(path.size() * 3);
    qsizetype from = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path.at(i).unicode();
        if (isKeptAt(path, i)) {
            bytes += QStringView(path).mid(from, i - from).toUtf8();
            bytes += static_cast<char>(unit - kKeptByteBase);
            from = i + 1;
        }
    }
    bytes += QStringView(path).mid(from).toUtf8();
    return bytes;
#endif
}

bool hasKeptBytes(const QString& path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isKeptAt(path, i)) {
            return true;
        }
    }
    return false;
}

QString readable(const QString& path)
{
    if (!hasKeptBytes(path)) {
        return path;
    }
    QString shown = path;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isKeptAt(path, i)) {
            const auto byte = static_cast<unsigned char>(path.at(i).unicode() - kKeptByteBase);
            shown[i] = QChar(windows1252(byte));
        }
    }
    return shown;
}

std::optional<struct stat> status(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(toBytes(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return info;
}

QString canonical(const QString& path)
{
    if (path.isEmpty()) {
        return {};
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(toBytes(path).constData(), nullptr), &std::free);
    return resolved ? fromBytes(QByteArray(resolved.get())) : QString();
}

}  // namespace NativePath

// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/LenientXml.h"

#include "feed/HtmlReferences.h"

#include <QHash>
#include <QStringList>
#include <vector>

namespace {

constexpr QByteArrayView kUtf8Mark{"\xEF\xBB\xBF"};
// Longer than any name worth reading as a reference.
constexpr qsizetype kMaxNameBytes = 64;

// One "&name;" in the document: from the "&" to past the ";".
struct Reference {
    qsizetype begin;
    qsizetype end;
    // Points into the document.
    QByteArrayView name;
};

struct Scan {
    std::vector<Reference> references;
    bool internalSubset = false;
};

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' ||
           u == '-' || u == '_' || u == ':' || u >= 0x80;
}

bool isXmlsOwn(QByteArrayView name)
{
    return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
}

// Where the construct that opens at `at` with `open` ends (past `close`);
// the document's end when it never closes.
qsizetype pastClose(QByteArrayView text, qsizetype at, QByteArrayView open, QByteArrayView close)
{
    const qsizetype found = text.indexOf(close, at + open.size());
    return found < 0 ? text.size() : found + close.size();
}

// Past the DOCTYPE that opens at `at`; notes whether it holds a subset.
qsizetype pastDoctype(QByteArrayView text, qsizetype at, bool& internalSubset)
{
    char quote = 0;
    for (qsizetype i = at; i < text.size(); ++i) {
        const char c = text.at(i);
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            internalSubset = true;
            return text.size();
        } else if (c == '>') {
            return i + 1;
        }
    }
    return text.size();
}

// The reference that starts at the "&" at `at`, when it is a named one.
std::optional<Reference> namedReference(QByteArrayView text, qsizetype at)
{
    qsizetype end = at + 1;
    const qsizetype limit = std::min(text.size(), at + 1 + kMaxNameBytes);
    while (end < limit && isNameByte(text.at(end))) {
        ++end;
    }
    if (end == at + 1 || end >= text.size() || text.at(end) != ';') {
        return std::nullopt;
    }
    const QByteArrayView name = text.sliced(at + 1, end - at - 1);
    if (isXmlsOwn(name)) {
        return std::nullopt;
    }
    return Reference{at, end + 1, name};
}

Scan scan(QByteArrayView text)
{
    Scan found;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text.at(i);
        if (c == '&') {
            if (std::optional<Reference> reference = namedReference(text, i)) {
                i = reference->end;
                found.references.push_back(std::move(*reference));
                continue;
            }
        } else if (c == '<') {
            const QByteArrayView rest = text.sliced(i);
            if (rest.startsWith("<!--")) {
                i = pastClose(text, i, "<!--", "-->");
                continue;
            }
            if (rest.startsWith("<![CDATA[")) {
                i = pastClose(text, i, "<![CDATA[", "]]>");
                continue;
            }
            if (rest.startsWith("<?")) {
                i = pastClose(text, i, "<?", "?>");
                continue;
            }
            if (rest.startsWith("<!DOCTYPE")) {
                i = pastDoctype(text, i, found.internalSubset);
                if (found.internalSubset) {
                    return found;
                }
                continue;
            }
        }
        ++i;
    }
    return found;
}

QByteArray characterReferences(const QString& text)
{
    QByteArray out;
    for (const char32_t code : text.toUcs4()) {
        out += "&#x" + QByteArray::number(static_cast<uint>(code), 16) + ';';
    }
    return out;
}

QByteArray escaped(QByteArrayView name)
{
    return "&amp;" + name.toByteArray() + ';';
}

// What each name is written as for the XML reader: the character references
// of its text, or the name escaped so that it reads as written.
QHash<QByteArrayView, QByteArray> replacements(const std::vector<Reference>& references)
{
    QHash<QByteArrayView, QByteArray> written;
    QStringList names;
    for (const Reference& reference : references) {
        if (written.size() >= LenientXml::kMaxNames) {
            break;
        }
        if (!written.contains(reference.name)) {
            written.insert(reference.name, escaped(reference.name));
            names << QString::fromLatin1(reference.name);
        }
    }
    const QHash<QString, QString> known = HtmlReferences::resolve(names);
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        const QByteArray name = it.key().toLatin1();
        if (const auto entry = written.find(QByteArrayView(name)); entry != written.end()) {
            *entry = characterReferences(it.value());
        }
    }
    return written;
}

// The white space before the declaration (or the first element) gone, a
// byte-order mark kept in front.
QByteArray withoutLeadingSpace(const QByteArray& document)
{
    QByteArrayView rest(document);
    bool marked = false;
    while (!rest.isEmpty()) {
        if (rest.startsWith(kUtf8Mark)) {
            marked = true;
            rest = rest.sliced(kUtf8Mark.size());
        } else if (isXmlSpace(rest.front())) {
            rest = rest.sliced(1);
        } else {
            break;
        }
    }
    if (rest.size() == document.size()) {
        return document;
    }
    return marked ? kUtf8Mark.toByteArray() + rest.toByteArray() : rest.toByteArray();
}

}  // namespace

QByteArray LenientXml::prepare(const QByteArray& document)
{
    const QByteArray text = withoutLeadingSpace(document);
    const Scan found = scan(text);
    if (found.internalSubset || found.references.empty()) {
        return text;
    }
    const QHash<QByteArrayView, QByteArray> written = replacements(found.references);
    QByteArray out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype copied = 0;
    for (const Reference& reference : found.references) {
        out += QByteArrayView(text).sliced(copied, reference.begin - copied);
        if (const auto entry = written.constFind(reference.name); entry != written.cend()) {
            out += *entry;
        } else {
            out.append("&amp;").append(reference.name).append(';');
        }
        copied = reference.end;
    }
    out += QByteArrayView(text).sliced(copied);
    return out;
}

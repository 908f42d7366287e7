// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Mends the ways real feeds break XML before the XML reader sees them, where
// mending costs no safety:
// - white space before the XML declaration goes (a byte-order mark stays in
//   front, so the encoding it names still counts);
// - in a document without an internal DTD subset, every HTML named reference
//   (&nbsp;, &eacute;, &rarr; ...) becomes the character references of its
//   text, and any other undeclared reference is escaped so that it reads as
//   written. XML's own five are left alone, and so are comments, CDATA
//   sections, processing instructions and the DOCTYPE.
// A document with an internal subset is left as it is (but for the white
// space): its entity declarations are the parser's to refuse.
class LenientXml {
public:
    // At most this many different names are looked up; any further ones
    // read as written.
    static constexpr qsizetype kMaxNames = 4096;

    static QByteArray prepare(const QByteArray& document);
};

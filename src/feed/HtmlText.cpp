#include "feed/HtmlText.h"

#include <array>
#include <utility>

namespace {

// ISO-8859-1's upper half, U+00A0 to U+00FF, by their HTML names.
constexpr std::array<const char16_t*, 96> kLatin1Names = {
    u"nbsp",   u"iexcl",  u"cent",   u"pound",  u"curren", u"yen",    u"brvbar", u"sect",
    u"uml",    u"copy",   u"ordf",   u"laquo",  u"not",    u"shy",    u"reg",    u"macr",
    u"deg",    u"plusmn", u"sup2",   u"sup3",   u"acute",  u"micro",  u"para",   u"middot",
    u"cedil",  u"sup1",   u"ordm",   u"raquo",  u"frac14", u"frac12", u"frac34", u"iquest",
    u"Agrave", u"Aacute", u"Acirc",  u"Atilde", u"Auml",   u"Aring",  u"AElig",  u"Ccedil",
    u"Egrave", u"Eacute", u"Ecirc",  u"Euml",   u"Igrave", u"Iacute", u"Icirc",  u"Iuml",
    u"ETH",    u"Ntilde", u"Ograve", u"Oacute", u"Ocirc",  u"Otilde", u"Ouml",   u"times",
    u"Oslash", u"Ugrave", u"Uacute", u"Ucirc",  u"Uuml",   u"Yacute", u"THORN",  u"szlig",
    u"agrave", u"aacute", u"acirc",  u"atilde", u"auml",   u"aring",  u"aelig",  u"ccedil",
    u"egrave", u"eacute", u"ecirc",  u"euml",   u"igrave", u"iacute", u"icirc",  u"iuml",
    u"eth",    u"ntilde", u"ograve", u"oacute", u"ocirc",  u"otilde", u"ouml",   u"divide",
    u"oslash", u"ugrave", u"uacute", u"ucirc",  u"uuml",   u"yacute", u"thorn",  u"yuml",
};

// The others that turn up in headlines.
constexpr std::array<std::pair<const char16_t*, char16_t>, 34> kOtherNames = {{
    {u"amp", u'&'},         {u"lt", u'<'},          {u"gt", u'>'},          {u"quot", u'"'},
    {u"apos", u'\''},       {u"ndash", u'\u2013'},  {u"mdash", u'\u2014'},  {u"lsquo", u'\u2018'},
    {u"rsquo", u'\u2019'},  {u"sbquo", u'\u201a'},  {u"ldquo", u'\u201c'},  {u"rdquo", u'\u201d'},
    {u"bdquo", u'\u201e'},  {u"hellip", u'\u2026'}, {u"bull", u'\u2022'},   {u"trade", u'\u2122'},
    {u"euro", u'\u20ac'},   {u"dagger", u'\u2020'}, {u"Dagger", u'\u2021'}, {u"permil", u'\u2030'},
    {u"lsaquo", u'\u2039'}, {u"rsaquo", u'\u203a'}, {u"OElig", u'\u0152'},  {u"oelig", u'\u0153'},
    {u"Scaron", u'\u0160'}, {u"scaron", u'\u0161'}, {u"Yuml", u'\u0178'},   {u"fnof", u'\u0192'},
    {u"circ", u'\u02c6'},   {u"tilde", u'\u02dc'},  {u"ensp", u'\u2002'},   {u"emsp", u'\u2003'},
    {u"thinsp", u'\u2009'}, {u"minus", u'\u2212'},
}};

// Longest reference body looked at ("&#x10FFFF;" and every name fit).
constexpr qsizetype kMaxReference = 10;

std::optional<QString> numericReference(QStringView digits)
{
    int base = 10;
    if (digits.startsWith(u'x') || digits.startsWith(u'X')) {
        base = 16;
        digits = digits.mid(1);
    }
    bool ok = false;
    const uint code = digits.isEmpty() ? 0 : digits.toUInt(&ok, base);
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    if (!ok || code == 0 || code > 0x10ffff || surrogate) {
        return std::nullopt;
    }
    const char32_t character = code;
    return QString::fromUcs4(&character, 1);
}

// Tags that separate words; any other tag joins the text around it.
bool separatesWords(QStringView tag)
{
    qsizetype start = tag.startsWith(u'/') ? 1 : 0;
    qsizetype end = start;
    while (end < tag.size() && tag.at(end).isLetterOrNumber()) {
        ++end;
    }
    const QStringView name = tag.mid(start, end - start);
    constexpr std::array<const char16_t*, 12> kBreaking = {
        u"br", u"p", u"div", u"li", u"tr", u"td", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6",
    };
    for (const char16_t* breaking : kBreaking) {
        if (name.compare(QStringView(breaking), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// Whether '<' at this position opens markup rather than standing for itself.
bool opensMarkup(QStringView html, qsizetype at)
{
    if (at + 1 >= html.size()) {
        return false;
    }
    const QChar next = html.at(at + 1);
    return next.isLetter() || next == u'/' || next == u'!' || next == u'?';
}

QString withoutMarkup(QStringView html)
{
    QString text;
    text.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        if (html.at(i) != u'<' || !opensMarkup(html, i)) {
            text.append(html.at(i));
            ++i;
            continue;
        }
        const bool comment = html.mid(i).startsWith(u"<!--");
        const qsizetype end = comment ? html.indexOf(u"-->", i + 4) : html.indexOf(u'>', i + 1);
        if (end < 0) {
            // An unclosed tag hides the rest, as a browser would.
            break;
        }
        if (!comment && separatesWords(html.mid(i + 1, end - i - 1))) {
            text.append(u' ');
        }
        i = end + (comment ? 3 : 1);
    }
    return text;
}

QString withReferencesDecoded(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        const qsizetype end =
            c == u'&' ? text.mid(i + 1, kMaxReference + 1).indexOf(u';') : qsizetype(-1);
        if (end > 0) {
            if (const std::optional<QString> value = HtmlText::reference(text.mid(i + 1, end))) {
                out.append(*value);
                i += end + 2;
                continue;
            }
        }
        out.append(c);
        ++i;
    }
    return out;
}

}  // namespace

QString HtmlText::namedEntity(QStringView name)
{
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
        if (name == QStringView(kLatin1Names[i])) {
            return QString(QChar(static_cast<char16_t>(0xa0 + i)));
        }
    }
    for (const auto& [entity, character] : kOtherNames) {
        if (name == QStringView(entity)) {
            return QString(QChar(character));
        }
    }
    return QString();
}

std::optional<QString> HtmlText::reference(QStringView body)
{
    if (body.startsWith(u'#')) {
        return numericReference(body.mid(1));
    }
    QString named = namedEntity(body);
    if (named.isEmpty()) {
        return std::nullopt;
    }
    return named;
}

QString HtmlText::toPlainText(QStringView html)
{
    return withReferencesDecoded(withoutMarkup(html)).simplified();
}

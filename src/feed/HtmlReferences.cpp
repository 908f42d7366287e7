// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/HtmlReferences.h"

#include "feed/HtmlFragment.h"

#include <gumbo.h>

namespace {

// "CounterClockwiseContourIntegral" is the longest.
constexpr qsizetype kLongestName = 31;

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The text of an element made of one text node; null otherwise.
const char* onlyText(const GumboNode* element)
{
    if (element->type != GUMBO_NODE_ELEMENT || element->v.element.children.length != 1) {
        return nullptr;
    }
    const auto* child = static_cast<const GumboNode*>(element->v.element.children.data[0]);
    const bool text = child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE;
    return text ? child->v.text.text : nullptr;
}

}  // namespace

bool HtmlReferences::isCandidate(QStringView name)
{
    if (name.isEmpty() || name.size() > kLongestName || !isAsciiLetter(name.front())) {
        return false;
    }
    for (const QChar c : name) {
        if (!isAsciiLetter(c) && !(c >= u'0' && c <= u'9')) {
            return false;
        }
    }
    return true;
}

QHash<QString, QString> HtmlReferences::resolve(const QStringList& names)
{
    QHash<QString, QString> found;
    QStringList asked;
    QString html;
    for (const QString& name : names) {
        if (isCandidate(name)) {
            // One element each, so that every answer stands apart.
            html += QStringLiteral("<span>&") + name + QStringLiteral(";</span>");
            asked << name;
        }
    }
    if (asked.isEmpty()) {
        return found;
    }
    const HtmlFragment fragment(html);
    if (fragment.root() == nullptr) {
        return found;
    }
    const GumboVector& spans = fragment.root()->v.element.children;
    if (spans.length != static_cast<unsigned>(asked.size())) {
        return found;
    }
    for (unsigned i = 0; i < spans.length; ++i) {
        const char* text = onlyText(static_cast<const GumboNode*>(spans.data[i]));
        if (text == nullptr) {
            continue;
        }
        const QString value = QString::fromUtf8(text);
        // The parser keeps the ";" of a name it did not take whole; only
        // "&semi;" itself stands for one.
        const QString& name = asked.at(static_cast<qsizetype>(i));
        if (!value.endsWith(u';') || name == u"semi") {
            found.insert(name, value);
        }
    }
    return found;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/HtmlText.h"

#include "feed/HtmlFragment.h"

#include <gumbo.h>

#include <vector>

namespace {

// Elements whose content no reader sees as text (scripting is taken to be
// on, as in a browser, so <noscript> shows nothing).
bool isHidden(GumboTag tag)
{
    switch (tag) {
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_NOSCRIPT:
        case GUMBO_TAG_TEMPLATE:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_NOEMBED:
        case GUMBO_TAG_NOFRAMES:
            return true;
        default:
            return false;
    }
}

// Elements that run inside a line of text; any other one parts the words
// before and after it ("one<br>two" is two words).
bool isInline(GumboTag tag)
{
    switch (tag) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_ABBR:
        case GUMBO_TAG_ACRONYM:
        case GUMBO_TAG_B:
        case GUMBO_TAG_BDI:
        case GUMBO_TAG_BDO:
        case GUMBO_TAG_BIG:
        case GUMBO_TAG_CITE:
        case GUMBO_TAG_CODE:
        case GUMBO_TAG_DATA:
        case GUMBO_TAG_DEL:
        case GUMBO_TAG_DFN:
        case GUMBO_TAG_EM:
        case GUMBO_TAG_FONT:
        case GUMBO_TAG_I:
        case GUMBO_TAG_INS:
        case GUMBO_TAG_KBD:
        case GUMBO_TAG_MARK:
        case GUMBO_TAG_NOBR:
        case GUMBO_TAG_Q:
        case GUMBO_TAG_RUBY:
        case GUMBO_TAG_RB:
        case GUMBO_TAG_RT:
        case GUMBO_TAG_RTC:
        case GUMBO_TAG_S:
        case GUMBO_TAG_SAMP:
        case GUMBO_TAG_SMALL:
        case GUMBO_TAG_SPAN:
        case GUMBO_TAG_STRIKE:
        case GUMBO_TAG_STRONG:
        case GUMBO_TAG_SUB:
        case GUMBO_TAG_SUP:
        case GUMBO_TAG_TIME:
        case GUMBO_TAG_TT:
        case GUMBO_TAG_U:
        case GUMBO_TAG_VAR:
        case GUMBO_TAG_WBR:
        case GUMBO_TAG_UNKNOWN:
            return true;
        default:
            return false;
    }
}

// The text of the tree, in document order. Iterative: deeply nested markup
// cannot exhaust the stack.
QString textOf(const GumboNode* root)
{
    QString text;
    // A null entry stands for the end of a word-parting element.
    std::vector<const GumboNode*> pending{root};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (node == nullptr) {
            text += u' ';
            continue;
        }
        switch (node->type) {
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_CDATA:
            case GUMBO_NODE_WHITESPACE:
                text += QString::fromUtf8(node->v.text.text);
                break;
            case GUMBO_NODE_ELEMENT: {
                const GumboElement& element = node->v.element;
                if (isHidden(element.tag)) {
                    break;
                }
                const bool parts = !isInline(element.tag) && node != root;
                if (parts) {
                    text += u' ';
                    pending.push_back(nullptr);
                }
                for (unsigned i = element.children.length; i > 0; --i) {
                    pending.push_back(static_cast<const GumboNode*>(element.children.data[i - 1]));
                }
                break;
            }
            default:
                // Comments, and templates (which show nothing until used).
                break;
        }
    }
    return text;
}

// The markup within both caps.
QStringView bounded(QStringView html)
{
    html = html.left(HtmlText::kMaxMarkup);
    qsizetype tags = 0;
    for (qsizetype i = 0; i < html.size(); ++i) {
        if (html.at(i) == u'<' && ++tags == HtmlText::kMaxTags) {
            return html.left(i);
        }
    }
    return html;
}

}  // namespace

QString HtmlText::toPlainText(QStringView html)
{
    const HtmlFragment fragment(bounded(html));
    if (fragment.root() == nullptr) {
        return QString();
    }
    return textOf(fragment.root()).simplified();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringView>

struct GumboInternalNode;
struct GumboInternalOutput;

// A piece of HTML parsed as the content of a <div>, the way a browser would
// parse it there (HTML5 rules, every named character reference). Owns the
// parse tree. Any thread.
class HtmlFragment {
public:
    explicit HtmlFragment(QStringView html);
    ~HtmlFragment();
    HtmlFragment(const HtmlFragment&) = delete;
    HtmlFragment& operator=(const HtmlFragment&) = delete;

    // The <html> element that holds the fragment's nodes; null when the
    // parser gave no tree.
    const GumboInternalNode* root() const;

private:
    // The tree points into these bytes.
    QByteArray utf8_;
    GumboInternalOutput* output_ = nullptr;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/TrimSpaces.h"

#include "feed/cArticle.h"

#include <QString>
#include <memory>
#include <vector>

// An ordered list of headline records addressed by 1-based position. Records
// are shared: one handed out by Item() outlives its removal from the list.
class cArticles {
public:
    // Appends a record; each text loses its leading and trailing spaces
    // (U+0020 only: tabs and line breaks stay).
    void Add(const QString& title, const QString& author, const QString& submitted,
             const QString& url);
    void Clear();
    // Throws std::out_of_range for a position outside 1..Count().
    std::shared_ptr<cArticle> Item(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }

private:
    std::vector<std::shared_ptr<cArticle>> items_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/FeedFormat.h"
#include "feed/FeedParser.h"

#include <QString>
#include <array>
#include <optional>

// One item of a headline document while it is being read: the first text of
// each field, turned into a story when the item ends.
class FeedItem {
public:
    explicit FeedItem(FeedKind kind) : kind_(kind) {}

    // Where the text of this field goes; nothing when the item already has
    // it (the first one counts).
    QString* claim(FeedField field);
    // How the text claimed for Title or TitleFallback is carried.
    void setTitleForm(FeedField field, TitleForm form);

    // The classic document's story keeps missing children missing. The other
    // kinds give every field, empty where absent, and no story at all for an
    // item without a title: there would be nothing to read out. An item
    // whose title gives no text takes its stand-in's (dc:title).
    std::optional<FeedStory> finish() const;

private:
    static constexpr std::size_t kFields = static_cast<std::size_t>(FeedField::AuthorGroup);

    const std::optional<QString>& slot(FeedField field) const
    {
        return fields_[static_cast<std::size_t>(field)];
    }
    QString either(FeedField field, FeedField fallback) const;
    // The text to speak of Title or TitleFallback; empty when there is none.
    QString spokenTitle(FeedField field) const;

    FeedKind kind_;
    std::array<std::optional<QString>, kFields> fields_;
    TitleForm titleForm_;
    TitleForm fallbackForm_;
};

#include "feed/FeedItem.h"

#include "feed/HtmlText.h"

QString* FeedItem::claim(FeedField field)
{
    const auto index = static_cast<std::size_t>(field);
    if (index >= fields_.size() || fields_[index].has_value()) {
        return nullptr;
    }
    return &fields_[index].emplace();
}

QString FeedItem::either(FeedField field, FeedField fallback) const
{
    const std::optional<QString>& first = slot(field);
    return (first ? *first : slot(fallback).value_or(QString())).simplified();
}

std::optional<FeedStory> FeedItem::finish() const
{
    if (kind_ == FeedKind::Backslash) {
        return FeedStory{slot(FeedField::Title), slot(FeedField::Url), slot(FeedField::Date),
                         slot(FeedField::Author)};
    }
    const std::optional<QString>& rawTitle = slot(FeedField::Title);
    if (!rawTitle) {
        return std::nullopt;
    }
    // Feeds wrap and indent their texts; a listener hears words, not layout.
    const QString title = titleIsHtml_ ? HtmlText::toPlainText(*rawTitle) : rawTitle->simplified();
    if (title.isEmpty()) {
        return std::nullopt;
    }
    return FeedStory{title, either(FeedField::Url, FeedField::UrlFallback),
                     either(FeedField::Date, FeedField::DateFallback),
                     either(FeedField::Author, FeedField::AuthorFallback)};
}

// SPDX-License-Identifier: GPL-3.0-or-later
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

void FeedItem::setTitleForm(FeedField field, TitleForm form)
{
    (field == FeedField::Title ? titleForm_ : fallbackForm_) = form;
}

QString FeedItem::either(FeedField field, FeedField fallback) const
{
    const std::optional<QString>& first = slot(field);
    return (first ? *first : slot(fallback).value_or(QString())).simplified();
}

QString FeedItem::spokenTitle(FeedField field) const
{
    const std::optional<QString>& raw = slot(field);
    if (!raw) {
        return QString();
    }
    const TitleForm& form = field == FeedField::Title ? titleForm_ : fallbackForm_;
    const QString text =
        form.base64 ? QString::fromUtf8(QByteArray::fromBase64(raw->toLatin1())) : *raw;
    // Feeds wrap and indent their texts; a listener hears words, not layout.
    return form.markup == TitleForm::Markup::Text ? text.simplified() : HtmlText::toPlainText(text);
}

std::optional<FeedStory> FeedItem::finish() const
{
    if (kind_ == FeedKind::Backslash) {
        return FeedStory{slot(FeedField::Title), slot(FeedField::Url), slot(FeedField::Date),
                         slot(FeedField::Author)};
    }
    QString title = spokenTitle(FeedField::Title);
    if (title.isEmpty()) {
        title = spokenTitle(FeedField::TitleFallback);
    }
    if (title.isEmpty()) {
        return std::nullopt;
    }
    return FeedStory{title, either(FeedField::Url, FeedField::UrlFallback),
                     either(FeedField::Date, FeedField::DateFallback),
                     either(FeedField::Author, FeedField::AuthorFallback)};
}

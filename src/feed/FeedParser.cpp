// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedParser.h"

#include "feed/FeedFormat.h"
#include "feed/FeedItem.h"
#include "feed/LenientXml.h"

#include <QXmlStreamReader>

namespace {

class StoryCollector {
public:
    explicit StoryCollector(const FeedLimits& limits) : limits_(limits) {}

    bool startElement(const QXmlStreamReader& element)
    {
        ++depth_;
        if (depth_ > limits_.maxDepth) {
            return false;
        }
        if (depth_ == 1) {
            format_ = FeedFormat::fromRoot(element);
        } else if (item_) {
            startInsideItem(element);
        } else if (depth_ == 2) {
            itemsHere_ = format_->itemDepth() == 2 || format_->holdsItems(element);
            startItem(element);
        } else {
            startItem(element);
        }
        return true;
    }

    void endElement(const QXmlStreamReader& element)
    {
        if (depth_ == captureDepth_) {
            capture_ = nullptr;
            captureDepth_ = 0;
            captureMarkup_ = false;
        } else if (captureMarkup_ && depth_ > captureDepth_) {
            capture_->append(u"</").append(element.name()).append(u'>');
        }
        if (depth_ == authorDepth_) {
            authorDepth_ = 0;
        }
        if (item_ && depth_ == format_->itemDepth()) {
            if (std::optional<FeedStory> story = item_->finish()) {
                stories_.push_back(std::move(*story));
            }
            item_.reset();
        }
        --depth_;
    }

    bool characters(QStringView text)
    {
        textSize_ += text.size();
        if (textSize_ > limits_.maxText) {
            return false;
        }
        if (capture_ == nullptr) {
            return true;
        }
        if (!captureMarkup_) {
            capture_->append(text);
            return true;
        }
        for (const QChar c : text) {
            if (c == u'&') {
                capture_->append(u"&amp;");
            } else if (c == u'<') {
                capture_->append(u"&lt;");
            } else {
                capture_->append(c);
            }
        }
        return true;
    }

    // A reference the reader could not resolve (LenientXml leaves none in
    // a document it mends, so it is from an outside DTD that is never
    // fetched): it reads as written.
    bool entityReference(QStringView name)
    {
        return characters(QString(u'&').append(name).append(u';'));
    }

    std::vector<FeedStory> take() { return std::move(stories_); }

private:
    void startItem(const QXmlStreamReader& element)
    {
        if (!itemsHere_ || depth_ != format_->itemDepth() || !format_->isItem(element)) {
            return;
        }
        if (static_cast<int>(stories_.size()) < limits_.maxStories) {
            item_.emplace(format_->kind());
        }
    }

    void startInsideItem(const QXmlStreamReader& element)
    {
        if (captureMarkup_) {
            // XHTML inside a title, kept as markup for the HTML reader.
            capture_->append(u'<').append(element.name()).append(u'>');
            return;
        }
        const bool childOfItem = depth_ == format_->itemDepth() + 1;
        const bool insideAuthor = authorDepth_ != 0 && depth_ == authorDepth_ + 1;
        if (!childOfItem && !insideAuthor) {
            return;
        }
        const std::optional<FeedFormat::Field> field = format_->fieldOf(element, insideAuthor);
        if (!field) {
            return;
        }
        if (field->field == FeedField::AuthorGroup) {
            authorDepth_ = depth_;
            return;
        }
        QString* text = item_->claim(field->field);
        if (text == nullptr) {
            return;
        }
        if (field->fromHref) {
            *text = element.attributes().value(QLatin1StringView("href")).toString();
            return;
        }
        if (field->field == FeedField::Title || field->field == FeedField::TitleFallback) {
            const TitleForm form = format_->titleForm(element);
            item_->setTitleForm(field->field, form);
            captureMarkup_ = form.markup == TitleForm::Markup::Xhtml;
        }
        capture_ = text;
        captureDepth_ = depth_;
    }

    const FeedLimits& limits_;
    std::optional<FeedFormat> format_;
    std::optional<FeedItem> item_;
    std::vector<FeedStory> stories_;
    QString* capture_ = nullptr;
    qsizetype textSize_ = 0;
    int depth_ = 0;
    int captureDepth_ = 0;
    int authorDepth_ = 0;
    // The capture is of XHTML elements: their tags are kept.
    bool captureMarkup_ = false;
    // The current depth-2 element holds the items (always, but in RSS).
    bool itemsHere_ = false;
};

}  // namespace

std::optional<std::vector<FeedStory>> FeedParser::parse(const QByteArray& document,
                                                        const FeedLimits& limits)
{
    QXmlStreamReader reader(LenientXml::prepare(document));
    StoryCollector collector(limits);
    while (!reader.atEnd()) {
        bool ok = true;
        switch (reader.readNext()) {
            case QXmlStreamReader::DTD:
                // A headline feed has no use for entities of its own; refusing
                // them rules out expansion bombs whatever the parser allows.
                // A DOCTYPE that only names an outside DTD is fine: the reader
                // never fetches it.
                ok = reader.entityDeclarations().isEmpty();
                break;
            case QXmlStreamReader::StartElement:
                ok = collector.startElement(reader);
                break;
            case QXmlStreamReader::EndElement:
                collector.endElement(reader);
                break;
            case QXmlStreamReader::Characters:
                ok = collector.characters(reader.text());
                break;
            case QXmlStreamReader::EntityReference:
                ok = collector.entityReference(reader.name());
                break;
            default:
                break;
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    if (reader.hasError()) {
        return std::nullopt;
    }
    return collector.take();
}

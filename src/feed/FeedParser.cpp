#include "feed/FeedParser.h"

#include "feed/FeedFormat.h"
#include "feed/FeedItem.h"
#include "feed/HtmlText.h"

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

    void endElement()
    {
        if (depth_ == captureDepth_) {
            capture_ = nullptr;
            captureDepth_ = 0;
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
        if (capture_ != nullptr) {
            capture_->append(text);
        }
        return true;
    }

    // A reference the document could not resolve itself (it names an
    // outside DTD, as RSS 0.91 does): HTML's names stand in for the DTD.
    bool entityReference(QStringView name)
    {
        return characters(HtmlText::reference(name).value_or(QString()));
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
        if (field->field == FeedField::Title) {
            item_->setTitleIsHtml(format_->titleIsHtml(element));
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
    // The current depth-2 element holds the items (always, but in RSS).
    bool itemsHere_ = false;
};

}  // namespace

std::optional<std::vector<FeedStory>> FeedParser::parse(const QByteArray& document,
                                                        const FeedLimits& limits)
{
    QXmlStreamReader reader(document);
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
                collector.endElement();
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

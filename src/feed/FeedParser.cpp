#include "feed/FeedParser.h"

#include <QXmlStreamReader>

namespace {

std::optional<QString>* fieldFor(FeedStory& story, QStringView name)
{
    if (name == u"title") {
        return &story.title;
    }
    if (name == u"url") {
        return &story.url;
    }
    if (name == u"time") {
        return &story.time;
    }
    if (name == u"author") {
        return &story.author;
    }
    return nullptr;
}

class StoryCollector {
public:
    explicit StoryCollector(const FeedLimits& limits) : limits_(limits) {}

    bool startElement(QStringView name)
    {
        ++depth_;
        if (depth_ > limits_.maxDepth) {
            return false;
        }
        if (depth_ == 2) {
            inStory_ = name == u"story";
            if (inStory_) {
                if (static_cast<int>(stories_.size()) >= limits_.maxStories) {
                    return false;
                }
                stories_.emplace_back();
            }
        } else if (depth_ == 3 && inStory_) {
            // Only the first child of each name counts.
            std::optional<QString>* field = fieldFor(stories_.back(), name);
            if (field != nullptr && !field->has_value()) {
                field->emplace();
                capture_ = &**field;
            }
        }
        return true;
    }

    void endElement()
    {
        if (depth_ == 3) {
            capture_ = nullptr;
        } else if (depth_ == 2) {
            inStory_ = false;
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

    std::vector<FeedStory> take() { return std::move(stories_); }

private:
    const FeedLimits& limits_;
    std::vector<FeedStory> stories_;
    QString* capture_ = nullptr;
    qsizetype textSize_ = 0;
    int depth_ = 0;
    bool inStory_ = false;
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
                ok = reader.entityDeclarations().isEmpty();
                break;
            case QXmlStreamReader::StartElement:
                ok = collector.startElement(reader.qualifiedName());
                break;
            case QXmlStreamReader::EndElement:
                collector.endElement();
                break;
            case QXmlStreamReader::Characters:
                ok = collector.characters(reader.text());
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

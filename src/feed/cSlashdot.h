// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/cArticles.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// The headline feed client: one GET of http://<host>/slashdot.xml, or of the
// http(s) URL given instead of a host, parsed into headline records. HTTPS
// goes through Qt's TLS backend and trusts the system's certificates. The
// fetch is asynchronous; finished() reports its outcome. GUI thread only (it
// lives on the thread that created it).
class cSlashdot : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 MaxBodyBytes = 2 * 1024 * 1024;
    static constexpr int MaxRedirects = 5;
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    // source is the NewsHost value: a host, which may carry a port
    // ("example.org:8080"), or a whole URL ("https://example.org/feed.xml").
    explicit cSlashdot(const QString& source, QObject* parent = nullptr);
    ~cSlashdot() override;

    // Starts the fetch. Returns false, and does nothing, while an earlier
    // fetch is still running; otherwise finished() follows exactly once,
    // always from the event loop, never from inside this call. Records are
    // appended to those of earlier fetches.
    bool RetieveArticles();

    // Number of stories the last complete document held (also when a story
    // lacking a child stopped the records short, and at most
    // FeedLimits::maxStories); 0 before any.
    std::int16_t ArticleCount() const { return count_; }
    // The record at the 1-based position; throws std::out_of_range outside
    // the records stored, which may be fewer than ArticleCount().
    std::shared_ptr<cArticle> GetArticle(int index) const { return articles_.Item(index); }

    const cArticles& articles() const { return articles_; }
    bool isFetching() const { return fetching_; }
    // Outcome of the last finished fetch.
    bool lastResult() const { return result_; }
    QString url() const;
    // The whole fetch, redirects included, must finish within this time.
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

signals:
    // True when the whole document was processed; false on any failure, and
    // when a story lacked one of its four children.
    void finished(bool complete);

private:
    void onMetaData();
    void onReadyRead();
    void onReplyFinished();
    bool replyCarriesDocument() const;
    bool store(const QByteArray& document);
    void conclude(bool complete);

    QString source_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
    QByteArray body_;
    cArticles articles_;
    std::chrono::milliseconds timeout_ = DefaultTimeout;
    std::int16_t count_ = 0;
    bool fetching_ = false;
    bool result_ = false;
};

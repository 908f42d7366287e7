// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/cSlashdot.h"

#include "feed/FeedAddress.h"
#include "feed/FeedParser.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

cSlashdot::cSlashdot(const QString& source, QObject* parent)
    : QObject(parent), source_(source), manager_(std::make_unique<QNetworkAccessManager>())
{
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { conclude(false); });
}

cSlashdot::~cSlashdot()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        delete reply_;
    }
}

QString cSlashdot::url() const
{
    return FeedAddress::requestText(source_);
}

bool cSlashdot::RetieveArticles()
{
    if (fetching_) {
        return false;
    }
    fetching_ = true;
    body_.clear();

    const QUrl address = FeedAddress::requestUrl(source_);
    if (!address.isValid()) {
        // Another scheme (file:, ftp:, ...) is no headline source.
        conclude(false);
        return true;
    }
    QNetworkRequest request{address};
    request.setRawHeader("pragma", "no-cache");
    request.setRawHeader("cache-control", "no-cache");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);

    deadline_.start(timeout_);
    reply_ = manager_->get(request);
    // Keeps Qt from buffering far past the cap before we get to look.
    reply_->setReadBufferSize(256 * 1024);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &cSlashdot::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, &cSlashdot::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &cSlashdot::onReplyFinished);
    return true;
}

void cSlashdot::onMetaData()
{
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > MaxBodyBytes) {
        conclude(false);
    }
}

void cSlashdot::onReadyRead()
{
    body_ += reply_->read(MaxBodyBytes + 1 - body_.size());
    if (body_.size() > MaxBodyBytes) {
        conclude(false);
    }
}

void cSlashdot::onReplyFinished()
{
    if (!reply_) {
        return;
    }
    if (!replyCarriesDocument()) {
        conclude(false);
        return;
    }
    onReadyRead();
    if (!fetching_) {
        return;
    }
    conclude(store(body_));
}

// The HTTP status is not examined: an error page is read like any other
// answer (and is then rarely well-formed XML). A transport failure, a refused
// or looping redirect, or an unfollowed 3xx carries no document.
bool cSlashdot::replyCarriesDocument() const
{
    const QNetworkReply::NetworkError error = reply_->error();
    if (error == QNetworkReply::NoError) {
        return true;
    }
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || (status.toInt() >= 300 && status.toInt() < 400)) {
        return false;
    }
    const bool contentError = error >= QNetworkReply::ContentAccessDenied &&
                              error <= QNetworkReply::UnknownContentError &&
                              error != QNetworkReply::ContentReSendError;
    const bool serverError =
        error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError;
    return contentError || serverError;
}

bool cSlashdot::store(const QByteArray& document)
{
    const std::optional<std::vector<FeedStory>> stories = FeedParser::parse(document);
    if (!stories) {
        return false;
    }
    count_ = static_cast<std::int16_t>(stories->size());
    for (const FeedStory& story : *stories) {
        if (!story.title || !story.url || !story.time || !story.author) {
            return false;
        }
        articles_.Add(*story.title, *story.author, *story.time, *story.url);
    }
    return true;
}

void cSlashdot::conclude(bool complete)
{
    if (!fetching_) {
        return;
    }
    fetching_ = false;
    result_ = complete;
    deadline_.stop();
    if (reply_) {
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    body_.clear();
    body_.squeeze();
    // Queued, so a receiver may delete this client from its slot.
    QMetaObject::invokeMethod(
        this, [this, complete] { emit finished(complete); }, Qt::QueuedConnection);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One headline record. "Submitted" holds the feed's "time" text as given; no
// field is checked or parsed.
class cArticle {
public:
    QString Title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    QString Author() const { return author_; }
    void setAuthor(const QString& author) { author_ = author; }
    QString Submitted() const { return submitted_; }
    void setSubmitted(const QString& submitted) { submitted_ = submitted; }
    QString Url() const { return url_; }
    void setUrl(const QString& url) { url_ = url; }

private:
    QString title_;
    QString author_;
    QString submitted_;
    QString url_;
};

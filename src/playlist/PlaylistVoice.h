// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class Prompter;
class SpeechEngine;

// What the playlist window says: the spoken help, the about box followed by
// the advertisement, and the download offer behind the advertisement images.
// GUI thread only.
class PlaylistVoice {
public:
    using UrlOpener = std::function<void(const QUrl&)>;

    PlaylistVoice(SpeechEngine& speech, Prompter& prompter, UrlOpener openUrl);

    static const QString& helpText();
    static const QString& adText();
    static QString aboutText(const QString& newLine);
    static const QUrl& downloadUrl();

    // Cuts off any speech and explains how to get started.
    void help();
    // Shows the about box, then speaks the advertisement without stopping
    // speech that was already running.
    void about();
    void Ad();
    // A click on an advertisement image: offers the download, then advertises.
    void adClicked();

    // The text last spoken or shown.
    const QString& SpeechText() const { return speechText_; }

private:
    QString speechText_;
    SpeechEngine& speech_;
    Prompter& prompter_;
    UrlOpener openUrl_;
};

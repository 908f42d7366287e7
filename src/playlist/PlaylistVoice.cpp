// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistVoice.h"

#include "base/ProgramNames.h"
#include "playlist/Prompter.h"
#include "speech/SpeechEngine.h"

PlaylistVoice::PlaylistVoice(SpeechEngine& speech, Prompter& prompter, UrlOpener openUrl)
    : speech_(speech), prompter_(prompter), openUrl_(std::move(openUrl))
{
}

const QString& PlaylistVoice::helpText()
{
    static const QString text = QStringLiteral(
        "Hello, I'm Flurbo Wobbleshanktorz, To get started, all you need to do is, select some "
        "mp3 files. Move them into the Create MP3 playlist. Then, enter a name for the playlist, "
        "and click on ... Save Playlist. That's it. You're ready to go! ..............  to hear "
        "the News, you must be connected to the Internet,        Now click on Options and select "
        "the number of songs to play before I announce the time and news. So simple ............ "
        "right?");
    return text;
}

// The product's name is spelled the way the voice should say it.
const QString& PlaylistVoice::adText()
{
    static const QString text = QStringLiteral(
        "Have you met Siv'rel? Siv'rel is the picture and video viewer from Quintaviel Software. "
        "It opens your photos, drawings and movie clips in a flash, shows them full screen or as "
        "a slide show, and lets you flip through a whole folder with a single key. Siv'rel is "
        "small, quick, and easy on your computer. Click on the picture under your playlist to "
        "download Siv'rel now, and see what you have been missing!");
    return text;
}

QString PlaylistVoice::aboutText(const QString& newLine)
{
    return QStringLiteral("Tolvar MP3 Radio %1, by Quintaviel Software.")
               .arg(ProgramNames::kVersion) +
           newLine + newLine +
           QStringLiteral(
               "A talking radio for your own music: build a playlist, accept it, "
               "and the announcer plays it without end, with the time and the "
               "technology news between the songs.") +
           newLine + newLine +
           QStringLiteral(
               "Free software under the GNU General Public License, version 3 or "
               "(at your option) any later version (GPL-3.0-or-later). It comes "
               "with no warranty.");
}

const QUrl& PlaylistVoice::downloadUrl()
{
    static const QUrl url(QStringLiteral("https://example.com/sivrel/download"));
    return url;
}

void PlaylistVoice::help()
{
    speech_.stop();
    speechText_ = helpText();
    speech_.speak(speechText_);
}

void PlaylistVoice::about()
{
    speechText_ = aboutText(QStringLiteral("\r\n"));
    prompter_.ask({speechText_, QStringLiteral("Tolvar MP3 v1.0 Quintaviel Software"),
                   PromptButtons::Ok, PromptIcon::Information, false});
    Ad();
}

void PlaylistVoice::Ad()
{
    speechText_ = adText();
    speech_.speak(speechText_);
}

void PlaylistVoice::adClicked()
{
    speech_.stop();
    const PromptAnswer answer = prompter_.ask(
        {QStringLiteral("Download Sivrel Now?  Do you wish to continue?"),
         QStringLiteral("Download Sivrel?"), PromptButtons::YesNo, PromptIcon::None, false});
    if (answer == PromptAnswer::Yes && openUrl_) {
        openUrl_(downloadUrl());
    }
    Ad();
}

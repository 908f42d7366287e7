// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/RadioAnnouncer.h"

#include "announcer/TimeOfDayWord.h"
#include "base/RandomSource.h"
#include "feed/FeedAddress.h"
#include "feed/HeadlineLimit.h"
#include "feed/cSlashdot.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"

#include <QLocale>
#include <cmath>
#include <stdexcept>

namespace {

const QString kBackToTheMusic = QStringLiteral("And now,  back to the music.");
const QString kNewsHostKey = FeedAddress::settingKey();
const QString kDefaultNewsHost = FeedAddress::defaultHost();

// r in [0, 1) scaled and rounded to the nearest integer, halves to even, so
// the two ends come up half as often as the values between.
int drawOffset(double r, int span)
{
    return static_cast<int>(std::nearbyint(r * span));
}

}  // namespace

RadioAnnouncer::RadioAnnouncer(RadioSettings& settings, RandomSource& random, SpeechEngine& voice,
                               QObject* parent)
    : Announcer(parent),
      settings_(settings),
      random_(random),
      voice_(voice),
      clock_([] { return QTime::currentTime(); }),
      fetchTimeout_(cSlashdot::DefaultTimeout)
{
    connect(&voice_, &SpeechEngine::speechStopped, this, &RadioAnnouncer::dropNews);
}

RadioAnnouncer::~RadioAnnouncer() = default;

QString RadioAnnouncer::phrase(int id) const
{
    return phrases_.text(id).value_or(QString());
}

QString RadioAnnouncer::timeOfDayWord() const
{
    return TimeOfDayWord(clock_());
}

QString RadioAnnouncer::spokenTime() const
{
    return formatTime(clock_());
}

QString RadioAnnouncer::formatTime(const QTime& time)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QLocale locale = QLocale::system();
    const QString designator = time.hour() < 12 ? locale.amText() : locale.pmText();
    return QStringLiteral("%1:%2 %3")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(designator);
}

void RadioAnnouncer::speakIntro()
{
    random_.seedFromClock();
    introPick_ = static_cast<std::int16_t>(drawOffset(random_.next(), 15));
    speechText_ = phrase(IntroBase + introPick_);
    voice_.speak(speechText_ + timeOfDayWord() + QStringLiteral(" hits!"));
}

QString RadioAnnouncer::titleByArtist(const QString& title, const QString& artist)
{
    return artist.isEmpty() ? title : title + QStringLiteral(" by ") + artist;
}

QString RadioAnnouncer::comingUp(const QString& title, const QString& artist)
{
    if (title.isEmpty()) {
        return {};
    }
    return QStringLiteral("Coming up: ") + titleByArtist(title, artist) + QLatin1Char('.');
}

void RadioAnnouncer::AnnounceTime(const QString& songTitle, const QString& songArtist)
{
    if (settings_.Slow) {
        voice_.stop();
    }
    // One reading of the clock, so the word and the time always agree.
    const QTime now = clock_();
    const QString time = formatTime(now);
    const QString word = TimeOfDayWord(now);
    speechText_ = phrase(CommentBase + drawOffset(random_.next(), 50));
    if (!songTitle.isEmpty()) {
        const QString named =
            settings_.HostKnowsMusic ? titleByArtist(songTitle, songArtist) : songTitle;
        voice_.speak(QStringLiteral("That was ") + named + QStringLiteral(",    ") + speechText_ +
                     QStringLiteral(",       And ") + word + QStringLiteral(" time is ") + time);
    } else {
        voice_.speak(word + QStringLiteral(" time is ") + time);
    }
}

void RadioAnnouncer::AnnounceNews()
{
    voice_.speak(timeOfDayWord() + QStringLiteral(" tech headlines are as follows ...    "));
    fetchHeadlines();
}

void RadioAnnouncer::backToTheMusic(const QString& nextTitle, const QString& nextArtist)
{
    comingUp_ = settings_.HostKnowsMusic ? comingUp(nextTitle, nextArtist) : QString();
    // Without the wait for the voice (Slow) the headlines may still be on
    // their way; the way back to the music is said after them.
    if (fetch_ != Fetch::None) {
        fetch_ = Fetch::PendingThenBackToTheMusic;
        return;
    }
    speakBackToTheMusic();
}

void RadioAnnouncer::speakBackToTheMusic()
{
    if (!comingUp_.isEmpty()) {
        voice_.speak(comingUp_);
        comingUp_.clear();
    }
    voice_.speak(kBackToTheMusic);
}

QString RadioAnnouncer::newsHost() const
{
    if (hostOverride_) {
        return *hostOverride_;
    }
    return settings_.storedText(kNewsHostKey, kDefaultNewsHost).trimmed();
}

void RadioAnnouncer::fetchHeadlines()
{
    if (feed_) {
        // A fetch still running is abandoned; its answer would come too late.
        feed_->disconnect(this);
        feed_->deleteLater();
    }
    feed_ = new cSlashdot(newsHost(), this);
    feed_->setTimeout(fetchTimeout_);
    connect(feed_, &cSlashdot::finished, this, &RadioAnnouncer::onFeedAnswered);
    // The way back to the music that waited for an abandoned fetch waits on.
    if (fetch_ == Fetch::None) {
        fetch_ = Fetch::Pending;
    }
    if (!feed_->RetieveArticles()) {
        onFeedAnswered();
    }
}

void RadioAnnouncer::dropNews()
{
    if (fetch_ == Fetch::None) {
        return;
    }
    if (feed_) {
        feed_->disconnect(this);
        feed_->deleteLater();
        feed_ = nullptr;
    }
    fetch_ = Fetch::None;
    comingUp_.clear();
    // Later: the voice's stop() (or whoever dropped) is not re-entered.
    QMetaObject::invokeMethod(
        this, [this] { emit newsAnswered(); }, Qt::QueuedConnection);
}

void RadioAnnouncer::onFeedAnswered()
{
    QStringList titles;
    const int count = feed_ ? feed_->ArticleCount() : 0;
    for (int i = 1; i <= count; ++i) {
        try {
            titles.append(feed_->GetArticle(i)->Title());
        } catch (const std::out_of_range&) {
            titles.append(QString());
        }
    }
    // An endless feed must not keep the radio talking for hours.
    headlines_ = HeadlineLimit::limit(titles);
    for (int i = 1; i <= headlines_.size(); ++i) {
        speakHeadline(i);
    }
    if (fetch_ == Fetch::PendingThenBackToTheMusic) {
        speakBackToTheMusic();
    }
    fetch_ = Fetch::None;
    emit newsAnswered();
}

void RadioAnnouncer::speakHeadline(int index)
{
    if (index < 1 || index > headlines_.size()) {
        return;
    }
    const QString& headline = headlines_.at(index - 1);
    // A story whose record was lost has nothing to say.
    if (!headline.isEmpty()) {
        voice_.speak(headline);
    }
}

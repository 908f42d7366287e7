#pragma once

// What the sequencer and the main window ask of the announcer. GUI thread only.
class Announcer {
public:
    virtual ~Announcer() = default;

    // The intro spoken when an accepted playlist starts.
    virtual void speakIntro() = 0;
    // The comment on the song that ended, with the time of day.
    virtual void AnnounceTime() = 0;
    // The headline intro, then every headline of a fresh fetch. The fetch runs
    // asynchronously; the headlines are handed to the voice when it answers.
    virtual void AnnounceNews() = 0;
    // True while a fetch started by AnnounceNews() has not yet answered and
    // had its headlines handed to the voice. The sequencer waits for it.
    virtual bool newsPending() const = 0;
};

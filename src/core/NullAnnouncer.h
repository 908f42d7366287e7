#pragma once

#include "core/Announcer.h"

// An announcer that says nothing: the radio without a voice persona.
class NullAnnouncer : public Announcer {
public:
    void speakIntro() override {}
    void AnnounceTime() override {}
    void AnnounceNews() override {}
    bool newsPending() const override { return false; }
};

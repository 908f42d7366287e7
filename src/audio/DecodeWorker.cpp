// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/DecodeWorker.h"

#include "audio/AudioFormat.h"
#include "audio/PlayerFrame.h"
#include "audio/ThreadName.h"
#include "audio/VoiceInput.h"
#include "audio/output/AudioDevice.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {
// Sounding, the worker also looks around this often (device health) between
// the output's wake-ups, which come when there is something to do: a refill,
// an end, the voice. Every wake-up costs about as much as decoding a few
// thousand frames, so the output wakes it seldom and this is long.
constexpr auto kBusyWait = std::chrono::milliseconds(1000);
// While the voice converter holds frames back, it is drained this soon
// after the voice goes quiet.
constexpr auto kVoiceWait = std::chrono::milliseconds(100);
// With nothing to be heard it sleeps until a command, a voice or a loaded
// song wakes it.
constexpr auto kIdleWait = std::chrono::milliseconds(2000);
// The next song is armed to follow once this much of it is decoded.
constexpr std::size_t kArmFrames = 4096;
}  // namespace

DecodeWorker::DecodeWorker(Mixer& mixer, VoiceInput& voice, AudioDevice& device, Setup setup)
    : mixer_(mixer),
      voice_(voice),
      device_(device),
      notify_(std::move(setup.notify)),
      ringSwitch_(mixer),
      sleepAfter_(setup.sleepAfter)
{
    for (int i = 0; i < 2; ++i) {
        slots_[static_cast<std::size_t>(i)] = std::make_unique<SongSlot>(i, mixer_);
    }
    loader_ = std::make_unique<SongLoader>(setup.factories, std::move(setup.cacheFolder),
                                           setup.evenLoudness,
                                           [this] { mixer_.consumedSignal().notify(); });
    loads_ = std::make_unique<SlotLoads>(*loader_);
    thread_ = std::thread([this] {
        nameThisThread("tolvar decode");
        run();
    });
}

DecodeWorker::~DecodeWorker()
{
    quit_.store(true, std::memory_order_release);
    mixer_.consumedSignal().notify();
    thread_.join();
    loads_.reset();
    loader_.reset();
}

void DecodeWorker::post(Command command)
{
    commands_.push(std::move(command));
    mixer_.consumedSignal().notify();
}

void DecodeWorker::report(Report report)
{
    if (reports_.push(std::move(report)) && notify_) {
        notify_();  // one call per batch
    }
}

void DecodeWorker::run()
{
    while (!quit_.load(std::memory_order_acquire)) {
        std::chrono::milliseconds wait = kVoiceWait;
        try {
            wait = cycle();
        } catch (...) {
            // Out of memory or the like: the song ends, the radio goes on.
            for (auto& slot : slots_) {
                slot->stopRange();
            }
            range_.setEnd(range_.start());
        }
        mixer_.consumedSignal().waitFor(wait);
    }
    device_.leaveDecodeThread();
}

// One look around; returns how long to sleep until the next, unless woken.
std::chrono::milliseconds DecodeWorker::cycle()
{
    runCommands();
    takeLoaderResults();
    noticeTakes();
    // A play just started resumes the output before the rings are filled:
    // waking a sleeping device takes a while, and the first frames are
    // written long before its first block.
    updateOutput();
    bool wrote = audible().fill();
    wrote = other(audible()).fill() || wrote;
    if (wrote) {
        mixer_.notifyProduced();
    }
    armFollowOn();
    keepPublishedEnd();
    keepMeasurements();
    tellEnd();
    voice_.service();
    device_.maintain();
    const bool sounding = updateOutput();
    if (voice_.holdsBack()) {
        return kVoiceWait;
    }
    return sounding ? kBusyWait : idleWait();
}

void DecodeWorker::runCommands()
{
    while (const std::optional<Command> command = commands_.pop()) {
        execute(*command);
    }
}

void DecodeWorker::execute(const Command& command)
{
    switch (command.kind) {
        case Command::Kind::Open:
            openSong(command);
            break;
        case Command::Kind::Preload:
            preloadSong(command);
            break;
        case Command::Kind::Follow:
            setFollowOn(command);
            break;
        case Command::Kind::Play:
            playSong(command);
            break;
        case Command::Kind::Stop:
            stopSong();
            break;
        case Command::Kind::Close:
            closeSong(command.id);
            break;
        case Command::Kind::Wake:
            break;
    }
}

SongSlot* DecodeWorker::find(SongId id)
{
    for (auto& slot : slots_) {
        if (id && slot->id().sameSong(id)) {
            return slot.get();
        }
    }
    return nullptr;
}

void DecodeWorker::openSong(const Command& command)
{
    ringSwitch_.disarm();
    running_ = {};
    if (find(command.id) != nullptr) {
        // The song loaded ahead (or already playing on from the song before):
        // the program has it now.
        open_ = command.id;
        if (ahead_ == command.id) {
            ahead_ = {};
            follow_ = FollowOn::No;
        }
        return;
    }
    SongSlot& target = slotForOpen();
    open_ = command.id;
    submitLoad(target, command.id, command.path, false);
}

// The slot for a song the program opens: the one of its open song, unless
// that is the song loaded ahead or one that is sounding on.
SongSlot& DecodeWorker::slotForOpen()
{
    if (SongSlot* own = find(open_); own != nullptr && own->id() != ahead_) {
        return *own;
    }
    const int audible = ringSwitch_.audible();
    SongSlot* target = slots_[0].get();
    for (auto& slot : slots_) {
        const bool sounding = slot->index() == audible && slot->producing();
        if (slot->id() != ahead_ && !sounding) {
            target = slot.get();
            break;
        }
    }
    if (target->id() == ahead_) {
        ahead_ = {};
        follow_ = FollowOn::No;
    }
    return *target;
}

void DecodeWorker::preloadSong(const Command& command)
{
    SongSlot* target = nullptr;
    noticeTakes();
    const int audible = ringSwitch_.audible();
    for (auto& slot : slots_) {
        const bool sounding = slot->index() == audible && mixer_.hasSound();
        if ((!open_ || slot->id() != open_) && !sounding) {
            target = slot.get();
        }
    }
    if (target == nullptr) {
        // Both rings are in use (a song that followed on is not yet taken
        // over by the program): no room to load ahead now.
        report({Report::Kind::Dropped, command.id});
        return;
    }
    ringSwitch_.disarm();
    ahead_ = command.id;
    albumNext_ = {};
    follow_ = command.follow;
    aheadFirst_ = std::max<std::int32_t>(command.first, 1);
    submitLoad(*target, command.id, command.path, true);
}

void DecodeWorker::setFollowOn(const Command& command)
{
    if (command.id != ahead_) {
        return;
    }
    follow_ = command.follow;
    if (follow_ == FollowOn::No) {
        ringSwitch_.disarm();
    }
    const std::int32_t first = std::max<std::int32_t>(command.first, 1);
    if (first == aheadFirst_) {
        return;
    }
    aheadFirst_ = first;
    SongSlot* slot = find(ahead_);
    if (slot != nullptr && slot->state() == SongSlot::State::Ready &&
        slot->index() != ringSwitch_.audible()) {
        ringSwitch_.disarm();
        slot->startRange(aheadStart(*slot), slot->length());
    }
}

// Where the song loaded ahead starts, in its own frames. The album's next
// track starts at its first frame even after a flush start: it joins the
// track before as mastered, and the output it follows needs no priming.
std::int64_t DecodeWorker::aheadStart(const SongSlot& slot) const
{
    if (slot.id() == albumNext_) {
        return 0;
    }
    return player_frame::songFrameAt(aheadFirst_ - 1, slot.rate());
}

void DecodeWorker::submitLoad(SongSlot& slot, SongId id, const QString& path, bool ahead)
{
    if (pendingPlay_ && pendingPlay_->id.sameSong(slot.id())) {
        pendingPlay_.reset();
    }
    loads_->request(slot, id, path, ahead);
}

void DecodeWorker::takeLoaderResults()
{
    LoadedSong song;
    while (loads_->nextAnswer(slots_, song)) {
        installLoaded(std::move(song));
        song = LoadedSong{};
    }
}

void DecodeWorker::installLoaded(LoadedSong song)
{
    SongSlot& slot = *slots_[static_cast<std::size_t>(song.slot & 1)];
    const SongId id = song.id;
    if (slot.install(std::move(song))) {
        if (id == ahead_) {
            joinAlbum(slot);
        }
        report({Report::Kind::Opened, id, player_frame::lengthOf(slot.length(), slot.rate())});
    } else {
        report({Report::Kind::Failed, id, 0, slot.error()});
    }
    if (id == ahead_ && slot.state() == SongSlot::State::Ready) {
        slot.startRange(aheadStart(slot), slot.length());  // its start waits decoded
    }
    if (pendingPlay_ && pendingPlay_->id.sameSong(id)) {
        const Command play = *pendingPlay_;
        pendingPlay_.reset();
        startPlay(slot, play);
    }
}

void DecodeWorker::playSong(const Command& command)
{
    SongSlot* slot = find(command.id);
    if (slot != nullptr && slot->state() == SongSlot::State::Loading) {
        // Heard from the moment it is open; until then nothing plays.
        pendingPlay_ = command;
        loader_->hurry(slot->id());
        makeAudible(*slot);
        return;
    }
    if (slot == nullptr || slot->state() != SongSlot::State::Ready) {
        // Nothing to play: the range ends at once.
        ringSwitch_.disarm();
        SongSlot& silenced = audible();
        silenced.stopRange();
        publish(command.id, silenced, false);
        return;
    }
    startPlay(*slot, command);
}

void DecodeWorker::startPlay(SongSlot& slot, const Command& command)
{
    if (slot.state() != SongSlot::State::Ready) {
        publish(command.id, slot, false);
        return;
    }
    const int rate = slot.rate();
    const std::int64_t first =
        player_frame::songFrameAt(std::max<std::int32_t>(command.first, 1) - 1, rate);
    const std::int64_t end = command.last >= player_frame::lengthOf(slot.length(), rate)
                                 ? slot.length()
                                 : player_frame::songFrameAt(std::max(command.last, 0), rate);
    // A song that has followed on, or waits with its start decoded, is taken
    // as it is when it is wanted from there to its end.
    noticeTakes();
    const bool heard = slot.ring().readPosition() > slot.rangeStart();
    // The planned start of the album's next track is taken from its first frame.
    const bool albumStart = slot.id() == albumNext_ && command.first <= aheadFirst_ &&
                            slot.runsToEndFrom(aheadStart(slot));
    const bool asItIs = end == slot.length() && (slot.runsToEndFrom(first) || albumStart) &&
                        (slot.id() == followed_ || !heard);
    followed_ = {};
    bool playing = true;
    if (!asItIs) {
        playing = slot.startRange(first, end);
    }
    makeAudible(slot);
    publish(command.id, slot, playing);
}

void DecodeWorker::stopSong()
{
    ringSwitch_.disarm();
    noticeTakes();
    pendingPlay_.reset();
    SongSlot& stopped = audible();
    stopped.stopRange();
    if (followed_ && stopped.id() == followed_) {
        // A song that had followed on goes back to waiting; played later, it
        // starts from its beginning.
        ahead_ = followed_;
        followed_ = {};
    }
    running_ = {};
}

void DecodeWorker::closeSong(SongId id)
{
    if (SongSlot* slot = find(id)) {
        if (slot->state() == SongSlot::State::Loading) {
            loader_->cancel(slot->id());
        }
        if (ringSwitch_.audible() == slot->index()) {
            ringSwitch_.disarm();
        }
        slot->clear();
    }
    if (pendingPlay_ && pendingPlay_->id.sameSong(id)) {
        pendingPlay_.reset();
    }
    if (open_ == id) {
        open_ = {};
        running_ = {};
    }
}

// Takes note of a follow-on the output thread has taken since last time.
void DecodeWorker::noticeTakes()
{
    bool taken = false;
    const Mixer::Switch state = ringSwitch_.look(&taken);
    if (!taken) {
        return;
    }
    const SongSlot& now = *slots_[static_cast<std::size_t>(state.audible)];
    followed_ = now.id();  // the program takes it over with its next play
    if (ahead_ == now.id()) {
        ahead_ = {};
    }
    follow_ = FollowOn::No;
}

// The ring that stops being heard keeps no song that was partly heard as
// one waiting to start.
void DecodeWorker::makeAudible(SongSlot& slot)
{
    ringSwitch_.select(slot.index());
    noticeTakes();
    SongSlot& silent = other(slot);
    if (silent.id() != ahead_ || silent.ring().readPosition() > silent.rangeStart()) {
        silent.stopRange();
    }
}

// The song loaded ahead follows the playing one without a gap when the
// program asked for that, its start is decoded, and the playing range (the
// program's own) has not ended yet: an end that has passed is handled by
// the program.
void DecodeWorker::armFollowOn()
{
    SongSlot* next = find(ahead_);
    if (follow_ == FollowOn::No || next == nullptr || !next->runsToEndFrom(aheadStart(*next)) ||
        (next->ring().queuedFrames() < kArmFrames && !next->finished())) {
        return;
    }
    noticeTakes();
    const int playing = ringSwitch_.audible();
    if (follow_ == FollowOn::No || playing == next->index() || range_.ring() != playing ||
        !rangeRunning()) {
        return;
    }
    const Overlap overlap = overlapFor(*slots_[static_cast<std::size_t>(playing)], *next);
    ringSwitch_.arm(follow_, overlap.ms, overlap.blend);
}

// The album's next track after the playing one keeps its first frame, and
// the playing one its last, so that they join as they were mastered.
void DecodeWorker::joinAlbum(SongSlot& next)
{
    albumNext_ = {};
    if (!running_ || range_.ring() == next.index()) {
        return;
    }
    SongSlot& playing = *slots_[static_cast<std::size_t>(range_.ring())];
    if (playing.state() != SongSlot::State::Ready || !playing.album().followedBy(next.album())) {
        return;
    }
    next.keepHead();
    if (playing.keepTail() && range_.endKnown()) {
        range_.setEnd(PublishedRange::kOpen);  // the written end moved on
    }
    albumNext_ = next.id();
}

// A crossfade as asked, unless the next song is the album's next track;
// its blend from the loudness of the two ends (an edge not measured counts
// as loud), and never longer than half of either song.
DecodeWorker::Overlap DecodeWorker::overlapFor(const SongSlot& playing, const SongSlot& next) const
{
    const std::int32_t asked = crossfadeMs_.load(std::memory_order_acquire);
    if (asked <= 0 || next.id() == albumNext_) {
        return {};
    }
    const double tail = playing.span() ? playing.span()->tailLu : 0.0;
    const double head = next.span() ? next.span()->headLu : 0.0;
    Overlap overlap;
    overlap.blend = crossfade::choose(tail, head);
    const auto msOf = [](const SongSlot& slot) {
        return static_cast<std::int32_t>(std::min<std::int64_t>(
            player_frame::msAt(player_frame::lengthOf(slot.length(), slot.rate())),
            std::numeric_limits<std::int32_t>::max()));
    };
    const std::int32_t shortest = std::min(msOf(playing), msOf(next));
    overlap.ms = static_cast<std::uint16_t>(
        std::clamp(std::min(crossfade::overlapMs(overlap.blend, asked), shortest / 2), 0,
                   std::int32_t{Mixer::kMaxOverlapMs}));
    return overlap;
}

bool DecodeWorker::rangeRunning() const
{
    return running_ && !progress(running_).ended;
}

void DecodeWorker::publish(SongId play, const SongSlot& slot, bool playing)
{
    running_ = play;
    range_.publish(play, slot.index(), slot.rangeStart(), slot.expectedFrames(), playing);
    keepPublishedEnd();
}

// The running range's end becomes known when its slot has written it.
void DecodeWorker::keepPublishedEnd()
{
    if (!running_ || range_.endKnown()) {
        return;
    }
    const SongSlot& slot = *slots_[static_cast<std::size_t>(range_.ring())];
    if (slot.finished()) {
        range_.setEnd(mixer_.endOf(slot.index()));
    } else if (!slot.producing()) {
        range_.setEnd(range_.start());  // stopped, closed or cut short
    }
}

// The end of the running range is told once, when no newer command waits
// to decide otherwise. Without auto-repeat its song is then closed, so that
// a later PlayMPEG finds nothing to play.
void DecodeWorker::tellEnd()
{
    if (!running_ || !progress(running_).ended || !commands_.empty()) {
        return;
    }
    report({Report::Kind::Ended, running_});
    running_ = {};
    if (autoRepeat_.load(std::memory_order_acquire) || !open_) {
        return;
    }
    if (SongSlot* slot = find(open_)) {
        slot->clear();
    }
    report({Report::Kind::Closed, open_});
    open_ = {};
}

void DecodeWorker::keepMeasurements()
{
    for (auto& slot : slots_) {
        if (auto measured = slot->takeMeasurement()) {
            loader_->remember(measured->first, measured->second);
        }
    }
}

// Pauses the output while neither music nor voice is to be heard, puts it
// to sleep once that has lasted a while, and resumes it for the next.
bool DecodeWorker::updateOutput()
{
    const bool sounding =
        mixer_.hasSound() || !voice_.idle() || (audible().producing() && !mixer_.musicPaused());
    const auto now = std::chrono::steady_clock::now();
    if (sounding != deviceRunning_) {
        deviceRunning_ = sounding;
        deviceAsleep_ = false;
        quietSince_ = now;
        outputPaused_.store(!sounding, std::memory_order_release);
        device_.setPaused(!sounding);
    }
    if (!sounding && !deviceAsleep_ && now - quietSince_ >= sleepAfter_) {
        deviceAsleep_ = true;
        device_.sleep();
    }
    return sounding;
}

// How long the worker may sleep with nothing to be heard: no longer than
// until the output is due to be put to sleep.
std::chrono::milliseconds DecodeWorker::idleWait() const
{
    if (deviceRunning_ || deviceAsleep_) {
        return kIdleWait;
    }
    const auto due = std::chrono::ceil<std::chrono::milliseconds>(quietSince_ + sleepAfter_ -
                                                                  std::chrono::steady_clock::now());
    return std::clamp(due, std::chrono::milliseconds(1), kIdleWait);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/SongLoader.h"

#include "audio/ThreadName.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/loudness/LoudnessMeter.h"
#include "audio/loudness/ReplayGainReader.h"
#include "audio/loudness/SoundEnds.h"
#include "tags/SongInfoReader.h"

#include <algorithm>
#include <vector>

namespace {
constexpr std::size_t kChunkFrames = 4096;
constexpr std::size_t kMaxChannels = 8;
// A start this long is a fair first estimate of a song's loudness.
constexpr double kFairStartSeconds = 10.0;
}  // namespace

SongLoader::SongLoader(std::array<DecoderFactory*, 2> factories, QString cacheFolder, bool measure,
                       Wake wake)
    : factories_(factories),
      measure_(measure),
      wake_(std::move(wake)),
      cache_(std::move(cacheFolder))
{
    thread_ = std::thread([this] {
        nameThisThread("tolvar loader");
        run();
    });
}

SongLoader::~SongLoader()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        cancelled_ = current_;
    }
    wakeLoader_.notify_all();
    thread_.join();
}

void SongLoader::load(SongId id, int slot, const QString& path, bool ahead)
{
    {
        std::lock_guard lock(mutex_);
        Job job;
        job.id = id;
        job.slot = slot;
        job.path = path;
        job.ahead = ahead;
        jobs_.push_back(std::move(job));
    }
    wakeLoader_.notify_all();
}

void SongLoader::hurry(SongId id)
{
    std::lock_guard lock(mutex_);
    if (current_ == id) {
        hurried_ = id;
    }
    for (Job& job : jobs_) {
        if (job.id == id) {
            job.ahead = false;
        }
    }
}

void SongLoader::cancel(SongId id)
{
    std::lock_guard lock(mutex_);
    if (id && current_ == id) {
        cancelled_ = id;
    }
    for (Job& job : jobs_) {
        if (job.id == id) {
            job.cancelled = true;  // answered at once, without opening
        }
    }
}

void SongLoader::remember(const LoudnessCache::Key& key, const SongLoudness& loudness)
{
    {
        std::lock_guard lock(mutex_);
        Job job;
        job.key = key;
        job.remembered = loudness;
        jobs_.push_back(std::move(job));
    }
    wakeLoader_.notify_all();
}

bool SongLoader::takeResult(LoadedSong& song)
{
    std::lock_guard lock(mutex_);
    if (results_.empty()) {
        return false;
    }
    song = std::move(results_.front());
    results_.pop_front();
    return true;
}

bool SongLoader::wanted(SongId id)
{
    std::lock_guard lock(mutex_);
    return cancelled_ != id && !quit_;
}

void SongLoader::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wakeLoader_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            if (quit_) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
            current_ = job.id;
        }
        execute(job);
    }
}

void SongLoader::execute(Job& job)
{
    if (job.remembered) {
        cache_.store(*job.key, *job.remembered);
        return;
    }
    LoadedSong song;
    song.id = job.id;
    song.slot = job.slot;
    song.path = job.path;
    if (!job.cancelled && wanted(job.id)) {
        song = open(job);
    }
    if (job.cancelled || !wanted(job.id)) {
        song.decoder.reset();  // its synthesizer is free before anyone waits for it
    }
    {
        std::lock_guard lock(mutex_);
        current_ = {};
        results_.push_back(std::move(song));
    }
    wake_();
}

LoadedSong SongLoader::open(const Job& job)
{
    LoadedSong song;
    song.id = job.id;
    song.slot = job.slot;
    song.path = job.path;
    song.decoder = factories_[static_cast<std::size_t>(job.slot & 1)]->open(job.path, song.error);
    if (!song.decoder) {
        if (song.error.isEmpty()) {
            song.error = QStringLiteral("Cannot open %1").arg(job.path);
        }
        return song;
    }
    if (measure_) {
        findLoudness(job, song);
    }
    if (const std::optional<SongInfo> info = SongInfoReader::read(job.path)) {
        song.album = AlbumPlace{info->album.trimmed(), info->artist.trimmed(), info->trackNumber};
    }
    // Back to the start; a MIDI song also builds its synthesizer here rather
    // than on the decode thread.
    song.decoder->seek(0);
    return song;
}

void SongLoader::findLoudness(const Job& job, LoadedSong& song)
{
    song.loudness = ReplayGainReader::read(job.path);
    if (song.loudness && loudness::plausible(*song.loudness)) {
        return;
    }
    song.loudness.reset();
    song.cacheKey = LoudnessCache::keyOf(job.path);
    std::optional<SongLoudness> cached;
    if (song.cacheKey) {
        cached = cache_.find(*song.cacheKey);
        if (cached && !loudness::plausible(*cached)) {
            cached.reset();
        }
        // A line without the span of sound (an earlier version's, or a song
        // measured as it played) is measured again when there is time for
        // it: while the song waits to come next.
        if (cached && (cached->span || !job.ahead)) {
            song.loudness = cached;
            return;
        }
    }
    measure(job, song);
    if (cached && (!song.loudness || song.loudness->source == SongLoudness::Source::Partial)) {
        // Cut short: the gain measured whole before is the better one.
        song.loudness = cached;
        song.measuredFrames = 0;
    }
}

void SongLoader::measure(const Job& job, LoadedSong& song)
{
    Decoder& decoder = *song.decoder;
    LoudnessMeter meter(decoder.sampleRate(), decoder.channels());
    SoundEnds ends(meter);
    if (!meter.valid() || decoder.channels() > static_cast<int>(kMaxChannels) || !decoder.seek(0)) {
        return;
    }
    std::vector<std::int16_t> buffer(kChunkFrames * static_cast<std::size_t>(decoder.channels()));
    Measuring progress;
    progress.started = Clock::now();
    if (!job.ahead) {
        progress.hurriedAt = progress.started;
    }
    progress.length = decoder.length();
    progress.rate = decoder.sampleRate();
    bool whole = false;
    for (;;) {
        const std::size_t got = decoder.read(buffer.data(), kChunkFrames);
        if (got == 0) {
            whole = true;  // the end, or a fault where playing will end too
            break;
        }
        ends.add(buffer.data(), got);
        progress.done += static_cast<std::int64_t>(got);
        if (stopMeasuring(job, progress)) {
            break;
        }
    }
    const std::optional<double> lufs = meter.integratedLufs();
    SongLoudness loudness;
    loudness.source = whole ? SongLoudness::Source::Measured : SongLoudness::Source::Partial;
    // Silence has no loudness and is left as it is; a start too short to
    // tell is measured as it plays.
    loudness.lufs = lufs.value_or(loudness::kTargetLufs);
    loudness.peakDb = meter.samplePeakDb();
    if (whole) {
        loudness.span = ends.find();
    }
    song.loudness = loudness;
    song.measuredFrames = lufs ? progress.done : 0;
    if (whole && song.cacheKey) {
        cache_.store(*song.cacheKey, loudness);
    }
}

// Measuring ahead goes on to the end unless a play waits for the song or
// another song is to be loaded; from then on it has a short budget, and
// when the rest clearly does not fit in it, it ends as soon as a fair start
// has been measured.
bool SongLoader::stopMeasuring(const Job& job, Measuring& progress)
{
    {
        std::lock_guard lock(mutex_);
        if (cancelled_ == job.id || quit_) {
            return true;
        }
        const bool loadWaits = std::any_of(jobs_.begin(), jobs_.end(),
                                           [](const Job& other) { return !other.remembered; });
        if (!progress.hurriedAt && (hurried_ == job.id || loadWaits)) {
            progress.hurriedAt = Clock::now();
        }
    }
    if (!progress.hurriedAt) {
        return false;
    }
    const auto now = Clock::now();
    const auto spent = now - *progress.hurriedAt;
    if (spent >= kMeasureBudget) {
        return true;
    }
    const double perFrame = std::chrono::duration<double>(now - progress.started).count() /
                            static_cast<double>(progress.done);
    const auto rest =
        static_cast<double>(std::max<std::int64_t>(0, progress.length - progress.done));
    const double left = std::chrono::duration<double>(kMeasureBudget - spent).count();
    return perFrame * rest > left &&
           static_cast<double>(progress.done) >= kFairStartSeconds * progress.rate;
}

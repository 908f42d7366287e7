#pragma once

#include <array>

// Where the playlist window's buttons and captions sit, in twips.
namespace playlist_layout {

inline constexpr int kCommandCount = 10;

struct Twips {
    int left, top, width, height;
};

struct CommandSpec {
    const char* caption;
    const char* tip;
    Twips at;
};

constexpr std::array<CommandSpec, kCommandCount> kCommands{{
    {"Accept", "Play selected music.", {5220, 3870, 735, 315}},
    {"Load Playlist", "Load Playlist.", {6030, 2520, 1095, 315}},
    {"Save Playlist", "Save Playlist.", {4860, 2520, 1095, 315}},
    {"ID Tag", "Read - Write MP3 ID-Tag.", {990, 3870, 645, 315}},
    {"Help", "Voice Help.", {4860, 3150, 1095, 315}},
    {"Options", "Select options.", {6030, 3150, 1095, 315}},
    {"Remove", "Remove file from playlist.", {180, 3870, 735, 315}},
    {"About", "About, and Sivrel", {6820, 45, 495, 225}},
    {"Cancel", "Cancel playlist.", {6030, 3870, 735, 315}},
    {"Clear", "Clear playlist.", {1710, 3870, 645, 315}},
}};

struct CaptionSpec {
    const char* text;
    const char* tip;
    Twips at;
};

constexpr std::array<CaptionSpec, 4> kCaptions{{
    {"MP3 Files", "", {2340, 90, 690, 195}},
    {"MP3 Playlists", "Select or enter new playlist name.", {4950, 1980, 930, 195}},
    {"Folders", "", {270, 90, 510, 195}},
    {"Create MP3 Playlist", "", {270, 1800, 1365, 195}},
}};

constexpr int kWindowWidth = 7545;
constexpr int kWindowHeight = 4365;
constexpr int kAdIntervalMs = 6000;

}  // namespace playlist_layout

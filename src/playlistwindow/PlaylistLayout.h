// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/AccessibleText.h"

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

// For screen readers: the controls without a caption of their own. The
// buttons and the All and Selected panels are named by their captions and
// described by their tooltips.
constexpr std::array<AccessibleText, 7> kAccessibleTexts{{
    {"Drive1", "Drive", "The drive whose folders are listed.", "Label2_2"},
    {"Dir1", "Folders", "The folders of the drive; open one to list its songs."},
    {"List1", "MP3 Files", "The songs of the open folder.", "Label2_0"},
    {"List2", "Create MP3 Playlist", "The songs of the playlist, in playing order.", "Label2_3"},
    {"Combo1", "MP3 Playlists", "Select or enter new playlist name.", "Label2_1"},
    {"ads_0", "Advertisement", "Click Me!"},
    {"ads_1", "Advertisement", "Click Me!"},
}};

// Tab follows the window: the folders, the songs, the playlist, its name and
// the buttons beside it, the bottom row, then About at the top.
constexpr std::array<const char*, 15> kTabOrder{
    "Drive1",        "Dir1",          "List1",         "List2",         "Combo1",
    "CmdPlaylist_2", "CmdPlaylist_1", "CmdPlaylist_4", "CmdPlaylist_5", "CmdPlaylist_6",
    "CmdPlaylist_3", "CmdPlaylist_9", "CmdPlaylist_0", "CmdPlaylist_8", "CmdPlaylist_7"};

constexpr int kWindowWidth = 7545;
constexpr int kWindowHeight = 4365;
constexpr int kAdIntervalMs = 6000;

}  // namespace playlist_layout

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What one reading of a folder finds: its subfolders and its audio files, each
// in alphabetical order without regard to case, hidden entries left out. One
// pass serves both the folder list and the file list, which matters for
// folders of many thousand files. Names are as the file system has them (see
// NativePath), so every one of them opens.
struct FolderListing {
    QStringList folders;
    QStringList audioFiles;

    static FolderListing of(const QString& folder);
    // The audio patterns "*.mp3;*.mp2;*.wav;*.mid*", matched without regard
    // to case ("*.mid*" also takes names ending in ".midi").
    static bool isAudioFileName(const QString& name);
};

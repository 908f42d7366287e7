#pragma once

#include <QStringList>

class QWidget;
class Tolvars;

// A plain stand-in for the playlist window: the user picks audio files and
// they become the accepted playlist.
void choosePlaylistFiles(QWidget* owner, Tolvars& state);

// Makes the files the accepted playlist, starting at the first; nothing chosen
// leaves the playlist as it was and not accepted.
void acceptPlaylistFiles(Tolvars& state, const QStringList& files);

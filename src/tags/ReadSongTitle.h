#pragma once

class Tolvars;

// Puts the tag title of the current song (state.SongFile) into
// state.SongTitle. A song without a tag, or one that cannot be read, leaves
// SongTitle as it was. GUI thread (it writes the shared state).
void ReadSongTitle(Tolvars& state);

#include "tags/ReadSongTitle.h"

#include "core/Tolvars.h"
#include "tags/TagReader.h"

void ReadSongTitle(Tolvars& state)
{
    if (std::optional<QString> title = TagReader::songTitle(state.SongFile)) {
        state.SongTitle = std::move(*title);
    }
}

#pragma once

#include "playlist/PlaylistWindowLinks.h"

#include <functional>

class SpeechEngine;
class Tolvars;

// The playlist window's links in the running radio: the tag editor and the
// options window open modally over the playlist window, addresses open in the
// user's browser, and playIt is the main window's PlayIt. The app wires it:
//
//   MessageBoxPrompter prompter;
//   PlaylistWindowHost playlist([&] {
//       return std::make_unique<Playlist>(state, talk, player, prompter,
//                                         PlaylistFolder::forThisProgram(),
//                                         RadioPlaylistLinks(state, talk, [&] { tolvar.PlayIt();
//                                         }));
//   });
//   tolvar.setPlaylistOpener([&] { playlist.showModal(); });
//   // and playlist.unload() from the main window's unloader
PlaylistWindowLinks RadioPlaylistLinks(Tolvars& state, SpeechEngine& talk,
                                       std::function<void()> playIt);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class Playlist;

// Owns the playlist window for the main window: creates it on first use,
// shows it modally and reports when it hides again. Hidden, the window keeps
// its lists; a close request from the platform unloads it and the next open()
// creates it anew.
//
// While showModal() waits, windows opened over the playlist window (options,
// tag editor, message boxes) may still be running their own loops inside it,
// so an unload then only ends the window's loop; the window is destroyed once
// showModal() has its loop back. GUI thread only.
class PlaylistWindowHost : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<Playlist>()>;

    explicit PlaylistWindowHost(Factory make, QObject* parent = nullptr);
    ~PlaylistWindowHost() override;

    // Shows the window and returns at once; returned() follows when it hides.
    void open();
    // Shows the window and returns once it hides again, as the main window's
    // playlist command expects.
    void showModal();
    // Ends the window at program exit.
    void unload();
    // The window while it exists (shown or hidden); null before the first
    // opening and after an unload.
    Playlist* window() const { return window_.get(); }

signals:
    // The window hid itself (Accept, Cancel) or was closed; ListAccepted
    // tells whether a playlist was accepted.
    void returned();

private:
    void ensureWindow();
    void drop();

    Factory make_;
    std::unique_ptr<Playlist> window_;
    bool inShowModal_ = false;
    // Set when an unload came while showModal() was waiting.
    bool unloadPending_ = false;
};

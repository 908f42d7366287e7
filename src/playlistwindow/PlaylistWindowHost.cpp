// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlistwindow/PlaylistWindowHost.h"

#include "playlistwindow/Playlist.h"

PlaylistWindowHost::PlaylistWindowHost(Factory make, QObject* parent)
    : QObject(parent), make_(std::move(make))
{
}

PlaylistWindowHost::~PlaylistWindowHost() = default;

void PlaylistWindowHost::ensureWindow()
{
    if (!window_) {
        window_ = make_();
        connect(window_.get(), &QDialog::finished, this, &PlaylistWindowHost::returned);
        connect(window_.get(), &Playlist::unloaded, this, &PlaylistWindowHost::drop);
    }
}

void PlaylistWindowHost::open()
{
    ensureWindow();
    window_->setWindowModality(Qt::ApplicationModal);
    window_->open();
    window_->raise();
    window_->activateWindow();
}

void PlaylistWindowHost::showModal()
{
    if (inShowModal_) {
        return;  // already waiting for it further up
    }
    ensureWindow();
    window_->setWindowModality(Qt::ApplicationModal);
    inShowModal_ = true;
    window_->exec();
    inShowModal_ = false;
    // Nothing of the window is on the call stack any more.
    if (unloadPending_) {
        unloadPending_ = false;
        window_.reset();
    }
}

void PlaylistWindowHost::unload()
{
    if (!window_) {
        return;
    }
    if (inShowModal_) {
        unloadPending_ = true;
        window_->done(QDialog::Rejected);
        return;
    }
    window_.reset();
}

void PlaylistWindowHost::drop()
{
    // unloaded() comes from inside the window's own close handling.
    if (inShowModal_) {
        unloadPending_ = true;
    } else if (window_) {
        window_.release()->deleteLater();
    }
}

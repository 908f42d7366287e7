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
    ensureWindow();
    window_->setWindowModality(Qt::ApplicationModal);
    window_->exec();
}

void PlaylistWindowHost::unload()
{
    window_.reset();
}

void PlaylistWindowHost::drop()
{
    // unloaded() comes from inside the window's own close handling.
    if (window_) {
        window_.release()->deleteLater();
    }
}

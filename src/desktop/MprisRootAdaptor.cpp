// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MprisRootAdaptor.h"

#include "desktop/MediaControl.h"
#include "desktop/MediaUri.h"

MprisRootAdaptor::MprisRootAdaptor(QObject* service, MediaControl& control)
    : QDBusAbstractAdaptor(service), control_(control)
{
}

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return MediaUri::supportedMimeTypes();
}

void MprisRootAdaptor::Raise()
{
    control_.raise();
}

void MprisRootAdaptor::Quit()
{
    control_.quit();
}

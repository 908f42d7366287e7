// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>

// The words that name the program and where it keeps its settings, in one
// place: the settings store, the voice settings and main() all use these.
namespace ProgramNames {
inline constexpr QLatin1String kCompany{"Quintaviel Software"};
// The application word of the settings store (the key under the company).
inline constexpr QLatin1String kSettingsApplication{"Tolvar MP3 v1.0"};
// The section that holds every setting.
inline constexpr QLatin1String kSettingsSection{"Options"};
inline constexpr QLatin1String kProductName{"Tolvar MP3 Radio"};
// The version and the desktop id (the installed .desktop file's name less
// ".desktop"), both set in CMakeLists.txt.
inline constexpr QLatin1String kVersion{TOLVAR_VERSION};
inline constexpr QLatin1String kDesktopFileName{TOLVAR_APP_ID};
}  // namespace ProgramNames

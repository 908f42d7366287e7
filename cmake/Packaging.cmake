# SPDX-License-Identifier: GPL-3.0-or-later
# `make package`: a Debian package, tolvar-radio_<version>_<arch>.deb, of what
# `make install` puts under /usr, plus the documentation a package carries.
include(GNUInstallDirs)

# What the program loads at run time that dpkg-shlibdeps cannot see in the
# binary. Keep this list in step with the code:
#   espeak-ng-data          the announcer's voices (the speech engine)
#   timgm6mb-soundfont      the General MIDI sound font for .mid songs; any
#     | sf2-soundfont-gm    other one that installs default-GM.sf2 does too
#   ca-certificates         checking the headline feed's https certificates
# (Qt's TLS backend finds OpenSSL through libqt6network6's own dependency;
# flite's English voices are libraries the program links, so dpkg-shlibdeps
# finds libflite1 by itself. A voice or data file that is loaded at run time
# instead belongs in this list.)
set(TOLVAR_RUNTIME_DEPENDS
  "espeak-ng-data"
  "timgm6mb-soundfont | sf2-soundfont-gm"
  "ca-certificates"
)
# Wanted but not needed: native windows on Wayland (X11 works without).
set(TOLVAR_RUNTIME_RECOMMENDS "qt6-wayland")

# The documentation: the README, the copyright notice and, as Debian wants in
# every package, a changelog compressed without a time stamp.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tolvar-radio)
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" release_date_ok "${TOLVAR_RELEASE_DATE}")
if(NOT release_date_ok)
  message(FATAL_ERROR "TOLVAR_RELEASE_DATE must be YYYY-MM-DD: ${TOLVAR_RELEASE_DATE}")
endif()
set(year ${CMAKE_MATCH_1})
math(EXPR month "${CMAKE_MATCH_2}")
math(EXPR day "${CMAKE_MATCH_3}")
# The day of the week (Sakamoto's method), for the changelog's RFC 2822 date.
set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR index "${month} - 1")
list(GET month_offsets ${index} offset)
if(month LESS 3)
  math(EXPR year "${year} - 1")
endif()
math(EXPR weekday "(${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 + ${offset} + ${day}) % 7")
set(weekdays Sun Mon Tue Wed Thu Fri Sat)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET weekdays ${weekday} weekday_name)
list(GET months ${index} month_name)
string(SUBSTRING "${TOLVAR_RELEASE_DATE}" 0 4 release_year)
string(SUBSTRING "${TOLVAR_RELEASE_DATE}" 8 2 release_day)
set(TOLVAR_RELEASE_RFC2822 "${weekday_name}, ${release_day} ${month_name} ${release_year} 12:00:00 +0000")

set(changelog ${CMAKE_BINARY_DIR}/package/changelog)
configure_file(${PROJECT_SOURCE_DIR}/resources/package/changelog.in ${changelog} @ONLY)
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${GZIP} -9nf -k ${changelog}
  DEPENDS ${changelog}
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(tolvar_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/resources/package/copyright
              ${changelog}.gz
  DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvar-radio)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quintaviel Software")
set(CPACK_PACKAGE_CONTACT "${TOLVAR_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOLVAR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(TOLVAR_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TOLVAR_HOMEPAGE}")
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
list(JOIN TOLVAR_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
list(JOIN TOLVAR_RUNTIME_RECOMMENDS ", " CPACK_DEBIAN_PACKAGE_RECOMMENDS)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis, then the long description; CPack indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${TOLVAR_SUMMARY}
Tolvar MP3 Radio plays your own music files (mp3, mp2, wav and MIDI) as a
radio station: a playlist plays endlessly, in order or shuffled, and between
the songs an announcer voice gives an intro, names the song that just ended,
tells the time of day and reads the tech headlines. A demo station of short
public-domain melodies comes with it.")
include(CPack)

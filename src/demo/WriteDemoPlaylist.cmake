# SPDX-License-Identifier: GPL-3.0-or-later
# Runs at install time: writes the demo playlist, one absolute song path per
# line with CR LF after each (the .pyl format), naming the installed songs.
# Given: TOLVAR_DEMO_INSTALL_DIR (relative to the prefix, or absolute),
# TOLVAR_DEMO_SONGS (file names, in order), TOLVAR_DEMO_PLAYLIST (its name).
if(IS_ABSOLUTE "${TOLVAR_DEMO_INSTALL_DIR}")
  set(folder "${TOLVAR_DEMO_INSTALL_DIR}")
else()
  set(folder "${CMAKE_INSTALL_PREFIX}/${TOLVAR_DEMO_INSTALL_DIR}")
endif()
set(text "")
foreach(song IN LISTS TOLVAR_DEMO_SONGS)
  string(APPEND text "${folder}/${song}\r\n")
endforeach()
set(target "$ENV{DESTDIR}${folder}/${TOLVAR_DEMO_PLAYLIST}")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${text}")

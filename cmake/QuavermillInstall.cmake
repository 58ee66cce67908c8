# Install rules and the Debian package.
#
# Installed, the program folder is <prefix>/lib/quavermill, with a link in <prefix>/bin, and the
# desktop's files (menu entry, icons, AppStream metainfo, manual page) go to their usual places
# under <prefix>/share. `cpack -G DEB` in the build folder makes quavermill_<version>_<arch>.deb
# of the same files under /usr.
include(GNUInstallDirs)

set(QUAVERMILL_INSTALL_DIR lib/quavermill)
set(desktop ${PROJECT_SOURCE_DIR}/resources/desktop)

# Every program and library the tools/ folders build goes into the program folder, so that a
# new tool needs no line here.
function(quavermill_tool_targets out dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  set(tools)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(excluded ${target} EXCLUDE_FROM_ALL)
    if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$" AND NOT excluded)
      list(APPEND tools ${target})
    endif()
  endforeach()
  foreach(subdir IN LISTS subdirs)
    quavermill_tool_targets(more ${subdir})
    list(APPEND tools ${more})
  endforeach()
  set(${out} ${tools} PARENT_SCOPE)
endfunction()
quavermill_tool_targets(tools ${PROJECT_SOURCE_DIR}/tools)

install(TARGETS quavermill ${tools}
        RUNTIME DESTINATION ${QUAVERMILL_INSTALL_DIR}
        LIBRARY DESTINATION ${QUAVERMILL_INSTALL_DIR})
install(FILES resources/Quavermill.html DESTINATION ${QUAVERMILL_INSTALL_DIR})
install(FILES resources/samples/ui.ini resources/samples/Quavermill.ini resources/samples/cddb.ini
        DESTINATION ${QUAVERMILL_INSTALL_DIR}/samples)
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(CREATE_LINK ../${QUAVERMILL_INSTALL_DIR}/quavermill
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/quavermill\" SYMBOLIC)")

install(FILES ${desktop}/quavermill.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop}/org.quavermill.Quavermill.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${desktop}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The manual page and the change log are installed compressed, as Debian's policy asks; "-n"
# leaves the time out of the file so that the same sources give the same package.
set(compressed)
foreach(file quavermill.1 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/desktop/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/desktop
    COMMAND gzip -9n -c ${desktop}/${file} > ${CMAKE_BINARY_DIR}/desktop/${file}.gz
    DEPENDS ${desktop}/${file} VERBATIM)
  list(APPEND compressed ${CMAKE_BINARY_DIR}/desktop/${file}.gz)
endforeach()
add_custom_target(quavermill_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/desktop/quavermill.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/desktop/changelog.gz ${desktop}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quavermill)
install(FILES ${desktop}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME quavermill)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quavermill)
set(CPACK_PACKAGE_VENDOR "The Quavermill developers")
set(CPACK_PACKAGE_CONTACT "The Quavermill developers <developers@quavermill.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalog of your music with playlists")
# Debian shows the description as it stands: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [=[
Quavermill finds MP3, WMA and WAV files and the tracks of audio CDs on USB
sticks, CDs, network shares and disks, and gathers them into one music catalog
that you browse by composer and by artist.
.
It describes tracks from their tags, an online CD lookup and the folder names;
copies them into one storage folder, ripping CD tracks and converting them to
WMA on the way, and undoes an import that cannot finish; and makes playlists
that it plays with the desktop's media player.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quavermill.org/)
# The libraries come from the binaries; the programs it starts and the fonts its pages are
# laid out for are named here. Qt's Wayland platform plug-in lets it run natively in a
# Wayland session (without it, through XWayland). The default media player is VLC.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS vlc)
include(CPack)

# The Debian package: one quillo_<version>_<arch>.deb holding the three programs and the desktop
# files under CMAKE_INSTALL_PREFIX (/usr when scripts/package.sh builds it). The shared
# libraries' packages come from dpkg-shlibdeps; what the programs load or start rather than link
# is named here: the GStreamer plugins that play, the CJK fonts the windows ask for, and the
# encoders the stand-in service makes its catalogue with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zelbo音乐")
set(CPACK_PACKAGE_CONTACT "Zelbo音乐 maintainers <quillo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop music client with lyrics in time")
# Lines of the long description stay within 72 columns, as Debian's tools expect.
set(CPACK_PACKAGE_DESCRIPTION
    "Zelbo音乐 plays local MP3 and WMA files and streams the songs of its\n"
    "music service while they download, shows their lyrics in time in a\n"
    "lyric window and a floating karaoke bar, downloads songs with their\n"
    "lyrics and pictures, keeps the user's library and playlists, imports\n"
    "local music and copies music to a phone. Its interface is Chinese.\n"
    "\n"
    "The package holds quillo, the command-line tool quillo-tool and the\n"
    "stand-in service that quillo starts when no service is configured.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-ugly, "
    "gstreamer1.0-libav, fonts-noto-cjk | fonts-wqy-zenhei, lame, ffmpeg")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DEPENDS ${CPACK_DEBIAN_PACKAGE_DEPENDS})
# The web view of the music centre draws with Mesa where no other GL driver is present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-liberation2, libgl1-mesa-dri")
include(CPack)

# `cpack -G DEB` in a build folder makes a Debian package of what `cmake --install` installs,
# under /usr. The libraries the program links come from dpkg-shlibdeps; what it only loads or
# starts at run time is named here.
set(CPACK_PACKAGE_NAME vornelnet)
set(CPACK_PACKAGE_VENDOR "Vornelnet")
set(CPACK_PACKAGE_CONTACT "Vornelnet developers <vornelnet@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Folder backup utility for the notification area")
set(CPACK_PACKAGE_DESCRIPTION "Copies up to eight folders into backup folders at start, at \
close, on a schedule or on demand, keeps a history of its runs, and can shut the machine down \
afterwards.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icon through Qt's SVG plugin, Japanese standard dialogs and text, the desktop's file
# opener, the sounds of the message boxes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6svg6, qt6-translations-l10n, fonts-ipaexfont-gothic, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sound-theme-freedesktop, qt6-wayland")
include(CPack)

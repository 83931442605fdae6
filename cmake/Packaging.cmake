# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` puts under /usr.
set(CPACK_PACKAGE_NAME quilmar)
set(CPACK_PACKAGE_VENDOR "Quilmar developers")
set(CPACK_PACKAGE_CONTACT "Quilmar developers <quilmar@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multi-document editor for plain text and RTF")
set(CPACK_PACKAGE_DESCRIPTION
    "Quilmar edits plain text in any 8-bit code page, UTF-8 and UTF-16, and rich text (RTF),\nmany documents in one window, with find and replace across documents.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quilmar)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quilmar.invalid/")
# Library dependencies come from dpkg-shlibdeps; these are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adwaita-icon-theme, ispell, hunspell-en-us")
include(CPack)

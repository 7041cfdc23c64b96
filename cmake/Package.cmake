# SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
# SPDX-License-Identifier: GPL-3.0-or-later

# `scripts/package` makes a Debian package of the installation with CPack.
# Library dependencies come from the binary (dpkg-shlibdeps); the QML modules
# and Qt plugins it loads at run time are invisible to that, so they are named
# here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnlight)
set(CPACK_PACKAGE_VENDOR "Tarnlight developers")
set(CPACK_PACKAGE_CONTACT "Tarnlight developers <tarnlight@users.noreply.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gmail, Google Drive and Google Calendar from the tray")
set(CPACK_PACKAGE_DESCRIPTION
  "Tarnlight shows the unread inbox, Drive folders and the next two weeks of the
calendar of one or more Google accounts in a popover under its tray icon. A
language model served on the same machine summarises mail and drafts replies.
Sign-in uses OAuth 2.0 with PKCE in the default browser, and tokens are kept
only in the system keyring.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(tarnlight_runtime_packages
  # Qt Quick modules imported by the views (Controls in the Fusion style).
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtqml-workerscript
  # The SVG image and icon engine plugins: every symbol and the tray icon are SVG.
  libqt6svg6
  # QMimeDatabase reads the system's MIME database for uploads.
  shared-mime-info)
list(JOIN tarnlight_runtime_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# A Secret Service for the tokens, the browser opener, and Wayland sessions.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "gnome-keyring | kwalletmanager | keepassxc, xdg-utils, qt6-wayland")

include(CPack)

# `cpack -G DEB` in the build folder: velsor_<version>_amd64.deb, installing
# under /usr, with the shared-library dependencies computed by dpkg-shlibdeps.

set(CPACK_PACKAGE_NAME velsor)
set(CPACK_PACKAGE_VENDOR "The Velsor authors")
set(CPACK_PACKAGE_CONTACT "The Velsor authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "encrypt and decrypt short text messages with a passphrase")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Velsor turns a text message into a hex text that carries a random salt, an initialisation vector and the "
       "ciphertext, and back, given the same cipher, hash and passphrase. The package holds the window (velsor) "
       "and the command-line companion (velsor-cli).")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELSOR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(VELSOR_BUILD_GUI)
  # Loaded as Qt plugins, so dpkg-shlibdeps cannot see them: the platform
  # plugin that opens the window, and the SVG support that draws its icons.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
  # The window's font is Arial; this font has the same metrics.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
endif()

include(CPack)

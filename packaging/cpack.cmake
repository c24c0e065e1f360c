# The Debian package, made from the same build by `cpack -G DEB`.
# Included from the top-level CMakeLists.txt, after every install rule.

set(CPACK_PACKAGE_NAME tavilon)
set(CPACK_PACKAGE_VENDOR Brenvask)
set(CPACK_PACKAGE_CONTACT "Brenvask <tavilon@brenvask.test>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draw random words from a word list")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_NAME tavilon)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
# The package's own revision, from the changelog's top entry ("1.0.0-1").
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TAVILON_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brenvask <tavilon@brenvask.test>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies come from the libraries the programs link. Qt's X11
# platform plug-in, which it loads at run time, ships in libqt6gui6, which the
# window links; nothing else is loaded, since the bundled window icon is a PNG.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The windows are laid out for this face; without it another one stands in.
# Qt's Wayland platform plug-in lets the program draw in a Wayland session
# itself, sharp on a scaled screen, instead of through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n, qt6-wayland")
# CPack puts the summary above this and indents it as a control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tavilon opens a plain-text word list (one word per line), shows how many
words it holds, and draws as many random picks as you like into a large
output box, which can be cleared, copied to the clipboard or saved.

The package also holds tavilon-pick, which counts a word list and draws
picks from it on the command line.

The picks repeat from run to run: they are not for passwords or anything
secret.")

# The release's time for every file in the package, and no .comment sections.
configure_file(${PROJECT_SOURCE_DIR}/packaging/cpack_project_config.cmake.in
               ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
set(CPACK_OBJCOPY_EXECUTABLE ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/strip_comments.cmake)

include(CPack)

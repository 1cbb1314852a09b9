# Installing and packaging: the two programs, the desktop's menu entry and icons, the
# software centres' metadata, the manual pages and the XScreenSaver hook. CPack turns
# the same installation into a Debian package (`make package`).

include(GNUInstallDirs)

# The AppStream id names the program in software centres and its metadata file.
set(OZMIR_APP_ID org.ozmir.Simulator)
set(OZMIR_RELEASE_DATE 2026-12-07)
set(OZMIR_RELEASE_DATE_RFC "Mon, 07 Dec 2026 12:00:00 +0000") # the same day, for changelogs
# Debian keeps games, and their manual pages in section 6, in games/ beside bin/; it is on
# every user's PATH there.
set(OZMIR_INSTALL_BINDIR games
    CACHE STRING "Where the programs go (relative to the prefix)")
set(OZMIR_XSCREENSAVER_HACKDIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver
    CACHE STRING "Where XScreenSaver looks for its screensavers (relative to the prefix)")
set(OZMIR_XSCREENSAVER_CONFIGDIR ${CMAKE_INSTALL_DATADIR}/xscreensaver/config
    CACHE STRING "Where XScreenSaver looks for their settings (relative to the prefix)")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ozmir ozmir-record RUNTIME DESTINATION ${OZMIR_INSTALL_BINDIR})
# Stripped installs (the package) also lose the compilers' notes, which only take room.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program ozmir ozmir-record)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                                    --remove-section=.note
                                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${OZMIR_INSTALL_BINDIR}/\${program}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
")

install(FILES assets/ozmir.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(assets/ozmir.metainfo.xml.in ${CMAKE_BINARY_DIR}/${OZMIR_APP_ID}.metainfo.xml
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${OZMIR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# assets/icons/ozmir-<size>.png, drawn by make-assets, into the hicolor theme.
file(GLOB OZMIR_THEME_ICONS CONFIGURE_DEPENDS assets/icons/ozmir-*.png)
foreach(icon ${OZMIR_THEME_ICONS})
    string(REGEX MATCH "([0-9]+)\\.png$" _ ${icon})
    install(FILES ${icon} RENAME ozmir.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${CMAKE_MATCH_1}x${CMAKE_MATCH_1}/apps)
endforeach()

# Manual pages go out compressed, as Debian wants them; gzip -n keeps the bytes the
# same on every build.
find_program(OZMIR_GZIP gzip REQUIRED)
foreach(page ozmir.6 ozmir-record.1)
    string(REGEX MATCH "[0-9]$" section ${page})
    set(source ${CMAKE_SOURCE_DIR}/docs/${page})
    set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
    execute_process(COMMAND ${OZMIR_GZIP} -9 -n -c ${source} OUTPUT_FILE ${compressed}
                    COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

# XScreenSaver: the settings dialog's description, and the program itself in the folder
# of screensavers, as a relative link so that it holds under any prefix.
install(FILES assets/ozmir.xml DESTINATION ${OZMIR_XSCREENSAVER_CONFIGDIR})
file(RELATIVE_PATH OZMIR_HACK_LINK /${OZMIR_XSCREENSAVER_HACKDIR} /${OZMIR_INSTALL_BINDIR}/ozmir)
install(CODE "
    set(hack \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${OZMIR_XSCREENSAVER_HACKDIR}/ozmir\")
    message(STATUS \"Installing: \${hack} -> ${OZMIR_HACK_LINK}\")
    get_filename_component(hackdir \"\${hack}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${hackdir}\")
    file(CREATE_LINK \"${OZMIR_HACK_LINK}\" \"\${hack}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${hack}\")
")

# The licence, and the package's own changelog, where Debian's tools look for them.
set(OZMIR_PACKAGE_MAINTAINER "Ozmir Simulator developers <ozmir@example.org>"
    CACHE STRING "The Debian package's Maintainer field")
set(OZMIR_PACKAGE_RELEASE 1)
set(OZMIR_PACKAGE_VERSION ${PROJECT_VERSION}-${OZMIR_PACKAGE_RELEASE})
set(OZMIR_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/ozmir)
configure_file(packaging/copyright ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
execute_process(COMMAND ${OZMIR_GZIP} -9 -n -c ${CMAKE_BINARY_DIR}/packaging/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
                COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright
              ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
        DESTINATION ${OZMIR_DOCDIR})
install(FILES packaging/lintian-overrides RENAME ozmir
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ozmir)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ozmir Simulator")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fly through a field of stars")
# The long description, in lines short enough for package tools (CPack puts the
# summary above it).
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ozmir Simulator flies you through a field of up to 2001 stars, full screen"
    "and steered by the keyboard, or in a window with a control panel of"
    "sliders, a joystick, a spin wheel and a 3D direction arrow. It also runs"
    "as a screensaver for XScreenSaver, flown by an autopilot."
    "."
    "The package includes ozmir-record, which flies the program from a script"
    "on a virtual screen and writes screenshots.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${OZMIR_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${OZMIR_PACKAGE_MAINTAINER})
# dpkg-shlibdeps works out the libraries; the packages of the declared font set
# (platform/pixels/FontSet.cpp) are file dependencies it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
include(CPack)

if(NOT OZMIR_SANITIZE)
    add_test(NAME package
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/install_and_package.sh
                     ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/package-test
                     ${OZMIR_PACKAGE_VERSION})
    set_tests_properties(package PROPERTIES LABELS package TIMEOUT 300)
endif()

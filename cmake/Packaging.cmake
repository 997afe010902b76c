# Installation beyond the programs and skins (which their own folders install), and the .deb.
#   bin/                                         tavrin-gaming-keyboard, tavrin-virtual-keyboard
#   share/tavrin-gaming-keyboard/png/...         the skins (tools/skin)
#   share/tavrin-gaming-keyboard/udev/<rule>     the access rule, named in the program's message
#   lib/udev/rules.d/<rule>                      the access rule where udev reads it
#   share/applications, share/icons/hicolor      the desktop entry and the program icon
# No firmware version file ("VER.bin", "VER87.bin") and no firmware updater: the project ships no
# firmware, so an installed program never offers an update. The program would find them in
# share/tavrin-gaming-keyboard (ProgramPaths::shippedDirs); tests/e2e/app/installed.sh fails on
# any installed .bin file.
include(GNUInstallDirs)

set(TAVRIN_UDEV_RULE ${PROJECT_SOURCE_DIR}/packaging/udev/70-tavrin-gaming-keyboard.rules)
install(FILES ${TAVRIN_UDEV_RULE} DESTINATION lib/udev/rules.d)

if(TARGET tavrin-gaming-keyboard)
    # A build tree is a complete program directory: the message about a refused keyboard finds
    # the rule there too.
    configure_file(${TAVRIN_UDEV_RULE} ${CMAKE_BINARY_DIR}/src/app/udev/70-tavrin-gaming-keyboard.rules
                   COPYONLY)
    install(FILES ${TAVRIN_UDEV_RULE} DESTINATION share/tavrin-gaming-keyboard/udev)
    # The compositor scripts that tell the program the focused window on Wayland.
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/kwin/tavrin-active-application
                      ${PROJECT_SOURCE_DIR}/packaging/gnome-shell/tavrin-active-application@tavrin.org
            DESTINATION share/tavrin-gaming-keyboard/feeders)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/tavrin-gaming-keyboard.desktop
            DESTINATION share/applications)
    # The icons are drawn by tavrin-skin at build time.
    set(icon_dir ${CMAKE_BINARY_DIR}/src/app/resources/icons)
    foreach(size_file "16;154.png" "32;154-32.png" "48;154-48.png" "256;154-256.png")
        list(GET size_file 0 size)
        list(GET size_file 1 file)
        install(FILES ${icon_dir}/${file} DESTINATION share/icons/hicolor/${size}x${size}/apps
                RENAME tavrin-gaming-keyboard.png)
    endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin-gaming-keyboard)
set(CPACK_PACKAGE_VENDOR "Tavrin")
set(CPACK_PACKAGE_CONTACT "Tavrin Gaming Keyboard developers <keyboard@tavrin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration utility for the Tavrin USB gaming keyboard")
set(CPACK_PACKAGE_DESCRIPTION
    "Lighting effects and per-key DIY layers, key assignments, on-keyboard macros, game mode, \
Windows-key lock, response time, report rate and six profiles, in English and Chinese. \
Includes a virtual keyboard for trying the program without the hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps, which reads what the programs link. Written here is only
# what no program links: Qt's platform plugins for X11 and Wayland, and the fonts of the skins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
# udev reads the new rule and gives an already plugged-in keyboard its permissions.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

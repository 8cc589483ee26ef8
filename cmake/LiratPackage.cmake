# The Linux package (scripts/package-linux): lirat5_<version>_<arch>.deb with what the install
# rules install (lirat5, lirat5-cli, lirat5-sim, the desktop entry, the icon and the technicians'
# guide) below /usr. The libraries it needs (Qt 6 Widgets and the C++ runtime) come from
# dpkg-shlibdeps, so the package depends on what the programs really link, in the versions of
# the system it is built on.

# The technicians' guide, one page with its pictures inside it (as in the Windows zip), in the
# package's documentation folder: /usr/share/doc/lirat5/guide-ru.html.
include(GNUInstallDirs)
set(lirat_guide_page ${PROJECT_SOURCE_DIR}/docs/guide-ru.html)
set(lirat_guide ${CMAKE_BINARY_DIR}/guide-ru.html)
file(GLOB lirat_guide_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.png)
add_custom_command(OUTPUT ${lirat_guide}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/inline-pictures ${lirat_guide_page} ${lirat_guide}
    DEPENDS ${lirat_guide_page} ${lirat_guide_pictures} ${PROJECT_SOURCE_DIR}/scripts/inline-pictures
    COMMENT "Putting the guide's pictures inside its page"
    VERBATIM)
add_custom_target(lirat5_guide ALL DEPENDS ${lirat_guide})
install(FILES ${lirat_guide} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lirat5)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "LIRAT-5 configurator developers <lirat5@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The package's summary line, then its description, in the language of its users.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Конфигуратор преобразователя ЛИРАТ-5")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Настройка и калибровка измерительного преобразователя ЛИРАТ-5 через COM-порт:
окно lirat5, командная строка lirat5-cli и симулятор преобразователя lirat5-sim.
.
Доступ к COM-портам в Debian и Ubuntu есть только у группы dialout. Добавьте в
неё пользователя и войдите в систему заново:
  sudo usermod -aG dialout $USER
USB-адаптер получает номер COM3 и следующие при первом подключении и сохраняет
его в любом гнезде USB; список портов показывает lirat5-cli ports.
.
Руководство техника: /usr/share/doc/lirat5/guide-ru.html.")
include(CPack)

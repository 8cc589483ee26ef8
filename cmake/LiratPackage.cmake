# The Linux package (scripts/package-linux): lirat5_<version>_<arch>.deb with what the install
# rules install (lirat5, lirat5-cli, lirat5-sim, the desktop entry and the icon) below /usr.
# The libraries it needs (Qt 6 Widgets and the C++ runtime) come from dpkg-shlibdeps, so the
# package depends on what the programs really link, in the versions of the system it is built on.
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
его в любом гнезде USB; список портов показывает lirat5-cli ports.")
include(CPack)

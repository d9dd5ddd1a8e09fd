# Installation and the Debian package.
#
# The three programs go into one program folder, <prefix>/lib/norvo: the run
# looks for the RAR tool there and Norvo starts Norvo_T from there (both from
# /proc/self/exe, so the symlinks on PATH lead back to the real folder).
# Files that PAM and the programs read from /etc go to NORVO_SYSCONFDIR,
# /etc whatever the prefix; stage with DESTDIR to install elsewhere.
include(GNUInstallDirs)

set(NORVO_PROGRAM_DIR "lib/norvo" CACHE STRING "Program folder, relative to the install prefix")
set(NORVO_SYSCONFDIR "/etc" CACHE PATH "Folder of norvo/provider.ini and pam.d/norvo")
set(norvo_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(norvo_staged ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${norvo_staged}/bin)

# The programs, and a relative symlink on PATH for each one.
set(norvo_programs Norvo_T norvo-settings)
if(NORVO_BUILD_GUI)
  list(APPEND norvo_programs Norvo)
endif()
file(RELATIVE_PATH norvo_bin_to_programs
     /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${NORVO_PROGRAM_DIR})
foreach(program IN LISTS norvo_programs)
  install(TARGETS ${program} RUNTIME DESTINATION ${NORVO_PROGRAM_DIR})
  file(CREATE_LINK ${norvo_bin_to_programs}/${program} ${norvo_staged}/bin/${program} SYMBOLIC)
  install(FILES ${norvo_staged}/bin/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# Manual pages, compressed without a time stamp so that builds repeat.
set(norvo_manpages "")
foreach(program IN LISTS norvo_programs)
  set(page ${norvo_staged}/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${norvo_packaging}/man/${program}.1 ${page}
    DEPENDS ${norvo_packaging}/man/${program}.1 VERBATIM)
  list(APPEND norvo_manpages ${page})
endforeach()

# Menu entry and icon, for Norvo only.
if(NORVO_BUILD_GUI)
  install(FILES ${norvo_packaging}/norvo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 48 256)
    install(FILES ${PROJECT_SOURCE_DIR}/src/tray/resources/norvo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME norvo.png)
  endforeach()
endif()

# PAM service and the commented example of the provider configuration. Once
# in place they belong to the administrator: a repeated install keeps them
# (in the package they are conffiles, which dpkg looks after itself).
function(norvo_install_config source folder name)
  install(CODE "
    set(folder \"${folder}\")
    if(NOT IS_ABSOLUTE \"\${folder}\")
      set(folder \"\${CMAKE_INSTALL_PREFIX}/\${folder}\")
    endif()
    if(EXISTS \"\$ENV{DESTDIR}\${folder}/${name}\")
      message(STATUS \"Keeping: \$ENV{DESTDIR}\${folder}/${name}\")
    else()
      file(INSTALL DESTINATION \"\${folder}\" TYPE FILE RENAME ${name} FILES \"${source}\")
    endif()")
endfunction()
norvo_install_config(${norvo_packaging}/norvo.pam ${NORVO_SYSCONFDIR}/pam.d norvo)
norvo_install_config(${norvo_packaging}/provider.ini ${NORVO_SYSCONFDIR}/norvo provider.ini)

# The package: versioned by the build, dependencies of the linked libraries
# found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norvo)
set(CPACK_PACKAGE_VENDOR "Norvo Backup")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "unattended backup of files and SQL Server databases to an FTP cloud")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Norvo Backup packs chosen folders and dumps of Microsoft SQL Server databases
into password-protected archives (the RAR tool, or 7-Zip's AES-256 archives
with hidden names) on a weekly schedule, uploads them to the
provider's FTP server in rotating copy slots and reports every run to the
provider's account service.

The package holds the tray program Norvo (configuration, immediate backup,
cloud browser and restore), the run program Norvo_T started from the
user's crontab, and norvo-settings for the settings store.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Norvo Backup <paquetes@norvo.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The PAM file includes Debian's common-auth and common-account; Norvo shows
# Qt's own buttons and dialogs in Spanish from qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpam-runtime, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, cron | cron-daemon, 7zip")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "rar")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian's changelog (native version, so changelog.gz) and copyright, and the
# conffiles list; the date honours SOURCE_DATE_EPOCH.
string(TIMESTAMP NORVO_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${norvo_packaging}/changelog.in ${norvo_staged}/changelog @ONLY)
configure_file(${norvo_packaging}/conffiles.in ${norvo_staged}/conffiles @ONLY)
add_custom_command(OUTPUT ${norvo_staged}/changelog.gz
  COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${norvo_staged}/changelog ${norvo_staged}/changelog.gz
  DEPENDS ${norvo_staged}/changelog VERBATIM)
add_custom_target(norvo_install_files ALL DEPENDS ${norvo_manpages} ${norvo_staged}/changelog.gz)
install(FILES ${norvo_manpages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${norvo_staged}/changelog.gz ${norvo_packaging}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/norvo)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${norvo_staged}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

if(NORVO_BUILD_TESTS)
  add_subdirectory(tests/package)
endif()

# Helpers for the files an install puts in place besides the programs.

# The screen-saver hosts' hack folder, below the prefix.
set(WM_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)

# wm_install_desktop_entry(TEMPLATE DESTINATION): installs a desktop entry
# made from TEMPLATE (NAME.desktop.in) as DESTINATION/NAME.desktop. Its
# commands are absolute paths, known at install time only (as installed,
# without DESTDIR): @WM_PROGRAM@ and @WM_HACK@ stand for the installed
# program and its link in the hack folder, @WM_PROGRAM_EXEC@ and
# @WM_HACK_EXEC@ for the same as the program of an Exec line (quoted where
# the path needs it). See InstallDesktopEntry.cmake.
function(wm_install_desktop_entry template destination)
  get_filename_component(name "${template}" NAME_WLE)
  get_filename_component(template "${template}" ABSOLUTE)
  install(CODE "
    set(wm_template \"${template}\")
    set(wm_name \"${name}\")
    set(wm_destination \"${destination}\")
    set(wm_bindir \"${CMAKE_INSTALL_BINDIR}\")
    set(wm_hackdir \"${WM_HACK_DIR}\")
    set(wm_entries_base \"${CMAKE_CURRENT_BINARY_DIR}/desktop-entries\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake\")
  ")
endfunction()

# wm_install_compressed(TARGET SOURCE DESTINATION): installs SOURCE (a
# manual page or a document) compressed as Debian wants it (gzip -9n: no
# name, no time stamp) as DESTINATION/NAME.gz. A SOURCE ending in ".in" is
# configured first (@PROJECT_VERSION@ and the like) and loses that ending.
# TARGET, part of the default build, makes the compressed file.
function(wm_install_compressed target source destination)
  get_filename_component(source "${source}" ABSOLUTE)
  get_filename_component(name "${source}" NAME)
  if(name MATCHES "\\.in$")
    string(REGEX REPLACE "\\.in$" "" name "${name}")
    configure_file("${source}" "${CMAKE_CURRENT_BINARY_DIR}/${name}" @ONLY)
    set(source "${CMAKE_CURRENT_BINARY_DIR}/${name}")
  endif()
  set(compressed "${CMAKE_CURRENT_BINARY_DIR}/${name}.gz")
  add_custom_command(
    OUTPUT "${compressed}"
    COMMAND gzip -9n -c "${source}" > "${compressed}"
    DEPENDS "${source}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${compressed}")
  install(FILES "${compressed}" DESTINATION "${destination}")
endfunction()

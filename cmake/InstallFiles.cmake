# Helpers for the files an install puts in place besides the programs.

# The screen-saver hosts' hack folder, below the prefix.
set(WM_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)

# wm_install_desktop_entry(TEMPLATE DESTINATION): installs a desktop entry
# made from TEMPLATE (NAME.desktop.in) as DESTINATION/NAME.desktop. Its
# commands are absolute paths, known at install time only: @WM_BINDIR@
# stands for the installed program folder and @WM_HACKDIR@ for the hack
# folder (both as installed, without DESTDIR). The entry is made in the build
# folder, in a folder of its own for each install root (DESTDIR and prefix),
# removed once installed: installs from one build into two prefixes at once
# (the tests run such) neither fail on each other's half-written entry nor
# take the other's paths.
function(wm_install_desktop_entry template destination)
  get_filename_component(name "${template}" NAME_WLE)
  get_filename_component(template "${template}" ABSOLUTE)
  if(IS_ABSOLUTE "${destination}")
    set(target_dir "${destination}")
  else()
    set(target_dir "\${CMAKE_INSTALL_PREFIX}/${destination}")
  endif()
  install(CODE "
    set(WM_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(WM_HACKDIR \"\${CMAKE_INSTALL_PREFIX}/${WM_HACK_DIR}\")
    string(SHA1 wm_root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(wm_entries \"${CMAKE_CURRENT_BINARY_DIR}/desktop-entries/\${wm_root}\")
    configure_file(\"${template}\" \"\${wm_entries}/${name}\" @ONLY)
    file(INSTALL DESTINATION \"${target_dir}\" TYPE FILE FILES \"\${wm_entries}/${name}\")
    file(REMOVE_RECURSE \"\${wm_entries}\")
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

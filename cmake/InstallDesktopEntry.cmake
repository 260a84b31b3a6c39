# Run at install time by wm_install_desktop_entry (InstallFiles.cmake), with
# wm_template, wm_name, wm_destination, wm_bindir, wm_hackdir and
# wm_entries_base set. Writes the entry and installs it.

# An absolute folder below the install prefix, or the folder itself when absolute.
function(wm_installed_path relative out)
  if(IS_ABSOLUTE "${relative}")
    set(${out} "${relative}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${relative}" PARENT_SCOPE)
  endif()
endfunction()

# A path as a desktop entry's string value: backslashes doubled.
function(wm_entry_string path out)
  string(REPLACE "\\" "\\\\" value "${path}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# A path as the program of an Exec line: quoted when it holds a reserved
# character (with ", `, $ and \ escaped inside the quotes), then as a string
# value, with % doubled.
function(wm_exec_program path out)
  set(value "${path}")
  if(value MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(REPLACE "`" "\\`" value "${value}")
    string(REPLACE "$" "\\$" value "${value}")
    set(value "\"${value}\"")
  endif()
  wm_entry_string("${value}" value)
  string(REPLACE "%" "%%" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

wm_installed_path("${wm_bindir}" wm_bin)
wm_installed_path("${wm_hackdir}" wm_hack)
wm_entry_string("${wm_bin}/wintermere" WM_PROGRAM)
wm_exec_program("${wm_bin}/wintermere" WM_PROGRAM_EXEC)
wm_entry_string("${wm_hack}/wintermere" WM_HACK)
wm_exec_program("${wm_hack}/wintermere" WM_HACK_EXEC)
wm_installed_path("${wm_destination}" wm_folder)

# Made in a folder of its own for each install root (DESTDIR and prefix) and
# removed once installed: installs from one build into two prefixes at once
# (the tests run such) neither fail on each other's half-written entry nor
# take the other's paths.
string(SHA1 wm_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(wm_entries "${wm_entries_base}/${wm_root}")
configure_file("${wm_template}" "${wm_entries}/${wm_name}" @ONLY)
file(INSTALL DESTINATION "${wm_folder}" TYPE FILE FILES "${wm_entries}/${wm_name}")
file(REMOVE_RECURSE "${wm_entries}")

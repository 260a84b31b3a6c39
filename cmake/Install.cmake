# An install puts the program in <prefix>/bin and its data in
# <prefix>/share/wintermere/, then records that data folder as "install_path"
# the way an installer does:
#   system scope: the system-wide settings file (/etc/xdg/Quillory Wintermere/settings.ini,
#                 below DESTDIR when one is given)
#   user scope:   the installing user's own settings file
# WM_INSTALL_SCOPE (cache variable, or the environment variable of the same
# name at install time) picks one; "auto" means system for prefixes under
# /usr or /opt and for DESTDIR installs, user for every other prefix.
set(WM_INSTALL_SCOPE "auto" CACHE STRING "Where an install records its data folder: auto, system or user")

install(DIRECTORY DESTINATION ${WM_DATA_SUBDIR})

install(CODE "
  set(wm_scope \"${WM_INSTALL_SCOPE}\")
  if(DEFINED ENV{WM_INSTALL_SCOPE})
    set(wm_scope \"\$ENV{WM_INSTALL_SCOPE}\")
  endif()
  if(wm_scope STREQUAL \"auto\")
    if(NOT \"\$ENV{DESTDIR}\" STREQUAL \"\" OR CMAKE_INSTALL_PREFIX MATCHES \"^/(usr|opt)(/|$)\")
      set(wm_scope system)
    else()
      set(wm_scope user)
    endif()
  endif()
  if(IS_ABSOLUTE \"${WM_DATA_SUBDIR}\")
    set(wm_data \"${WM_DATA_SUBDIR}\")
  else()
    set(wm_data \"\${CMAKE_INSTALL_PREFIX}/${WM_DATA_SUBDIR}\")
  endif()
  if(wm_scope STREQUAL \"system\")
    set(wm_args system \"\${wm_data}\" \"\$ENV{DESTDIR}\")
  elseif(wm_scope STREQUAL \"user\")
    set(wm_args user \"\${wm_data}\")
  else()
    message(FATAL_ERROR \"WM_INSTALL_SCOPE must be auto, system or user, not \${wm_scope}\")
  endif()
  execute_process(COMMAND \"$<TARGET_FILE:wintermere-register-install>\" \${wm_args}
                  RESULT_VARIABLE wm_result)
  if(NOT wm_result EQUAL 0)
    message(FATAL_ERROR \"Could not record the installation folder\")
  endif()
")

# cmake -DSOURCE_DIR=... -P system_conditionals.cmake
# Fails when a preprocessor condition on the operating system or the window system stands in a file
# that is not one system's own: such code belongs in files whose names end in _windows, _posix,
# _linux or _xcb, which CMake picks. Skipped where the sources are not a git checkout.

find_package(Git QUIET)
if(NOT GIT_FOUND)
  message("not a git checkout: skipped (no git)")
  return()
endif()
execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --is-inside-work-tree
                RESULT_VARIABLE not_checkout OUTPUT_QUIET ERROR_QUIET)
if(not_checkout)
  message("not a git checkout: skipped")
  return()
endif()

set(excluded)
foreach(suffix _windows _posix _linux _xcb)
  list(APPEND excluded ":(exclude,glob)**/*${suffix}.*")
endforeach()

execute_process(
  COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} grep --untracked -nE
          "^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif)[^[:alnum:]_].*(_WIN32|Q_OS_WIN|__linux__|Q_OS_LINUX|QT_CONFIG[[:space:]]*\\([[:space:]]*xcb)"
          -- . ${excluded}
  RESULT_VARIABLE status OUTPUT_VARIABLE found ERROR_VARIABLE error)
if(status EQUAL 0)
  message(FATAL_ERROR "system conditions outside the systems' own files:\n${found}")
elseif(NOT status EQUAL 1)
  message(FATAL_ERROR "git grep failed: ${error}")
endif()

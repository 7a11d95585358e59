# Warnings for the project's own targets; CI turns them into errors.
function(nemirou_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(NEMIROU_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A static library of one layer: nemirou_<layer>.
function(nemirou_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  nemirou_warnings(${name})
  nemirou_harden(${name})
endfunction()

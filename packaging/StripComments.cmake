# Run by CPack on the staged files before it builds the package: CPack's strip
# keeps the compiler's version notes (.comment), which a Debian build
# (dh_strip) removes as well.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_NEMIROU_OBJCOPY}" --remove-section=.comment
                          --remove-section=.note "${program}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objcopy failed on ${program}")
  endif()
endforeach()

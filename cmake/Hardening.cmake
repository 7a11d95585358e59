# The hardening Debian builds with, for what ships: the programs and the
# libraries they are made of (tests and benchmarks go without). Only the
# optimised build types get it (the package is made from RelWithDebInfo in
# CI, from Release by hand): fortified functions need optimisation, and the
# sanitizers bring checks of their own.
function(nemirou_harden target)
  if(NEMIROU_SANITIZE)
    return()
  endif()
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  target_compile_definitions(${target} PRIVATE "$<${optimised}:_FORTIFY_SOURCE=2>")
  target_compile_options(${target} PRIVATE "$<${optimised}:-fstack-protector-strong>")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE "$<${optimised}:LINKER:-z,relro,-z,now>")
  endif()
endfunction()

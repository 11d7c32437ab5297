# Our own code builds warning-free; third-party headers come in as system includes. Warnings are
# errors where we build and test (./vrn and CI turn VRN_WERROR on); a packager's or a user's plain
# build in any build type goes through whatever a newer compiler finds.
option(VRN_WERROR "Treat compiler warnings as errors" OFF)

function(vrn_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(VRN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

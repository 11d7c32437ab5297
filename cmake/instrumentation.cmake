# Build variants for the quality gates; each lives in its own build folder (see ./vrn).
#   VRN_SANITIZE  AddressSanitizer + UndefinedBehaviorSanitizer, any report ends the process.
#   VRN_FUZZ      clang only: everything instrumented for libFuzzer, ASan and UBSan.
#   VRN_COVERAGE  gcov counters, unoptimised so lines and branches map to the source.
if(VRN_SANITIZE AND VRN_FUZZ)
  message(FATAL_ERROR "VRN_FUZZ brings its own sanitizers; leave VRN_SANITIZE off")
endif()
if(VRN_SANITIZE)
  # -O1 -g1 (line tables only), whatever the build type: the sanitizers' checks at -O2 with full
  # debug information double the compile time, and the reports still name file and line.
  # GCC's flow analysis sees the sanitizers' checks as paths that leave variables unset and warns
  # falsely (inside libstdc++ too); the plain build keeps that warning.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
                      -O1 -g1 $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VRN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VRN_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VRN_COVERAGE)
  add_compile_options(--coverage -O0)
  add_link_options(--coverage)
endif()

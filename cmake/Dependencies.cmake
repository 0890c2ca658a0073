# Libraries whose form differs between the native build and the MinGW cross build.

# spdlog: the shared library on Linux; header-only (with header-only fmt) where no build of it
# exists for the target.
find_package(spdlog CONFIG QUIET)
if(spdlog_FOUND AND NOT CMAKE_CROSSCOMPILING)
  set(VALICO_SPDLOG spdlog::spdlog)
else()
  add_library(valico_spdlog INTERFACE)
  target_compile_definitions(valico_spdlog INTERFACE SPDLOG_HEADER_ONLY FMT_HEADER_ONLY)
  set(VALICO_SPDLOG valico_spdlog)
endif()

# Registers the tests of a test program with CTest. Natively every test case is its own CTest
# test; under an emulator (Wine) the whole program runs once, which keeps start-up cost low.
function(valico_register_tests target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "VALICO_TEST_BIN_DIR=$<TARGET_FILE_DIR:${target}>")
  endif()
endfunction()

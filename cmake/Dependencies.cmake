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
    # Under Wine the test program cannot start the Linux FTP server its tests talk to: CTest
    # starts one before it and stops it after.
    set(ftp_dir ${CMAKE_BINARY_DIR}/ftp-test-server)
    set(ftp_script ${CMAKE_SOURCE_DIR}/src/platform/testing/ftp_test_server.sh)
    add_test(NAME ${target}_ftp_start COMMAND ${ftp_script} start ${ftp_dir})
    add_test(NAME ${target}_ftp_stop COMMAND ${ftp_script} stop ${ftp_dir})
    set_tests_properties(${target}_ftp_start PROPERTIES FIXTURES_SETUP ${target}_ftp)
    set_tests_properties(${target}_ftp_stop PROPERTIES FIXTURES_CLEANUP ${target}_ftp)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED ${target}_ftp
                                              ENVIRONMENT "VALICO_TEST_FTP_DIR=Z:${ftp_dir}")
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "VALICO_TEST_BIN_DIR=$<TARGET_FILE_DIR:${target}>")
  endif()
endfunction()

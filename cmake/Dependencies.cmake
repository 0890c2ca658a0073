# Libraries whose form differs between the native build and the MinGW cross build.

if(CMAKE_CROSSCOMPILING)
  # Debian ships no MinGW builds of these. GoogleTest is built from its sources with the cross
  # compiler; CLI11, spdlog, fmt and stb_image are used header-only. Their headers are exposed
  # through a folder of links, so the cross compiler never sees the rest of the build
  # machine's /usr/include (glibc headers would shadow the MinGW ones).
  set(VALICO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VALICO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest is not our code: do not hold it to our warnings.
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -w)
  endforeach()

  set(VALICO_HOST_INCLUDE /usr/include CACHE PATH "Where the header-only libraries live")
  set(header_links ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${header_links})
  foreach(lib CLI spdlog fmt stb)
    if(NOT EXISTS ${VALICO_HOST_INCLUDE}/${lib})
      message(FATAL_ERROR "${VALICO_HOST_INCLUDE}/${lib} is missing: run scripts/install-deps.sh")
    endif()
    file(CREATE_LINK ${VALICO_HOST_INCLUDE}/${lib} ${header_links}/${lib} SYMBOLIC)
  endforeach()

  add_library(valico_cli11 INTERFACE)
  target_include_directories(valico_cli11 SYSTEM INTERFACE ${header_links})
  add_library(CLI11::CLI11 ALIAS valico_cli11)

  # Debian's spdlog is configured for an external fmt (SPDLOG_FMT_EXTERNAL); both header-only.
  add_library(valico_spdlog INTERFACE)
  target_include_directories(valico_spdlog SYSTEM INTERFACE ${header_links})
  target_compile_definitions(valico_spdlog INTERFACE SPDLOG_HEADER_ONLY FMT_HEADER_ONLY)
  set(VALICO_SPDLOG valico_spdlog)
else()
  find_package(GTest REQUIRED)
  find_package(CLI11 CONFIG REQUIRED)
  # spdlog: the shared library on Linux, header-only where it has not been built.
  find_package(spdlog CONFIG QUIET)
  if(spdlog_FOUND)
    set(VALICO_SPDLOG spdlog::spdlog)
  else()
    add_library(valico_spdlog INTERFACE)
    target_compile_definitions(valico_spdlog INTERFACE SPDLOG_HEADER_ONLY FMT_HEADER_ONLY)
    set(VALICO_SPDLOG valico_spdlog)
  endif()
endif()

# Registers the tests of a test program with CTest. Natively every test case is its own CTest
# test; under an emulator (Wine) the whole program runs once, which keeps start-up cost low.
# Tests find the helper programs they start through VALICO_TEST_BIN_DIR, given in the form the
# test program itself can open: under Wine, the build folder seen through drive Z:.
function(valico_register_tests target)
  if(CMAKE_CROSSCOMPILING)
    string(REPLACE "/" "\\" bin_dir "Z:${CMAKE_BINARY_DIR}")
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
      ENVIRONMENT "VALICO_TEST_BIN_DIR=${bin_dir};VALICO_TEST_FTP_DIR=Z:${ftp_dir}")
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "VALICO_TEST_BIN_DIR=$<TARGET_FILE_DIR:${target}>"
      # Leaks of system libraries that are not ours (see the file).
      ENVIRONMENT_MODIFICATION "LSAN_OPTIONS=set:suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp")
  endif()
endfunction()

# GoogleTest from the sources Debian's googletest package installs, built with the cross compiler.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(gtest_target gtest gtest_main)
  target_compile_options(${gtest_target} PRIVATE -w)
endforeach()

# Every test program runs under Wine, in a prefix of this build folder's own, through the
# loader of the toolchain's bitness (32-bit programs through Wine's 32-bit loader).
math(EXPR LUMORA_WINE_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
set(LUMORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${LUMORA_WINE_BITS} ${LUMORA_WINEPREFIX})
# What the Wine scripts return instead of starting a 32-bit program on a machine that cannot
# run one (scripts/wine-env.sh): CTest reports such a test as skipped.
set(LUMORA_SKIP_CODE 77)
# Marks a test of a Wine program as skipped, not failed, when that is why it ended.
function(lumora_skip_without_32bit test)
  if(LUMORA_WINE_BITS EQUAL 32)
    set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE ${LUMORA_SKIP_CODE})
  endif()
endfunction()

file(GLOB TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(test_support STATIC ${TEST_SUPPORT_SOURCES})
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(test_support PUBLIC gtest ${LUMORA_SYSTEM_LIBS})

# One program per folder under tests/ (but support/ and installer/): fewer Wine starts.
file(GLOB TEST_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir ${TEST_DIRS})
  get_filename_component(name ${dir} NAME)
  if(NOT IS_DIRECTORY ${dir} OR name STREQUAL "support" OR name STREQUAL "installer")
    continue()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    continue()
  endif()
  # The transfer tests drive the camera view in the host's browser as the view tests do.
  if(name STREQUAL "transfer")
    list(APPEND sources ${CMAKE_SOURCE_DIR}/tests/view/CameraViewTestSupport.cpp)
  endif()
  add_executable(${name}_tests ${sources} $<TARGET_OBJECTS:lumora_code> $<TARGET_OBJECTS:lumora_resources>)
  target_link_libraries(${name}_tests PRIVATE test_support lumora_host pelcore gtest ${LUMORA_SYSTEM_LIBS})
  add_dependencies(${name}_tests tolvane)
  add_test(NAME ${name} COMMAND ${name}_tests --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  lumora_skip_without_32bit(${name})
endforeach()

# The view's column widths on a screen at 192 DPI: a prefix of its own whose LogPixels is
# 192 before any program starts there (Wine reads it as each program starts).
add_test(NAME view_192dpi
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${LUMORA_WINE_BITS} ${CMAKE_BINARY_DIR}/wineprefix-192dpi
          $<TARGET_FILE:view_tests> --gtest_brief=1 --gtest_filter=*DefaultColumnWidthsFollowTheScreensDpi*)
set_tests_properties(view_192dpi PROPERTIES TIMEOUT 600 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
  ENVIRONMENT LUMORA_SCREEN_DPI=192)
lumora_skip_without_32bit(view_192dpi)

add_test(NAME dll_imports_exports
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-dlls.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:tolvane> $<TARGET_FILE:pelcore>)

# What a shell client finds of an installed camera folder, built for both architectures.
add_executable(shell_listing tests/installer/ShellListing.cpp tests/support/DialogCapture.cpp)
target_include_directories(shell_listing PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(shell_listing PRIVATE ${LUMORA_SYSTEM_LIBS})

# The installer, built from this build and the i686 one, installed and removed silently in a
# fresh prefix of its own: registered once, by the 64-bit build's tests.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LUMORA_I686_BUILD_DIR "" CACHE PATH "The i686 build whose files the installer carries")
  if(LUMORA_I686_BUILD_DIR)
    add_test(NAME installer
      COMMAND ${CMAKE_SOURCE_DIR}/tests/installer/installer-test.sh
              ${CMAKE_BINARY_DIR}/bin ${LUMORA_I686_BUILD_DIR}/bin ${CMAKE_BINARY_DIR}/installer-test)
    set_tests_properties(installer PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE ${LUMORA_SKIP_CODE})
    # The test command's run of that build on a machine without 32-bit programs (forced):
    # its programs skipped, not started, and said so. Starts nothing under Wine.
    add_test(NAME tests_without_32bit
      COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/without-32bit-test.sh ${CMAKE_BINARY_DIR}/bin
              ${LUMORA_I686_BUILD_DIR} ${CMAKE_BINARY_DIR}/without-32bit-test)
    set_tests_properties(tests_without_32bit PROPERTIES TIMEOUT 300)
  endif()
endif()

# The transfer program's tests of PC names in a double-byte ANSI code page, run in a Japanese
# locale (Wine gives such a process the code page 932, and spells its Unix file names in
# UTF-8 only when the locale exists: it is made in the build folder); in the transfer test
# they skip.
set(LUMORA_LOCALES ${CMAKE_BINARY_DIR}/locales)
file(MAKE_DIRECTORY ${LUMORA_LOCALES})
add_test(NAME japanese_locale COMMAND localedef -i ja_JP -f UTF-8 ${LUMORA_LOCALES}/ja_JP.UTF-8)
set_tests_properties(japanese_locale PROPERTIES FIXTURES_SETUP japanese_locale)
add_test(NAME transfer_cp932 COMMAND transfer_tests --gtest_brief=1 --gtest_filter=*CodePage932*)
set_tests_properties(transfer_cp932 PROPERTIES FIXTURES_REQUIRED japanese_locale TIMEOUT 600
  ENVIRONMENT "LOCPATH=${LUMORA_LOCALES};LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8" WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
lumora_skip_without_32bit(transfer_cp932)

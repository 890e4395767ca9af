# Shared build settings and the helpers every subsystem folder uses.

# Russian literals are written in UTF-8 and compiled to code page 1251 bytes.
set(VELMORA_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP1251)

if(WIN32)
  set(VELMORA_COMPILE_OPTIONS ${VELMORA_CHARSET_FLAGS} -Wall -Wextra -ffunction-sections -fdata-sections
      -fno-ident -fno-asynchronous-unwind-tables)
  set(VELMORA_LINK_OPTIONS -static -static-libgcc -static-libstdc++ -Wl,--gc-sections
      -Wl,--no-insert-timestamp -Wl,--build-id=none)
  string(APPEND CMAKE_CXX_FLAGS_RELEASE " -Os")
  string(REPLACE "-O3" "" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
  string(REPLACE "-O3" "" CMAKE_C_FLAGS_RELEASE "${CMAKE_C_FLAGS_RELEASE}")
  string(APPEND CMAKE_C_FLAGS_RELEASE " -Os")
  # Windows XP API level keeps the programs loadable on old systems; newer calls are looked up.
  add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 NOMINMAX
                          WIN32_LEAN_AND_MEAN STRICT)
else()
  set(VELMORA_COMPILE_OPTIONS ${VELMORA_CHARSET_FLAGS} -Wall -Wextra)
  set(VELMORA_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()

# A static library of one subsystem: velmora_library(name SOURCES... [LIBS ...])
function(velmora_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELMORA_COMPILE_OPTIONS} ${VELMORA_SANITIZE})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# A GUI executable of the product (stripped in release builds).
function(velmora_executable name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${A_SOURCES} ${PROJECT_SOURCE_DIR}/startup/lean_runtime.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELMORA_COMPILE_OPTIONS})
  target_link_options(${name} PRIVATE ${VELMORA_LINK_OPTIONS} -mwindows $<$<CONFIG:Release>:-s>)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
endfunction()

# Native unit tests of portable logic, under AddressSanitizer and UBSan.
function(velmora_native_test name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELMORA_COMPILE_OPTIONS} ${VELMORA_SANITIZE})
  target_link_options(${name} PRIVATE ${VELMORA_SANITIZE})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

# GoogleTest programs for Windows, run under Wine by ctest (wine is the cross emulator).
# velmora_wine_test(name SOURCES ... LIBS ... [LOCALES ru en] [RESOURCES x.rc])
# Each locale gets its own ctest entry run with the matching LANG.
function(velmora_wine_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;LOCALES" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELMORA_COMPILE_OPTIONS})
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  target_link_libraries(${name} PRIVATE ${A_LIBS} velmora_gtest_main)
  if(NOT A_LOCALES)
    set(A_LOCALES ru)
  endif()
  foreach(loc IN LISTS A_LOCALES)
    if(loc STREQUAL "ru")
      set(lang ru_RU.UTF-8)
    else()
      set(lang en_US.UTF-8)
    endif()
    add_test(NAME ${name}_${loc} COMMAND ${name})
    set_tests_properties(${name}_${loc} PROPERTIES
      ENVIRONMENT "LANG=${lang};LC_ALL=${lang};VELMORA_BUILD_DIR=${PROJECT_BINARY_DIR}"
      RESOURCE_LOCK wineprefix TIMEOUT 600)
  endforeach()
endfunction()

# The end-to-end cases, the date-time round trip under real locales and the fuzzing run as
# labelled CTest tests beside the unit tests, so that one runner sees every test:
#   ctest --preset native -L e2e -R <case>     reruns one end-to-end case
# Labels: unit, e2e, fuzz, locale, and wine on every test of the Windows build.

set(E2E_DIR ${PROJECT_SOURCE_DIR}/tests/e2e)
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=address")
  set(HARBOVALE_SANITIZED ON)
endif()

# The case functions (case_<name>) that the case files matching the patterns define. A
# change to a case file reconfigures, so a new case becomes a new test by itself.
function(e2e_cases out)
  set(names)
  foreach(pattern ${ARGN})
    file(GLOB files ${E2E_DIR}/cases/${pattern})
    foreach(file ${files})
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
      file(STRINGS ${file} lines REGEX "^case_[A-Za-z0-9_]+\\(\\)")
      foreach(line ${lines})
        string(REGEX MATCH "^case_([A-Za-z0-9_]+)" name "${line}")
        list(APPEND names ${CMAKE_MATCH_1})
      endforeach()
    endforeach()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${E2E_DIR}/cases)

if(WIN32)
  # One display, wineserver and prefix for every case: a fixture around them.
  set(harness ${E2E_DIR}/run-wine.sh ${CMAKE_BINARY_DIR})
  add_test(NAME e2e.wine.setup COMMAND bash ${harness} --setup)
  add_test(NAME e2e.wine.teardown COMMAND bash ${harness} --teardown)
  set_tests_properties(e2e.wine.setup PROPERTIES FIXTURES_SETUP wine_e2e LABELS e2e)
  set_tests_properties(e2e.wine.teardown PROPERTIES FIXTURES_CLEANUP wine_e2e LABELS e2e)
  e2e_cases(cases "wine-*.sh" "both-*.sh")
  foreach(case ${cases})
    add_test(NAME e2e.wine.${case} COMMAND bash ${harness} --case ${case})
    # The cases share the prefix's registry and the helper's mutex: one at a time.
    set_tests_properties(e2e.wine.${case} PROPERTIES LABELS e2e TIMEOUT 300
                         FIXTURES_REQUIRED wine_e2e RESOURCE_LOCK wine_e2e)
  endforeach()

  add_test(NAME locale.wine COMMAND bash ${PROJECT_SOURCE_DIR}/tests/platform/locale-roundtrip.sh windows)
  set_tests_properties(locale.wine PROPERTIES LABELS locale TIMEOUT 600)
else()
  e2e_cases(cases "posix-*.sh" "both-*.sh")
  foreach(case ${cases})
    add_test(NAME e2e.posix.${case}
             COMMAND bash ${E2E_DIR}/run-posix.sh ${CMAKE_BINARY_DIR} --case ${case})
    set_tests_properties(e2e.posix.${case} PROPERTIES LABELS e2e TIMEOUT 300 RESOURCE_LOCK e2e_posix)
    if(HARBOVALE_SANITIZED)
      # libfaketime and the sanitizer's allocator would wait on each other at start-up if the
      # allocator read the clock: it is told not to.
      set_tests_properties(e2e.posix.${case} PROPERTIES
                           ENVIRONMENT "ASAN_OPTIONS=allocator_release_to_os_interval_ms=-1")
    endif()
  endforeach()

  # The JSON documents of the lister's unit tests against its schema file, in one step (the
  # tests run under the emulator of a cross build, as ctest runs the others).
  add_test(NAME lister.json_schema
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/lister/json-schema.sh
                   ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:lister_tests>)
  set_tests_properties(lister.json_schema PROPERTIES LABELS unit)

  if(NOT HARBOVALE_SANITIZED)
    add_test(NAME locale.posix COMMAND bash ${PROJECT_SOURCE_DIR}/tests/platform/locale-roundtrip.sh native)
    set_tests_properties(locale.posix PROPERTIES LABELS locale TIMEOUT 600)
  endif()
endif()

if(HARBOVALE_FUZZ AND TARGET Tokens_fuzz)
  file(GLOB fuzz_sources ${PROJECT_SOURCE_DIR}/fuzz/*_fuzz.cpp)
  foreach(source ${fuzz_sources})
    get_filename_component(target ${source} NAME_WE)
    add_test(NAME fuzz.${target}
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/fuzz/run.sh ${CMAKE_BINARY_DIR} 60 ${target})
    set_tests_properties(fuzz.${target} PROPERTIES LABELS fuzz TIMEOUT 300)
  endforeach()
endif()

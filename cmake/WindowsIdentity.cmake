# harbovale_windows_identity(<target> <file description> <original file name>)
#
# Gives a Windows program its identity: a version resource (file description, product,
# company, version from project(... VERSION ...), original file name, copyright), which is
# what file properties, Task Manager and the log-on list show, and the application manifest
# of every Harbovale program (packaging/windows/harbovale.manifest). Registers the test
# identity.<target>, which reads both back from the built file under Wine. Texts must not
# hold double quotes. Does nothing outside the Windows build.

set(HARBOVALE_IDENTITY_DIR "${CMAKE_CURRENT_LIST_DIR}/../packaging/windows")

if(WIN32)
  add_executable(identity_check "${CMAKE_CURRENT_LIST_DIR}/../tests/identity/identity_check.cpp")
  target_link_libraries(identity_check PRIVATE version)
endif()

function(harbovale_windows_identity target description original_filename)
  if(NOT WIN32)
    return()
  endif()
  set(HV_DESCRIPTION "${description}")
  set(HV_ORIGINAL_FILENAME "${original_filename}")
  get_filename_component(HV_INTERNAL_NAME "${original_filename}" NAME_WE)
  get_filename_component(HV_MANIFEST "${HARBOVALE_IDENTITY_DIR}/harbovale.manifest" ABSOLUTE)
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/identity/${target}.rc")
  configure_file("${HARBOVALE_IDENTITY_DIR}/identity.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  # The resource compiler embeds the manifest: a changed manifest rebuilds the resource.
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${HV_MANIFEST}")

  # Wine reads the Unix path through its Z: drive, the whole file system.
  add_test(NAME identity.${target}
           COMMAND identity_check "Z:$<TARGET_FILE:${target}>" "${description}"
                   "${original_filename}" "${PROJECT_VERSION}")
  set_tests_properties(identity.${target} PROPERTIES LABELS "unit;identity")
endfunction()

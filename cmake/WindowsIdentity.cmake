# harbovale_windows_identity(<target> <file description> <original file name> [WINDOW])
#
# Gives a Windows program its identity: a version resource (file description, product,
# company, version from project(... VERSION ...), original file name, copyright), which is
# what file properties, Task Manager and the log-on list show, the program's icon
# (packaging/windows/harbovale.ico) and the application manifest of every Harbovale program
# (packaging/windows/harbovale.manifest.in). WINDOW: the program shows windows of its own,
# and its manifest asks for common controls 6 and per-monitor DPI awareness. Registers the
# test identity.<target>, which reads all of it back from the built file under Wine. Texts
# must not hold double quotes. Does nothing outside the Windows build.

set(HARBOVALE_IDENTITY_DIR "${CMAKE_CURRENT_LIST_DIR}/../packaging/windows")

if(WIN32)
  add_executable(identity_check "${CMAKE_CURRENT_LIST_DIR}/../tests/identity/identity_check.cpp")
  target_link_libraries(identity_check PRIVATE version)
endif()

function(harbovale_windows_identity target description original_filename)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 3 HV "WINDOW" "" "")
  set(HV_DESCRIPTION "${description}")
  set(HV_ORIGINAL_FILENAME "${original_filename}")
  get_filename_component(HV_INTERNAL_NAME "${original_filename}" NAME_WE)
  get_filename_component(HV_ICON "${HARBOVALE_IDENTITY_DIR}/harbovale.ico" ABSOLUTE)
  set(HV_MANIFEST_CONTROLS "")
  set(HV_MANIFEST_DPI "")
  set(kind plain)
  if(HV_WINDOW)
    set(kind window)
    # Common controls 6: the list view, header and status bar of the current system.
    string(CONCAT HV_MANIFEST_CONTROLS "\n  <dependency>\n    <dependentAssembly>\n"
      "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
      "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
      "language=\"*\"/>\n    </dependentAssembly>\n  </dependency>")
    # Per monitor (v2 from Windows 10 1703, v1 on 8.1; dpiAware for the systems before).
    string(CONCAT HV_MANIFEST_DPI
      "\n      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"
      "\n      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
      "PerMonitorV2, PerMonitor</dpiAwareness>")
  endif()
  set(HV_MANIFEST "${CMAKE_CURRENT_BINARY_DIR}/identity/${target}.manifest")
  configure_file("${HARBOVALE_IDENTITY_DIR}/harbovale.manifest.in" "${HV_MANIFEST}" @ONLY)
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/identity/${target}.rc")
  configure_file("${HARBOVALE_IDENTITY_DIR}/identity.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  # The resource compiler embeds the manifest and the icon: a change to either rebuilds it.
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${HV_MANIFEST};${HV_ICON}")

  # Wine reads the Unix path through its Z: drive, the whole file system.
  add_test(NAME identity.${target}
           COMMAND identity_check "Z:$<TARGET_FILE:${target}>" "${description}"
                   "${original_filename}" "${PROJECT_VERSION}" ${kind})
  set_tests_properties(identity.${target} PROPERTIES LABELS "unit;identity")
endfunction()

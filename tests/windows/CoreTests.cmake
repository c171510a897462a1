# The core's own tests (tests/Pallix/core) and the Windows platform's, built
# as .exe files and run under Wine: the real NerrinAPI.dll against the
# simulator's engine in-process, the core's own event loop.
#
# GoogleTest comes from Debian's sources (the googletest package), built
# with this toolchain.
set(PALLIX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${PALLIX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(support ${PROJECT_SOURCE_DIR}/tests/Pallix/support)
add_library(pallix_core_test_support_win STATIC
  ${support}/AppTestSupport.cpp ${support}/TestLoop.cpp ${support}/CoreTestMain.cpp)
pallix_warnings(pallix_core_test_support_win)
target_include_directories(pallix_core_test_support_win PUBLIC ${support})
target_compile_definitions(pallix_core_test_support_win PUBLIC PALLIX_BUILD_APP_DIR="${PALLIX_APP_DIR}")
target_link_libraries(pallix_core_test_support_win PUBLIC pallix_core pallixsim GTest::gtest GTest::gmock)

# Left out, with the reason:
# - AppPaths_test: the installed Linux layout (the Windows layout is in
#   PlatformWindows_test).
# - SelfTestWrite_test: a write pass is 4161 exchanges, and under Wine each
#   costs several wineserver round trips: the file takes near four minutes.
#   The same core code runs in the Linux suite.
# - Files_test: it kills a writer by fork and SIGKILL, which Windows lacks.
# Cases left out of the others (gtest filters below):
# - linux: they expect the Linux commands ("systemctl poweroff"), the Linux
#   updater's name or "/" in paths, or make the log unwritable the POSIX way.
# - devices: they need a device at 127.0.0.2 or several devices. Wine binds a
#   UDP socket on any loopback address but 127.0.0.1 to the wildcard address,
#   so in a Windows program the simulator serves one device, at 127.0.0.1.
set(linux_Countdown_test
  CountdownTest.AtZeroTheActionRunsOnceAndMonitoringResumes
  CountdownTest.AnInputThatIsNotAPowerInputDoesNot
  CountdownTest.AnUnreadableDeviceDoesNotStopTheCount
  CountdownTest.AfterAFailedSearchItCountsOnWithoutABox
  CountdownTest.AtZeroAPendingCancelWinsAndTheActionWaitsItsTurn)
set(linux_Monitor_test
  MonitorTest.APowerActionRequestIsAcknowledgedAndCountedDownToItsAction
  MonitorTest.ALostDeviceGraysTheIconLogsOnceAndIsFoundAgain
  MonitorTest.AfterAClockJumpFailuresDoNotCountAtFirst)
set(linux_WinShutdown_test PowerActionTest.*)
set(linux_FirmwareCheck_test FirmwareCheckTest.AcceptingEverythingStartsTheUpdaterAndEnds)
set(linux_NrErrors_test UnwritableLogTest.*)
set(devices_FirmwareCheck_test FirmwareCheckAfterDiscovery.*)
set(devices_NrDiscovery_test DiscoveryTest.*)
set(devices_DeviceSettings_test SettingsOnDevice.SaveWritesFourteenRegistersInOrderToTheGivenDevice
                                SettingsOnDevice.LoadStatusReadsFourRegistersOfTheGivenDevice)

file(GLOB core_tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/Pallix/core/*_test.cpp)
list(FILTER core_tests EXCLUDE REGEX "/(AppPaths|SelfTestWrite|Files)_test.cpp$")
foreach(source ${core_tests} ${CMAKE_CURRENT_SOURCE_DIR}/platform/PlatformWindows_test.cpp)
  get_filename_component(name ${source} NAME_WE)
  set(target win_${name})
  add_executable(${target} ${source})
  pallix_warnings(${target})
  target_link_libraries(${target} PRIVATE pallix_core_test_support_win pallix_platform_windows)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(${target} NerrinAPI nrfwupdate app-folder-files)
  set(left_out ${linux_${name}} ${devices_${name}})
  list(JOIN left_out ":" filter)
  # One Wine start per executable: starting Wine costs more than most cases.
  add_test(NAME ${width}_core_${name}
    COMMAND ${WINE_RUN} wine $<TARGET_FILE:${target}> --gtest_brief=1 "--gtest_filter=-${filter}")
  list(APPEND wine_tests ${width}_core_${name})
endforeach()

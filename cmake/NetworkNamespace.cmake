# Socket tests run inside a private network namespace when the machine
# allows one (PALLIX_NETNS, with PALLIX_NETNS_RUN in front of the test);
# otherwise they run one at a time on the real loopback.
set(PALLIX_NETNS_RUN ${PROJECT_SOURCE_DIR}/tests/support/netns-run.sh)
execute_process(
  COMMAND ${PALLIX_NETNS_RUN} true
  RESULT_VARIABLE PALLIX_NETNS_RESULT OUTPUT_QUIET ERROR_QUIET)
if(PALLIX_NETNS_RESULT EQUAL 0)
  set(PALLIX_NETNS ON CACHE INTERNAL "")
  message(STATUS "Socket tests run in private network namespaces")
else()
  set(PALLIX_NETNS OFF CACHE INTERNAL "")
  message(STATUS "No network namespaces here: socket tests run serially")
endif()

cmake_policy(SET CMP0007 NEW)
# Coroutine code keeps clear of a form GCC 12 miscompiles (see
# Pallix/core/loop/Task.h): no co_await in the condition of an if, while or
# for. Run by CTest: cmake -DSOURCES=<dir;dir> -P CheckCoroutines.cmake
set(failures "")
foreach(dir ${SOURCES})
  file(GLOB_RECURSE files ${dir}/*.h ${dir}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "(if|while|for) *\\(.*co_await")
    foreach(line ${lines})
      # The condition: from the keyword's parenthesis to the statement that
      # follows it on the line, if any.
      string(REGEX REPLACE "^.*(if|while|for) *\\(" "" condition "${line}")
      string(REGEX REPLACE "\\) *co_(await|return).*$" "" condition "${condition}")
      if(condition MATCHES "co_await")
        string(STRIP "${line}" line)
        list(APPEND failures "${file}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "co_await in a condition:\n  ${text}")
endif()
message(STATUS "No co_await in a condition")

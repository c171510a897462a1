# pallix_man_page(<program target> <section>)
# A program that describes itself with programdoc writes its manual page
# when run as "<program> --man-page FILE"; the build runs it into
# build/man/man<section>/<program>.<section> (a MANPATH folder), so the
# page always says what --help says.
# packaging/ installs them.
function(pallix_man_page target section)
  set(page ${CMAKE_BINARY_DIR}/man/man${section}/${target}.${section})
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man/man${section}
    COMMAND $<TARGET_FILE:${target}> --man-page ${page}
    DEPENDS ${target}
    COMMENT "Manual page ${target}(${section})"
    VERBATIM)
  add_custom_target(${target}-man-page ALL DEPENDS ${page})
endfunction()

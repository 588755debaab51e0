# Every LISP scenario file under tests/lisp/ is a ctest test named lisp/<relative
# path>: `tabrik test` runs it in a working folder of its own (tests run in parallel
# and may write files), with the file's own folder as the search path (ACADPREFIX)
# so that fixtures beside it are found.
if(TARGET tabrik)
  file(GLOB_RECURSE scenario_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/lisp/*.lsp)
  foreach(file ${scenario_files})
    file(RELATIVE_PATH relative ${CMAKE_CURRENT_SOURCE_DIR}/lisp ${file})
    get_filename_component(folder ${file} DIRECTORY)
    string(REGEX REPLACE "\\.lsp$" "" stem ${relative})
    set(work ${CMAKE_BINARY_DIR}/lisp-work/${stem})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME lisp/${relative}
             COMMAND tabrik test --quiet --search-path ${folder} ${file}
             WORKING_DIRECTORY ${work})
  endforeach()

  # The command itself: exit statuses, options, output of run and eval.
  add_test(NAME host/command-line
           COMMAND ${CMAKE_COMMAND} -DTABRIK=$<TARGET_FILE:tabrik> -DWORK=${CMAKE_BINARY_DIR}/lisp-work/command-line
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/lisp/host/CommandLine.cmake)
endif()

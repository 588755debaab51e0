# Every LISP scenario file under tests/lisp/ is a ctest test named lisp/<relative
# path>: `tabrik test` runs it in a working folder of its own (tests run in parallel
# and may write files), with the file's own folder as the search path (ACADPREFIX)
# so that fixtures beside it are found, and a registry file of its own.
if(TARGET tabrik)
  # The module's function names, from the one list in the module, as LISP lists that
  # scenarios load ("function-list.lsp" on their search path): *tb-db-names*,
  # *tb-draw-names* (registration order) and *tb-built-names* (bodies written).
  set(function_list ${CMAKE_SOURCE_DIR}/module/host/LispFunctionList.def)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${function_list})
  file(STRINGS ${function_list} function_lines REGEX "^TABRIK_LISP_FUNCTION\\(")
  set(db_names "")
  set(draw_names "")
  set(built_names "")
  foreach(line ${function_lines})
    string(REGEX MATCH "\"([^\"]+)\", (Database|Drawing), [a-z]+, (Built|Pending)" _ "${line}")
    if(CMAKE_MATCH_2 STREQUAL "Database")
      string(APPEND db_names "\n  \"${CMAKE_MATCH_1}\"")
    else()
      string(APPEND draw_names "\n  \"${CMAKE_MATCH_1}\"")
    endif()
    if(CMAKE_MATCH_3 STREQUAL "Built")
      string(APPEND built_names "\n  \"${CMAKE_MATCH_1}\"")
    endif()
  endforeach()
  set(generated_lisp ${CMAKE_BINARY_DIR}/lisp-generated)
  file(WRITE ${generated_lisp}/function-list.lsp
       ";; Made by CMake from module/host/LispFunctionList.def.\n"
       "(setq *tb-db-names* (list${db_names}))\n"
       "(setq *tb-draw-names* (list${draw_names}))\n"
       "(setq *tb-built-names* (list${built_names}))\n")

  # The sample standards database, made from its SQL source by the host itself;
  # the standards scenarios find it on their search path and work on copies.
  set(standards_db ${generated_lisp}/standards/standards.mdb)
  set(standards_sql ${CMAKE_SOURCE_DIR}/data/standards/standards.sql)
  set(standards_script ${CMAKE_SOURCE_DIR}/scripts/make-standards-db.lsp)
  add_custom_command(
    OUTPUT ${standards_db}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated_lisp}/standards
    COMMAND ${CMAKE_COMMAND} -E copy ${standards_sql} ${generated_lisp}/standards/standards.sql
    COMMAND ${CMAKE_COMMAND} -E rm -f ${standards_db}
    COMMAND tabrik run --quiet --registry ${generated_lisp}/standards/registry ${standards_script}
    WORKING_DIRECTORY ${generated_lisp}/standards
    DEPENDS tabrik ${standards_sql} ${standards_script}
    COMMENT "Making the sample standards database")
  add_custom_target(standards_db ALL DEPENDS ${standards_db})
  if(TARGET tabrik_module)
    add_dependencies(standards_db tabrik_module)
  endif()

  file(GLOB_RECURSE scenario_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/lisp/*.lsp)
  foreach(file ${scenario_files})
    file(RELATIVE_PATH relative ${CMAKE_CURRENT_SOURCE_DIR}/lisp ${file})
    get_filename_component(folder ${file} DIRECTORY)
    string(REGEX REPLACE "\\.lsp$" "" stem ${relative})
    set(work ${CMAKE_BINARY_DIR}/lisp-work/${stem})
    file(MAKE_DIRECTORY ${work})
    set(search_path ${folder})
    if(relative MATCHES "^module/")
      set(search_path "${folder};${generated_lisp}")
    elseif(relative MATCHES "^standards/")
      set(search_path "${folder};${generated_lisp}/standards")
    endif()
    if(relative MATCHES "^db/server/")
      # Scenarios on a database server run against a throwaway one, which exports its
      # connect string as TABRIK_TEST_PG_CONNECT; without a server they are skipped.
      add_test(NAME lisp/${relative}
               COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/dao/on-test-server.sh $<TARGET_FILE:tabrik>
                       test --quiet --search-path "${search_path}" --registry ${work}/registry ${file}
               WORKING_DIRECTORY ${work})
      set_tests_properties(lisp/${relative} PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL ON)
    else()
      add_test(NAME lisp/${relative}
               COMMAND tabrik test --quiet --search-path "${search_path}" --registry ${work}/registry ${file}
               WORKING_DIRECTORY ${work})
    endif()
  endforeach()

  # The database scenarios once more with every database they make kept on a throwaway
  # PostgreSQL server (TABRIK_DATABASE_SERVER: a pointer file stands at each path).
  # Left out: copy-after-idle, about copying the file itself (a copy of a pointer file
  # names the same server database).
  set(DB_SCENARIOS_ON_SERVER
      access-files
      connect
      copy-db
      link-compact
      optional-arguments
      records-tour
      relations
      schema-create
      schema-indexes
      schema-sql-tour
      schema-tables
      sql-command
      sql-hardening
      sql-query
      sql-select
      two-drawings
      unicode-paths
  )
  foreach(name ${DB_SCENARIOS_ON_SERVER})
    set(file ${CMAKE_CURRENT_SOURCE_DIR}/lisp/db/${name}.lsp)
    set(work ${CMAKE_BINARY_DIR}/lisp-work/on-server/db/${name})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME lisp-on-server/db/${name}.lsp
             COMMAND env TABRIK_TEST_PG_NEW_DATABASES=1
                     bash ${CMAKE_CURRENT_SOURCE_DIR}/dao/on-test-server.sh
                     $<TARGET_FILE:tabrik> test --quiet --search-path ${CMAKE_CURRENT_SOURCE_DIR}/lisp/db
                     --registry ${work}/registry ${file}
             WORKING_DIRECTORY ${work})
    set_tests_properties(lisp-on-server/db/${name}.lsp PROPERTIES SKIP_RETURN_CODE 77)
  endforeach()

  # The command itself: exit statuses, options, output of run and eval.
  add_test(NAME host/command-line
           COMMAND ${CMAKE_COMMAND} -DTABRIK=$<TARGET_FILE:tabrik> -DWORK=${CMAKE_BINARY_DIR}/lisp-work/command-line
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/lisp/host/CommandLine.cmake)
endif()

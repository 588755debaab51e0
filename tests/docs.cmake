# The LISP function reference (docs/functions/): each page's examples run as one
# scenario in a fresh work folder (a test docs/<page> per page that has examples), the
# pages are held to the module's function list (docs/coverage), and the tools doing
# both are tested on pages made to fail (docs/reference-tools).
find_package(Python3 COMPONENTS Interpreter)
if(TARGET tabrik AND Python3_Interpreter_FOUND)
  set(reference_pages ${CMAKE_SOURCE_DIR}/docs/functions)
  set(reference_tool ${CMAKE_CURRENT_SOURCE_DIR}/docs/reference.py)
  file(GLOB pages CONFIGURE_DEPENDS ${reference_pages}/*.md)
  foreach(page ${pages})
    get_filename_component(name ${page} NAME_WE)
    if(name STREQUAL "README")
      continue()
    endif()
    # Whether a page has examples is read here, so a change of the page reconfigures.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${page})
    file(STRINGS ${page} example_fences REGEX "^```lisp[ \t]*$")
    if(example_fences)
      add_test(NAME docs/${name}
               COMMAND ${Python3_EXECUTABLE} ${reference_tool} run --tabrik $<TARGET_FILE:tabrik>
                       --work ${CMAKE_BINARY_DIR}/docs-work/${name} ${page})
      # Each page's examples use a registry file of their own, never the user's.
      set_tests_properties(docs/${name} PROPERTIES
                           ENVIRONMENT "TABRIK_REGISTRY=${CMAKE_BINARY_DIR}/docs-work/${name}.registry")
    endif()
  endforeach()
  add_test(NAME docs/coverage
           COMMAND ${Python3_EXECUTABLE} ${reference_tool} check
                   --list ${CMAKE_SOURCE_DIR}/module/host/LispFunctionList.def --pages ${reference_pages})
  add_test(NAME docs/reference-tools
           COMMAND ${Python3_EXECUTABLE} -m unittest -v test_reference
           WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/docs)
  set_tests_properties(docs/reference-tools PROPERTIES
                       ENVIRONMENT "TABRIK=$<TARGET_FILE:tabrik>;TABRIK_TEST_WORK=${CMAKE_BINARY_DIR}/docs-work/tools;PYTHONDONTWRITEBYTECODE=1")
endif()

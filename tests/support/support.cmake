# The support functions' transfer tests: Python drives the host against archives made
# by Python's zipfile and servers on the loopback address.
find_package(Python3 COMPONENTS Interpreter)
# The system's interpreter when there is one: it starts in a tenth of the time a
# version manager's shim takes, and these tests start many.
set(support_python ${Python3_EXECUTABLE})
if(EXISTS /usr/bin/python3)
  set(support_python /usr/bin/python3)
endif()
if(TARGET tabrik AND Python3_Interpreter_FOUND)
  foreach(suite archives downloads report)
    add_test(NAME support/${suite}
             COMMAND ${support_python} -m unittest ${suite}_test
             WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/support)
    set_tests_properties(support/${suite} PROPERTIES ENVIRONMENT
                         "TABRIK=$<TARGET_FILE:tabrik>;TABRIK_TEST_WORK=${CMAKE_BINARY_DIR}/support-work/${suite};PYTHONDONTWRITEBYTECODE=1")
  endforeach()
endif()
# The toolkit's mail tests in module_tests start smtp_server.py and read what it got
# with read_mail.py.
if(TARGET module_tests AND Python3_Interpreter_FOUND)
  target_compile_definitions(module_tests PRIVATE
                             TABRIK_SUPPORT_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}/support"
                             TABRIK_PYTHON="${support_python}")
endif()

# tabrik_library(NAME DIR [DEPS ...]): a static library of every source under DIR/src,
# with DIR/include public. Sources are globbed so that adding a file needs no edit here.
function(tabrik_library name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/src/*.cpp ${dir}/src/*.c)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${dir}/include PRIVATE ${dir}/src)
  if(ARGN)
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# tabrik_gtest(NAME DIR DEPS...): one test executable of every *.cpp under DIR.
function(tabrik_gtest name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endfunction()

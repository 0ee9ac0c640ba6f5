# A layer is one static library made of every source under its folders; headers are included
# by their path from the project's root ("framework/util/StringUtils.h").
function(nubra_layer name)
  cmake_parse_arguments(ARG "" "" "DIRS;LINK;EXCLUDE" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  foreach(pattern IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LINK})
  endif()
endfunction()

# Every sub-folder of tests/ that holds sources becomes one GoogleTest program and one test.
function(nubra_test_folders)
  file(GLOB_RECURSE all_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(folders)
  foreach(file IN LISTS all_tests)
    get_filename_component(dir ${file} DIRECTORY)
    list(APPEND folders ${dir})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(dir IN LISTS folders)
    file(RELATIVE_PATH rel ${CMAKE_CURRENT_SOURCE_DIR} ${dir})
    string(REPLACE "/" "_" target "test_${rel}")
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE game GTest::gtest_main GTest::gmock)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    # A folder named "onscreen" holds tests of a real window: they run on a virtual X display.
    set(video dummy)
    set(command ${target})
    set(extra_env "")
    set(lock "")
    # Without xvfb-run they run headless and skip themselves (tests/VirtualDisplay.h).
    if(dir MATCHES "/onscreen$")
      target_link_libraries(${target} PRIVATE X11::X11)
      find_program(NUBRA_XVFB_RUN xvfb-run)
      find_program(NUBRA_XAUTH xauth)
      if(NUBRA_XVFB_RUN AND NUBRA_XAUTH)
        set(video x11)
        # The system's display libraries keep memory for the life of the process; our own code
        # is checked for leaks by the headless tests.
        set(extra_env ";ASAN_OPTIONS=detect_leaks=0")
        set(command ${NUBRA_XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${target}>)
        # xvfb-run -a picks its display number without a lock: two at once may share one
        # display, and a window manager started by one test would then serve the other's windows.
        set(lock x_display)
      endif()
    endif()
    # A folder named "offscreen" holds tests of drawing with the graphics card: a hidden window
    # on a GL driver (Mesa's software one will do); without a GL context they skip themselves.
    if(dir MATCHES "/offscreen$")
      set(video offscreen)
      set(extra_env ";ASAN_OPTIONS=detect_leaks=0")
    endif()
    add_test(NAME ${rel} COMMAND ${command})
    set_tests_properties(${rel} PROPERTIES
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      # A window system that never answers must fail the run, not hold it until CI gives up.
      TIMEOUT 600
      ENVIRONMENT "SDL_VIDEODRIVER=${video};SDL_AUDIODRIVER=dummy;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/data;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/config;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-home/run;NUBRA_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}${extra_env}")
    if(lock)
      set_tests_properties(${rel} PROPERTIES RESOURCE_LOCK ${lock})
    endif()
  endforeach()
endfunction()

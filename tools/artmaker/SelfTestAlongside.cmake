# Runs ARTMAKER's self-test with OUT as its temporary folder, beside the folder of another run
# that is still at work there: the self-test must pass, leave the other run's files alone and
# leave nothing of its own behind.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/artmaker-selftest)
file(WRITE ${OUT}/artmaker-selftest/apple.txt "another run's description\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${OUT} ${ARTMAKER} selftest COMMAND_ERROR_IS_FATAL ANY)
if(NOT EXISTS ${OUT}/artmaker-selftest/apple.txt)
  message(FATAL_ERROR "the self-test removed another run's files")
endif()
file(GLOB left RELATIVE ${OUT} ${OUT}/*)
if(NOT left STREQUAL "artmaker-selftest")
  message(FATAL_ERROR "the self-test left behind: ${left}")
endif()
file(REMOVE_RECURSE ${OUT})

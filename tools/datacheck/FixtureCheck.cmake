# Runs DATACHECK on the fixture pack, whose level breaks the rules a day must keep to be won,
# and expects a failure that names each fault. The pack is laid out in OUT with its clips packed
# by ANMTOOL from ANIMS.
file(REMOVE_RECURSE ${OUT})
file(COPY ${FIXTURE}/ DESTINATION ${OUT})
execute_process(COMMAND ${ANMTOOL} pack ${ANIMS}/people.txt ${OUT}/anm COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${DATACHECK} ${OUT} RESULT_VARIABLE result ERROR_VARIABLE report OUTPUT_QUIET)
if(result EQUAL 0)
  message(FATAL_ERROR "datacheck passed a broken pack")
endif()
foreach(fault
    "no music stream 'level1'"
    "the career has no day 1 "
    "survival has no level for cafe 3 "
    "the upgrade 'speed' of 'boss' has no text 'mn09_desc_boss_speed'"
    "no text 'breif_text_l02' introduces the day"
    "overrides the unknown worker 'worker09'"
    "overrides the unknown client kind 'knight'"
    "a guest asks for '0300', which nothing in the level makes"
    "a guest asks for '0205', but no worker makes either half to join them"
    "a family comes, but the level has no family table"
    "the normal goal 150 is more than all its guests pay \\(130\\)"
    "the expert goal 200 is more than all its guests pay \\(130\\)"
    "'client01' needs the clip 'client_stand_upgirlidle_green'")
  if(NOT report MATCHES "${fault}")
    message(FATAL_ERROR "datacheck did not report: ${fault}\n${report}")
  endif()
endforeach()

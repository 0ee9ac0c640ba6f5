# Packs DATA with PAKTOOL, unpacks it into OUT and compares the two trees file by file.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${PAKTOOL} create ${OUT}/data.pak ${DATA} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${PAKTOOL} list ${OUT}/data.pak COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${PAKTOOL} extract ${OUT}/data.pak ${OUT}/unpacked COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE packed RELATIVE ${DATA} ${DATA}/*)
foreach(name IN LISTS packed)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${DATA}/${name} ${OUT}/unpacked/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${name} did not come back as packed")
  endif()
endforeach()

# Builds every manifest under DATA/anm with ANMTOOL into OUT, checks the result and compares it
# with the file kept beside the manifest.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
file(GLOB manifests ${DATA}/anm/*.txt)
if(NOT manifests)
  message(FATAL_ERROR "no animation manifests under ${DATA}/anm")
endif()
foreach(manifest IN LISTS manifests)
  get_filename_component(name ${manifest} NAME_WE)
  execute_process(COMMAND ${ANMTOOL} build ${manifest} ${OUT}/${name}.anm COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${ANMTOOL} check ${OUT}/${name}.anm COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name}.anm ${DATA}/anm/${name}.anm
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${name}.anm differs from what ${name}.txt describes: rebuild it with anmtool")
  endif()
endforeach()

# Two runs with one seed tell the same story, two seeds two survival stories; bad arguments and
# unknown levels are refused; a level nobody serves is lost.
function(run_sim out_var code_var)
  execute_process(COMMAND ${SIM} --data ${DATA} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${code_var} "${code}" PARENT_SCOPE)
endfunction()

run_sim(first code --level l001 --seed 7)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "velmira-sim failed (${code}): ${first}")
endif()
foreach(key level money result outcome hash game_seconds wall_seconds)
  if(NOT first MATCHES "(^|\n)${key}: ")
    message(FATAL_ERROR "no '${key}:' line in:\n${first}")
  endif()
endforeach()
run_sim(second code --level l001 --seed 7)
string(REGEX MATCH "hash: [0-9a-f]+" first_hash "${first}")
string(REGEX MATCH "hash: [0-9a-f]+" second_hash "${second}")
string(REGEX MATCH "money: [0-9]+" first_money "${first}")
string(REGEX MATCH "money: [0-9]+" second_money "${second}")
if(NOT first_hash STREQUAL second_hash OR NOT first_money STREQUAL second_money)
  message(FATAL_ERROR "one seed, two stories:\n${first}\n${second}")
endif()

run_sim(out code --level l999)
if(NOT code EQUAL 2)
  message(FATAL_ERROR "an unknown level gave exit code ${code}")
endif()
foreach(bad "--seed;many" "--seconds;0" "--seconds;-5" "--all;--cafe;4" "--cafe;2")
  run_sim(out code ${bad})
  if(NOT code EQUAL 2)
    message(FATAL_ERROR "'${bad}' gave exit code ${code}")
  endif()
endforeach()

# One cafe's run holds its career days and its survival level, and nothing of the others.
run_sim(cafe_three code --all --cafe 3 --seconds 1)
string(REGEX MATCHALL "level: [le][0-9]+" cafe_levels "${cafe_three}")
list(GET cafe_levels 0 first_level)
list(GET cafe_levels -1 last_level)
if(NOT first_level STREQUAL "level: l036" OR NOT last_level STREQUAL "level: e003"
   OR cafe_three MATCHES "level: (l0[0-2][0-9]|l03[0-5]|e00[12])\n")
  message(FATAL_ERROR "cafe 3's run played: ${cafe_levels}")
endif()

# Without a single click the guests give up: the day is lost, and so is the run.
file(WRITE ${WORK}/no-clicks.txt "# nobody serves\n")
run_sim(idle code --level l002 --clicks ${WORK}/no-clicks.txt)
if(NOT code EQUAL 3 OR NOT idle MATCHES "outcome: lost")
  message(FATAL_ERROR "an unserved day gave exit code ${code}:\n${idle}")
endif()

# The seed decides survival's arrivals.
run_sim(seed_one code --level e002 --seed 1 --seconds 300)
run_sim(seed_two code --level e002 --seed 2 --seconds 300)
string(REGEX MATCH "hash: [0-9a-f]+" one_hash "${seed_one}")
string(REGEX MATCH "hash: [0-9a-f]+" two_hash "${seed_two}")
if(one_hash STREQUAL two_hash)
  message(FATAL_ERROR "two seeds, one survival story:\n${seed_one}")
endif()

# The first day's lessons walk through to their end on the scripted clicks, the quick-serve
# lesson's second try included.
run_sim(lessons code --level l001 --clicks ${CLICKS})
if(NOT code EQUAL 0 OR NOT lessons MATCHES "(^|\n)tutorial: done\n")
  message(FATAL_ERROR "the first day's lessons did not finish (${code}):\n${lessons}")
endif()

# Benchmark programs: each program of bench/ links the extension's code and the host's
# browser and prints its figures beside references measured in the same run. They are left
# out of the ordinary build; the "bench" target builds them and those of bench's subfolders,
# and scripts/bench.sh runs them all. Each *Bench.cpp is a program; the other sources of
# bench/ are parts every program links.
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*Bench.cpp)
file(GLOB BENCH_SHARED CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
list(REMOVE_ITEM BENCH_SHARED ${BENCH_SOURCES})
foreach(source ${BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  string(TOLOWER ${name} target)
  add_executable(${target} EXCLUDE_FROM_ALL ${source} ${BENCH_SHARED} $<TARGET_OBJECTS:lumora_code> $<TARGET_OBJECTS:lumora_resources>)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE lumora_host pelcore ${LUMORA_SYSTEM_LIBS})
  list(APPEND LUMORA_BENCH_TARGETS ${target})
endforeach()
if(TARGET naming_bench)
  list(APPEND LUMORA_BENCH_TARGETS naming_bench)
endif()
add_custom_target(bench DEPENDS ${LUMORA_BENCH_TARGETS})

# Runs the Windows test programs under Wine (the toolchain files name
# scripts/wine-run as the crosscompiling emulator). Before CTest lists or runs
# any case, the prefix is made ready: creating it takes about 20 s the first
# time, longer than GoogleTest's case listing may take.
set(wine_prepare_script ${CMAKE_BINARY_DIR}/WinePrefix.cmake)
file(WRITE ${wine_prepare_script}
     "execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --prepare RESULT_VARIABLE wine_prepared)\n"
     "if(NOT wine_prepared EQUAL 0)\n"
     "    message(FATAL_ERROR \"The Wine prefix could not be prepared\")\n"
     "endif()\n")
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${wine_prepare_script})

# Builds the portable zip (cmake -P): the program, the README and the licence as Windows text.
# In: SOURCE_DIR, PROGRAM, OUTPUT, WORK.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/package-texts.cmake)

get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${PROGRAM} ${WORK}/Tarvex.exe)
windows_text(${SOURCE_DIR}/README.md ${WORK}/README.txt)
windows_text(${SOURCE_DIR}/LICENSE.txt ${WORK}/LICENSE.txt)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT}.part --format=zip
                        Tarvex.exe README.txt LICENSE.txt
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "zip failed: ${failed}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})

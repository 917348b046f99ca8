# Builds one setup package (cmake -P): wixl compiles packaging/Tarvex.wxs, then msibuild adds
# what wixl 0.101 cannot author (the dialog tables of packaging/ui, the rows of tables.sql).
# In: SOURCE_DIR, PROGRAM, HELPER (run at uninstall), VERSION, ARCH (x86 or x64), OUTPUT, WORK,
# WIXL, MSIBUILD.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/package-texts.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Windows Installer compares files by four-part versions; the project has three parts.
set(VERSION4 ${VERSION})
string(REGEX MATCHALL "\\." dots "${VERSION}")
list(LENGTH dots parts)
while(parts LESS 3)
    string(APPEND VERSION4 ".0")
    math(EXPR parts "${parts} + 1")
endwhile()

# Apps & features shows this size; Windows Installer takes it from ARPSIZE, in KiB.
file(SIZE ${PROGRAM} bytes)
math(EXPR kib "(${bytes} + 1023) / 1024")
if(ARCH STREQUAL "x64")
    set(win64 yes)
else()
    set(win64 no)
endif()

function(run)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "failed (${failed}): ${ARGN}")
    endif()
endfunction()

# wixl takes file names relative to its working folder only.
file(COPY_FILE ${PROGRAM} ${WORK}/Tarvex.exe)
file(COPY_FILE ${HELPER} ${WORK}/RemoveEntries.exe)
file(COPY_FILE ${SOURCE_DIR}/res/Tarvex.ico ${WORK}/Tarvex.ico)
run(${WIXL} -a ${ARCH} -D Version=${VERSION} -D Exe=Tarvex.exe -D Helper=RemoveEntries.exe
    -D Icon=Tarvex.ico -D Win64=${win64} -D SizeKiB=${kib} -o package.msi
    ${SOURCE_DIR}/packaging/Tarvex.wxs)

# The licence dialog shows LICENSE.txt; its control takes RTF.
license_rtf(${SOURCE_DIR}/LICENSE.txt LICENSE_RTF)
set(imports)
file(GLOB tables RELATIVE ${SOURCE_DIR}/packaging/ui ${SOURCE_DIR}/packaging/ui/*.idt)
foreach(table IN LISTS tables)
    configure_file(${SOURCE_DIR}/packaging/ui/${table} ${WORK}/${table} @ONLY)
    list(APPEND imports -i ${table})
endforeach()
# The upgrade code as the source names it (wixl writes it in braces and upper case).
file(READ ${SOURCE_DIR}/packaging/Tarvex.wxs source)
string(REGEX MATCH "UpgradeCode=\"([-0-9A-Fa-f]+)\"" _ "${source}")
string(TOUPPER "{${CMAKE_MATCH_1}}" UPGRADE_CODE)
file(STRINGS ${SOURCE_DIR}/packaging/tables.sql statements REGEX "^[^-]")
set(queries)
foreach(statement IN LISTS statements)
    string(CONFIGURE "${statement}" statement @ONLY)
    list(APPEND queries -q "${statement}")
endforeach()
run(${MSIBUILD} package.msi ${imports} ${queries})

# Renamed at the end: a failed build leaves no package that looks whole.
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(RENAME ${WORK}/package.msi ${OUTPUT})

# Versions the program from the project's version and packages it: the setup (Tarvex-<v>.msi,
# made with wixl and msibuild from msitools) and the portable zip (Tarvex-<v>.zip).

# The version resource of a program target (res/Tarvex.rc) from a three-part version.
function(tarvex_version_resource target version)
    string(REPLACE "." ";" parts "${version}")
    foreach(name MAJOR MINOR PATCH)
        list(POP_FRONT parts number)
        target_compile_definitions(${target}
                                   PRIVATE $<$<COMPILE_LANGUAGE:RC>:TARVEX_VERSION_${name}=${number}>)
    endforeach()
endfunction()
tarvex_version_resource(Tarvex ${PROJECT_VERSION})

find_program(TARVEX_WIXL wixl)
find_program(TARVEX_MSIBUILD msibuild)

# A setup of the program target at OUTPUT, as version VERSION; the one way every setup is made.
function(tarvex_add_msi target)
    cmake_parse_arguments(MSI "" "PROGRAM;VERSION;OUTPUT" "" ${ARGN})
    if(NOT TARVEX_WIXL OR NOT TARVEX_MSIBUILD)
        message(FATAL_ERROR "The setup needs wixl and msibuild (Debian's wixl and msitools)")
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(arch x64)
    else()
        set(arch x86)
    endif()
    file(GLOB tables ${PROJECT_SOURCE_DIR}/packaging/ui/*.idt)
    add_custom_command(
        OUTPUT ${MSI_OUTPUT}
        COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                -DPROGRAM=$<TARGET_FILE:${MSI_PROGRAM}> -DHELPER=$<TARGET_FILE:RemoveEntries>
                -DVERSION=${MSI_VERSION} -DARCH=${arch}
                -DOUTPUT=${MSI_OUTPUT} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${target}
                -DWIXL=${TARVEX_WIXL} -DMSIBUILD=${TARVEX_MSIBUILD}
                -P ${PROJECT_SOURCE_DIR}/cmake/build-msi.cmake
        DEPENDS ${MSI_PROGRAM} RemoveEntries ${PROJECT_SOURCE_DIR}/packaging/Tarvex.wxs
                ${PROJECT_SOURCE_DIR}/packaging/tables.sql ${tables}
                ${PROJECT_SOURCE_DIR}/LICENSE.txt ${PROJECT_SOURCE_DIR}/res/Tarvex.ico
                ${PROJECT_SOURCE_DIR}/cmake/build-msi.cmake
                ${PROJECT_SOURCE_DIR}/cmake/package-texts.cmake
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${MSI_OUTPUT})
endfunction()

# The product's packages, from the 32-bit build; script/package copies them to build/release.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND TARVEX_WIXL AND TARVEX_MSIBUILD)
    set(TARVEX_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
    set(base ${TARVEX_RELEASE_DIR}/Tarvex-${PROJECT_VERSION})
    tarvex_add_msi(release_msi PROGRAM Tarvex VERSION ${PROJECT_VERSION} OUTPUT ${base}.msi)
    add_custom_command(
        OUTPUT ${base}.zip
        COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                -DPROGRAM=$<TARGET_FILE:Tarvex> -DOUTPUT=${base}.zip
                -DWORK=${CMAKE_CURRENT_BINARY_DIR}/release_zip
                -P ${PROJECT_SOURCE_DIR}/cmake/build-zip.cmake
        DEPENDS Tarvex ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE.txt
                ${PROJECT_SOURCE_DIR}/cmake/build-zip.cmake
                ${PROJECT_SOURCE_DIR}/cmake/package-texts.cmake
        VERBATIM)
    add_custom_target(release_zip ALL DEPENDS ${base}.zip)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
    message(STATUS "No wixl and msibuild: building the program without its packages")
endif()

# The product's one version, yyyymmdd: the cache variable SETUP_VERSION.
# The C++ code reads it from the generated setup_version.h (kSetupVersion:
# the title, the Programs and Features entry, Active Setup, the record and
# the log), and each program's version resource from
# setup_add_version_resource. A build folder configured with
# -DSETUP_VERSION=<yyyymmdd> builds the same sources as another version.
set(SETUP_VERSION 20251030 CACHE STRING "The product's version, yyyymmdd")
if(NOT SETUP_VERSION MATCHES "^([0-9][0-9][0-9][0-9])([0-9][0-9])([0-9][0-9])$")
    message(FATAL_ERROR "SETUP_VERSION is yyyymmdd, not '${SETUP_VERSION}'")
endif()
# Plain numbers: a leading zero would make 08 an octal number to C and windres.
math(EXPR SETUP_VERSION_YEAR "${CMAKE_MATCH_1}")
math(EXPR SETUP_VERSION_MONTH "${CMAKE_MATCH_2}")
math(EXPR SETUP_VERSION_DAY "${CMAKE_MATCH_3}")
if(SETUP_VERSION_MONTH LESS 1 OR SETUP_VERSION_MONTH GREATER 12 OR SETUP_VERSION_DAY LESS 1
   OR SETUP_VERSION_DAY GREATER 31)
    message(FATAL_ERROR "SETUP_VERSION ${SETUP_VERSION} is no date")
endif()
# As the version resources write it: "2025.10.30.0".
set(SETUP_VERSION_TEXT "${SETUP_VERSION_YEAR}.${SETUP_VERSION_MONTH}.${SETUP_VERSION_DAY}.0")

set(SETUP_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/setup_version.h.in ${SETUP_GENERATED_DIR}/setup_version.h
               @ONLY)
include_directories(${SETUP_GENERATED_DIR})

# setup_add_version_resource(<target> <description>): the VERSIONINFO of the
# program <target>.exe (company, product, what the program is, its version).
# Inventory tools, file rules and the Details tab read it.
function(setup_add_version_resource target description)
    set(VERSION_FILE_DESCRIPTION "${description}")
    set(VERSION_INTERNAL_NAME "${target}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES COMPILE_FLAGS "-c 65001")
    target_sources(${target} PRIVATE ${rc})
endfunction()

# setup_add_other_version(<name> <yyyymmdd>): a target <name> that builds
# SetUp.exe of another version in the build folder <name> below this one,
# from the same sources, toolchain and certificate, as a release of that
# version would be built; <name>_EXE names the program. Its first build
# configures that folder and builds the program and what it carries.
function(setup_add_other_version name version)
    set(folder ${CMAKE_BINARY_DIR}/${name})
    set(exe ${folder}/setup/SetUp.exe)
    add_custom_target(${name}
        COMMAND ${CMAKE_COMMAND} -E env SETUP_SIGN_PFX=${SETUP_SIGN_PFX_FILE}
                SETUP_SIGN_PASSWORD_FILE=${SETUP_SIGN_PASSWORD} SETUP_SIGN_CA_FILE=${SETUP_SIGN_CA}
                ${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR} -B ${folder} -G ${CMAKE_GENERATOR}
                -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
                -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DSETUP_VERSION=${version}
        COMMAND ${CMAKE_COMMAND} --build ${folder} --target SetUp
        BYPRODUCTS ${exe}
        COMMENT "SetUp.exe of version ${version} in ${folder}"
        VERBATIM)
    if(TARGET signing_certificate)
        add_dependencies(${name} signing_certificate)
    endif()
    set(${name}_EXE ${exe} PARENT_SCOPE)
endfunction()

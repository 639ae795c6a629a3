# A sealed build: the CMake cache variable SETUP_PACKAGE_DATA names the Data
# folder of the package a release ships. The build then reads every file of
# it and embeds its manifest (cmake/make_package_manifest.cmake) in
# SetUp.exe before the program is signed, and the program installs exactly
# that manifest. Without it, the build is not sealed and installs whatever
# its package holds (its log says so).
set(SETUP_PACKAGE_DATA "" CACHE PATH "The package's Data folder a sealed SetUp.exe installs")

# setup_add_package_manifest(<target> <Data folder>): <target> carries the
# manifest of that folder as its resource IDR_PACKAGE_MANIFEST.
function(setup_add_package_manifest target data)
    get_filename_component(data "${data}" ABSOLUTE)
    # Listed when the build folder is configured, and again when a file is
    # added or removed; a changed file makes the manifest anew.
    file(GLOB_RECURSE files LIST_DIRECTORIES false CONFIGURE_DEPENDS "${data}/*")
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}-package-manifest.txt)
    add_custom_command(OUTPUT ${manifest}
        COMMAND ${CMAKE_COMMAND} -DDATA=${data} -DOUT=${manifest}
                -P ${PROJECT_SOURCE_DIR}/cmake/make_package_manifest.cmake
        DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/make_package_manifest.cmake
        COMMENT "The package manifest of ${target} from ${data}"
        VERBATIM)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-package-manifest.rc)
    file(WRITE ${rc} "#include \"${PROJECT_SOURCE_DIR}/resources/resource.h\"\n"
                     "IDR_PACKAGE_MANIFEST RCDATA \"${manifest}\"\n")
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
    target_sources(${target} PRIVATE ${rc})
endfunction()

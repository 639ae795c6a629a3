# cmake -DDATA=<Data folder> -DOUT=<manifest file> -P make_package_manifest.cmake
# Writes the manifest a sealed SetUp.exe carries: every file of the package's
# Data folder, its name relative to that folder (backslashes), its size and
# its SHA-256, one a line in the install record's line form (tab-separated
# fields, '%' tab CR LF written as %XX), sorted by name. The build reads
# these bytes before the program is signed, so the signature covers them.
if(NOT IS_DIRECTORY "${DATA}")
    message(FATAL_ERROR "SETUP_PACKAGE_DATA names no folder: '${DATA}'")
endif()
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${DATA}" "${DATA}/*")
list(SORT files)
if(NOT files)
    message(FATAL_ERROR "SETUP_PACKAGE_DATA holds no file: '${DATA}'")
endif()
set(text "package-manifest\t1\r\n")
foreach(name IN LISTS files)
    # Printable ASCII only: the names are compared with what Windows lists
    # in whatever its ANSI code page is.
    if(NOT name MATCHES "^[ -~]+$")
        message(FATAL_ERROR "a package file name must be printable ASCII: '${name}'")
    endif()
    if(IS_SYMLINK "${DATA}/${name}")
        message(FATAL_ERROR "a link in the package is no file of it: '${name}'")
    endif()
    file(SIZE "${DATA}/${name}" size)
    file(SHA256 "${DATA}/${name}" sha256)
    string(REPLACE "/" "\\" windowsName "${name}")
    string(REPLACE "%" "%25" windowsName "${windowsName}")
    string(REPLACE "\t" "%09" windowsName "${windowsName}")
    string(APPEND text "file\t${windowsName}\t${size}\t${sha256}\r\n")
endforeach()
# Written only when it changes, so that an unchanged package links nothing anew.
file(WRITE "${OUT}.new" "${text}")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")

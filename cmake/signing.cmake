# Authenticode signatures (SHA-256, osslsigncode) on every program shipped:
# application control, SmartScreen and antivirus treat an unsigned elevated
# program as unknown. The certificate comes from the environment when the
# build folder is configured:
#   SETUP_SIGN_PFX            the PKCS #12 file holding the certificate and its key
#   SETUP_SIGN_PASSWORD_FILE  a file holding its password (on the first line)
#   SETUP_SIGN_TIMESTAMP_URL  optional: an RFC 3161 time-stamp server
#   SETUP_SIGN_CA_FILE        optional: the root certificates the tests verify
#                             the signatures against (default: the system's)
# Without SETUP_SIGN_PFX the build makes a throwaway self-signed certificate
# in its own folder (signing/), never to be shipped: every build is signed,
# and the tests verify against that certificate. SOURCE_DATE_EPOCH, when
# set, is the signing time, so that two builds with one key sign alike.
find_program(OSSLSIGNCODE osslsigncode REQUIRED)
find_program(OPENSSL openssl REQUIRED)

set(SETUP_SIGN_PFX_FILE "$ENV{SETUP_SIGN_PFX}")
set(SETUP_SIGN_PASSWORD "$ENV{SETUP_SIGN_PASSWORD_FILE}")
set(SETUP_SIGN_CA "$ENV{SETUP_SIGN_CA_FILE}")
if(SETUP_SIGN_PFX_FILE)
    foreach(file SETUP_SIGN_PFX_FILE SETUP_SIGN_PASSWORD)
        if(NOT EXISTS "${${file}}")
            message(FATAL_ERROR "SETUP_SIGN_PFX and SETUP_SIGN_PASSWORD_FILE name the "
                                "certificate and its password file: '${${file}}' is missing")
        endif()
    endforeach()
    if(NOT SETUP_SIGN_CA)
        set(SETUP_SIGN_CA /etc/ssl/certs/ca-certificates.crt)
    endif()
else()
    set(folder ${CMAKE_BINARY_DIR}/signing)
    set(key ${folder}/test-signing-key.pem)
    set(SETUP_SIGN_PFX_FILE ${folder}/test-signing.pfx)
    set(SETUP_SIGN_PASSWORD ${folder}/test-signing.password)
    set(SETUP_SIGN_CA ${folder}/test-signing.crt)
    add_custom_command(
        OUTPUT ${SETUP_SIGN_PFX_FILE} ${SETUP_SIGN_PASSWORD} ${SETUP_SIGN_CA}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${OPENSSL} rand -hex -out ${SETUP_SIGN_PASSWORD} 24
        COMMAND ${OPENSSL} genpkey -quiet -algorithm RSA -pkeyopt rsa_keygen_bits:3072 -out ${key}
        COMMAND ${OPENSSL} req -new -x509 -key ${key} -out ${SETUP_SIGN_CA} -days 3650
                -subj "/O=Torvex/CN=Torvex throwaway test signing"
                -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning
        COMMAND ${OPENSSL} pkcs12 -export -in ${SETUP_SIGN_CA} -inkey ${key} -out ${SETUP_SIGN_PFX_FILE}
                -passout file:${SETUP_SIGN_PASSWORD}
        COMMAND ${CMAKE_COMMAND} -E rm ${key}
        COMMENT "A throwaway self-signed test certificate (no SETUP_SIGN_PFX given)"
        VERBATIM)
    add_custom_target(signing_certificate
        DEPENDS ${SETUP_SIGN_PFX_FILE} ${SETUP_SIGN_PASSWORD} ${SETUP_SIGN_CA})
endif()

set(sign_options -h sha256)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    list(APPEND sign_options -time $ENV{SOURCE_DATE_EPOCH})
endif()
if(DEFINED ENV{SETUP_SIGN_TIMESTAMP_URL})
    list(APPEND sign_options -ts $ENV{SETUP_SIGN_TIMESTAMP_URL})
endif()
set(SETUP_SIGN_OPTIONS ${sign_options})

# setup_sign(<target> <description>): signs the program in place after each
# link. The description is what the elevation prompt shows as the program's
# name; ASCII, since the signature stores it as an IA5 string.
function(setup_sign target description)
    set(image $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${OSSLSIGNCODE} sign -pkcs12 ${SETUP_SIGN_PFX_FILE} -readpass ${SETUP_SIGN_PASSWORD}
                ${SETUP_SIGN_OPTIONS} -n ${description} -in ${image} -out ${image}.signed
        COMMAND ${CMAKE_COMMAND} -E rename ${image}.signed ${image}
        VERBATIM)
    # Linked and signed again when the certificate changes.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${SETUP_SIGN_PFX_FILE})
    if(TARGET signing_certificate)
        add_dependencies(${target} signing_certificate)
    endif()
endfunction()

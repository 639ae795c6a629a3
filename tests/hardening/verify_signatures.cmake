# cmake -DOSSLSIGNCODE=<tool> -DCA_FILE=<roots> -DPROGRAMS=<a;b> -P verify_signatures.cmake
# Fails unless every program carries an Authenticode signature, its digest
# SHA-256, that osslsigncode verifies against the given roots.
foreach(program ${PROGRAMS})
    execute_process(COMMAND ${OSSLSIGNCODE} verify -CAfile ${CA_FILE} -in ${program}
                    RESULT_VARIABLE failed OUTPUT_VARIABLE report ERROR_VARIABLE report)
    if(NOT failed AND NOT report MATCHES "Message digest algorithm *: SHA256")
        set(failed "not SHA-256")
    endif()
    if(failed)
        message(FATAL_ERROR "${program}: the signature does not verify\n${report}")
    endif()
    message(STATUS "${program}: signature verified")
endforeach()

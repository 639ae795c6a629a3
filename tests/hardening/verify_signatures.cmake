# cmake -DOSSLSIGNCODE=<tool> -DCA_FILE=<roots> -DPROGRAMS=<a;b> -P verify_signatures.cmake
# Fails unless osslsigncode verifies each program's Authenticode signature,
# its digest SHA-256, against the given roots.
foreach(program ${PROGRAMS})
    execute_process(COMMAND ${OSSLSIGNCODE} verify -CAfile ${CA_FILE} -in ${program}
                    RESULT_VARIABLE failed OUTPUT_VARIABLE report ERROR_VARIABLE report)
    if(failed OR NOT report MATCHES "Message digest algorithm *: SHA256")
        message(FATAL_ERROR "${program}: the signature does not verify\n${report}")
    endif()
endforeach()

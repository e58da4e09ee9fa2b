# cmake -DFILE=<exe> [-DPKCS12=<file> -DPASSWORD_FILE=<file>] [-DCERT=<pem> -DKEY=<pem>]
#       [-DTIMESTAMP_URL=<url> | -DSIGNING_TIME=<unix time>] -P Sign.cmake
# Signs an executable in place with an Authenticode signature (osslsigncode).
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (Debian package osslsigncode)")
endif()
if(PKCS12)
    set(identity -pkcs12 "${PKCS12}")
    if(PASSWORD_FILE)
        list(APPEND identity -readpass "${PASSWORD_FILE}")
    endif()
elseif(CERT AND KEY)
    set(identity -certs "${CERT}" -key "${KEY}")
    if(PASSWORD_FILE)
        list(APPEND identity -readpass "${PASSWORD_FILE}")
    endif()
else()
    message(FATAL_ERROR "Signing needs PKCS12 or both CERT and KEY")
endif()
# A time-stamp server's answer differs on every call; without one the signature
# carries the build's own time, so that two builds sign to the same bytes.
set(timestamp "")
if(TIMESTAMP_URL)
    set(timestamp -ts "${TIMESTAMP_URL}")
elseif(NOT SIGNING_TIME STREQUAL "")
    set(timestamp -time "${SIGNING_TIME}")
endif()
set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(
    COMMAND "${OSSLSIGNCODE}" sign ${identity} -h sha256 -n "Brinmoor Tessolan Setup" ${timestamp}
            -in "${FILE}" -out "${signed}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE "${signed}")
    message(FATAL_ERROR "osslsigncode could not sign ${FILE}")
endif()
file(RENAME "${signed}" "${FILE}")

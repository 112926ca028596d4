# Run by cpack on the staged, stripped package: signs its programs with Authenticode when a
# code-signing certificate is given through the environment, so that Windows names their maker.
#   ZIROZE_SIGN_PKCS12         the certificate with its private key, a PKCS#12 (.p12/.pfx) file
#   ZIROZE_SIGN_PASSWORD       its password (none when unset)
#   ZIROZE_SIGN_TIMESTAMP_URL  an RFC 3161 timestamp server, so that the signature outlives the
#                              certificate (none when unset)
set(pkcs12 "$ENV{ZIROZE_SIGN_PKCS12}")
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*.exe"
     "${CPACK_TEMPORARY_DIRECTORY}/*.dll")
if(NOT programs)
  message(FATAL_ERROR "No programs to sign in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
if(pkcs12 STREQUAL "")
  message(WARNING "The package's programs are UNSIGNED: ZIROZE_SIGN_PKCS12 names no code-signing "
                  "certificate. Windows will name no publisher for them.")
  return()
endif()
if(NOT EXISTS "${pkcs12}")
  message(FATAL_ERROR "ZIROZE_SIGN_PKCS12: no file ${pkcs12}")
endif()
find_program(ZIROZE_OSSLSIGNCODE osslsigncode)
if(NOT ZIROZE_OSSLSIGNCODE)
  message(FATAL_ERROR "Signing needs osslsigncode (scripts/setup --tests installs it)")
endif()

# The password reaches osslsigncode through a file only its owner can read, not on its command line,
# which every user of the machine can see.
set(private "${CPACK_TOPLEVEL_DIRECTORY}/signing")
file(REMOVE_RECURSE "${private}")
file(MAKE_DIRECTORY "${private}")
file(CHMOD "${private}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(password)
if(NOT "$ENV{ZIROZE_SIGN_PASSWORD}" STREQUAL "")
  file(WRITE "${private}/password" "$ENV{ZIROZE_SIGN_PASSWORD}")
  set(password -readpass "${private}/password")
endif()

set(timestamp)
if(NOT "$ENV{ZIROZE_SIGN_TIMESTAMP_URL}" STREQUAL "")
  set(timestamp -ts "$ENV{ZIROZE_SIGN_TIMESTAMP_URL}")
endif()
foreach(program IN LISTS programs)
  execute_process(
    COMMAND "${ZIROZE_OSSLSIGNCODE}" sign -pkcs12 "${pkcs12}" ${password} -h sha256
            -n ZIROZE01 ${timestamp} -in "${program}" -out "${program}.signed"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    file(REMOVE_RECURSE "${private}")
    file(REMOVE "${program}.signed")
    message(FATAL_ERROR "Signing ${program} failed:\n${output}")
  endif()
  file(RENAME "${program}.signed" "${program}")
  message(STATUS "Signed ${program}")
endforeach()
file(REMOVE_RECURSE "${private}")

# Authenticode signing (SHA-256, by osslsigncode) with the code-signing certificate that the
# environment names, for cpack's scripts:
#   ZIROZE_SIGN_PKCS12         the certificate with its private key, a PKCS#12 (.p12/.pfx) file
#   ZIROZE_SIGN_PASSWORD       its password (none when unset)
#   ZIROZE_SIGN_TIMESTAMP_URL  an RFC 3161 timestamp server, so that the signature outlives the
#                              certificate (none when unset)

# Whether a certificate is given; without one, a warning that <what> is UNSIGNED.
function(ziroze_signing_requested result what)
  if("$ENV{ZIROZE_SIGN_PKCS12}" STREQUAL "")
    message(WARNING "${what} UNSIGNED: ZIROZE_SIGN_PKCS12 names no code-signing certificate. Windows "
                    "will name no publisher.")
    set(${result} FALSE PARENT_SCOPE)
  else()
    set(${result} TRUE PARENT_SCOPE)
  endif()
endfunction()

# Signs each file in place; any failure stops cpack.
function(ziroze_sign)
  set(pkcs12 "$ENV{ZIROZE_SIGN_PKCS12}")
  if(NOT EXISTS "${pkcs12}")
    message(FATAL_ERROR "ZIROZE_SIGN_PKCS12: no file ${pkcs12}")
  endif()
  find_program(ZIROZE_OSSLSIGNCODE osslsigncode)
  if(NOT ZIROZE_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (scripts/setup --tests installs it)")
  endif()

  # The password reaches osslsigncode through a file only its owner can read, not on its command
  # line, which every user of the machine can see.
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
  foreach(file IN LISTS ARGN)
    execute_process(
      COMMAND "${ZIROZE_OSSLSIGNCODE}" sign -pkcs12 "${pkcs12}" ${password} -h sha256
              -n ZIROZE01 ${timestamp} -in "${file}" -out "${file}.signed"
      RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
      file(REMOVE_RECURSE "${private}")
      file(REMOVE "${file}.signed")
      message(FATAL_ERROR "Signing ${file} failed:\n${output}")
    endif()
    file(RENAME "${file}.signed" "${file}")
    message(STATUS "Signed ${file}")
  endforeach()
  file(REMOVE_RECURSE "${private}")
endfunction()

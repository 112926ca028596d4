# Run by cpack on the staged, stripped package: signs its programs with Authenticode when a
# code-signing certificate is given through the environment (see authenticode.cmake), so that
# Windows names their maker.
include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*.exe"
     "${CPACK_TEMPORARY_DIRECTORY}/*.dll")
if(NOT programs)
  message(FATAL_ERROR "No programs to sign in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
ziroze_signing_requested(sign "The package's programs are")
if(sign)
  ziroze_sign(${programs})
endif()

# Run by cpack after the zip: the Windows Installer package of the same staged folder, whose
# programs are signed by then, beside the zip; the package itself is signed last, since signing
# must follow every change to it.
include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
set(msi "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi")
execute_process(
  COMMAND bash "${CPACK_ZIROZE_SOURCE_DIR}/packaging/msi/make_msi.sh" "${CPACK_TEMPORARY_DIRECTORY}" "${msi}"
          ${CPACK_ZIROZE_BITS} ${CPACK_PACKAGE_VERSION} "${CPACK_PACKAGE_VENDOR}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "The Windows Installer package ${msi} could not be made")
endif()
ziroze_signing_requested(sign "The Windows Installer package is")
if(sign)
  ziroze_sign("${msi}")
endif()
message(STATUS "Windows Installer package: ${msi} generated.")

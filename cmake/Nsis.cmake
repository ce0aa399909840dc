# The suite's installer, made with NSIS. QR_MAKENSIS is empty where makensis is missing.
find_program(QR_MAKENSIS makensis)

# qr_add_nsis(OUTPUT file SCRIPT file.nsi ARCH x86|amd64 [DEFINES NAME=value...] [DEPENDS file-or-target...])
# Runs makensis on SCRIPT with TARGET (x86-ansi, or amd64-unicode for a 64-bit build), GENERATED
# (the folder of SuiteFacts.nsh) and OUTFILE set, after the installer scripts it includes and DEPENDS.
function(qr_add_nsis)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT;SCRIPT;ARCH" "DEFINES;DEPENDS")
  if(arg_ARCH STREQUAL "amd64")
    set(target amd64-unicode)
  else()
    set(target x86-ansi)
  endif()
  list(TRANSFORM arg_DEFINES PREPEND -D)
  get_filename_component(folder ${arg_OUTPUT} DIRECTORY)
  add_custom_command(OUTPUT ${arg_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${QR_MAKENSIS} -V2 -DTARGET=${target} -DGENERATED=${QR_GENERATED_DIR} ${arg_DEFINES}
            -DOUTFILE=${arg_OUTPUT} ${arg_SCRIPT}
    DEPENDS ${arg_SCRIPT} ${CMAKE_SOURCE_DIR}/installer/Suite.nsh ${QR_GENERATED_DIR}/SuiteFacts.nsh
            ${CMAKE_SOURCE_DIR}/toolkit/automation.h ${CMAKE_SOURCE_DIR}/driver/qrwntps2.h ${arg_DEPENDS}
    VERBATIM)
endfunction()

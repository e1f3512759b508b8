# Makes one installer with wixl:
#   cmake -D WIXL=... -D WXS=... -D ICON=... -D PUBLISHER=... -D VERSION=a.b.c.d
#         -D WINDOW=vorlex.exe -D REPORTER=vorlex-report.exe -D OUTPUT=....msi -P msi.cmake
# With -D MARK=ON the installer holds copies of the programs with a line
# "Vorlex <version>" added to their end, beside OUTPUT: they still run, but
# differ from the build's own (for the upgrade test).
# Besides the version it hands wixl the first version of the next release
# (Windows Installer compares only the first three numbers of a version) and
# the programs' size in kilobytes for the entry under installed programs.
foreach(name WIXL WXS ICON PUBLISHER VERSION WINDOW REPORTER OUTPUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "msi.cmake: ${name} is not set")
  endif()
endforeach()
if(NOT VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.[0-9]+$")
  message(FATAL_ERROR "msi.cmake: version ${VERSION} is not of four numbers")
endif()
math(EXPR next "${CMAKE_MATCH_3} + 1")
set(next_release ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${next})
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
if(MARK)
  foreach(program WINDOW REPORTER)
    get_filename_component(name ${${program}} NAME)
    file(COPY_FILE ${${program}} ${folder}/${name})
    file(APPEND ${folder}/${name} "Vorlex ${VERSION}\n")
    set(${program} ${folder}/${name})
  endforeach()
endif()
file(SIZE ${WINDOW} window_size)
file(SIZE ${REPORTER} reporter_size)
math(EXPR kilobytes "(${window_size} + ${reporter_size} + 1023) / 1024")
# wixl takes the files' names relative to where it runs.
foreach(file WINDOW REPORTER ICON)
  file(RELATIVE_PATH ${file} ${folder} ${${file}})
endforeach()
execute_process(
  COMMAND ${WIXL} --arch x64 -D Version=${VERSION} -D NextRelease=${next_release}
          -D Publisher=${PUBLISHER} -D Size=${kilobytes} -D Window=${WINDOW}
          -D Reporter=${REPORTER} -D Icon=${ICON} -o ${OUTPUT} ${WXS}
  WORKING_DIRECTORY ${folder}
  COMMAND_ERROR_IS_FATAL ANY)

# The ISO 3166-1 alpha-2 country codes as a C++ table, taken from Debian's
# iso-codes package when the build is configured, so that the program reads no
# file at run time.
#
#   vorlex_iso3166_table(OUTPUT)  writes OUTPUT: the codes, sorted, as
#                                 "AD", "AE", ... one per line
function(vorlex_iso3166_table output)
  set(json_file "/usr/share/iso-codes/json/iso_3166-1.json")
  if(NOT EXISTS "${json_file}")
    message(FATAL_ERROR "${json_file} is missing: install the package iso-codes")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${json_file}")
  file(READ "${json_file}" json)
  string(JSON count LENGTH "${json}" "3166-1")
  if(count LESS 200)
    message(FATAL_ERROR "${json_file} holds only ${count} countries")
  endif()
  set(codes "")
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON code GET "${json}" "3166-1" ${i} "alpha_2")
    if(NOT code MATCHES "^[A-Z][A-Z]$")
      message(FATAL_ERROR "${json_file}: \"${code}\" is no alpha-2 code")
    endif()
    list(APPEND codes "${code}")
  endforeach()
  list(SORT codes)
  list(REMOVE_DUPLICATES codes)
  list(JOIN codes "\",\n\"" body)
  # Written only when changed, so that a new configure does not rebuild.
  file(CONFIGURE OUTPUT "${output}" CONTENT "// Generated from ${json_file}.\n\"${body}\",\n")
endfunction()

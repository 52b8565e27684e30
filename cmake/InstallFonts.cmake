# Puts the five private fonts into bin/Font/ under the file names the program
# loads, using free fonts from Debian's packages as stand-ins. A font whose
# source is missing is left out; the program skips a missing file.
# Called as a script: -DDST=<bin>
include(${CMAKE_CURRENT_LIST_DIR}/FontMap.cmake)
file(MAKE_DIRECTORY "${DST}/Font")
foreach(entry IN LISTS VX27_FONT_MAP)
  string(REPLACE "=" ";" fields "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 source)
  set(to "${DST}/Font/${name}")
  if(EXISTS "${source}" AND (NOT EXISTS "${to}" OR "${source}" IS_NEWER_THAN "${to}"))
    file(COPY_FILE "${source}" "${to}")
  endif()
endforeach()

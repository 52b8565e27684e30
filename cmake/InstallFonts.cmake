# Puts the five private fonts into bin/Font/ under the file names the program
# loads, using free fonts from Debian's packages as stand-ins. A font whose
# source is missing is left out; the program skips a missing file.
# Called as a script: -DDST=<bin>
set(font_map
  "Simplified_Chinese.ttf=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
  "Korventa-Regular.otf=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"
  "NotoSansThai-Regular.ttf=/usr/share/fonts/truetype/tlwg/Loma.ttf"
  "NotoSansCJKtc-Regular.otf=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
  "arial.ttf=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf")
file(MAKE_DIRECTORY "${DST}/Font")
foreach(entry IN LISTS font_map)
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 name)
  list(GET pair 1 source)
  set(to "${DST}/Font/${name}")
  if(EXISTS "${source}" AND (NOT EXISTS "${to}" OR "${source}" IS_NEWER_THAN "${to}"))
    file(COPY_FILE "${source}" "${to}")
  endif()
endforeach()

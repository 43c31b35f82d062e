# Copies each file of SRC into DST unless DST already has it: a rebuild never
# erases a player's records.
file(MAKE_DIRECTORY ${DST})
file(GLOB files ${SRC}/*)
foreach(f ${files})
  get_filename_component(name ${f} NAME)
  if(NOT EXISTS ${DST}/${name})
    file(COPY ${f} DESTINATION ${DST})
  endif()
endforeach()

# Regenerates each file that the catalogue produces (its manifest,
# tools/catalogue/generated_files.txt) and compares it with the committed one. To refresh
# them: scripts/generate.sh
file(MAKE_DIRECTORY ${OUT_DIR})
file(STRINGS ${SOURCE_DIR}/tools/catalogue/generated_files.txt pairs)
foreach(pair IN LISTS pairs)
  string(REPLACE " " ";" pair "${pair}")
  list(GET pair 0 what)
  list(GET pair 1 committed)
  get_filename_component(name ${committed} NAME)
  execute_process(COMMAND ${GENERATOR} ${what} OUTPUT_FILE ${OUT_DIR}/${name} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ardudf_catalogue ${what} failed")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT_DIR}/${name} ${SOURCE_DIR}/${committed}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${committed} is not what the catalogue generates; run scripts/generate.sh")
  endif()
endforeach()

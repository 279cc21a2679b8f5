# The road from Firebird 2.5 (tests/server/from25.sh): databases made by the real 2.5 engine
# (the 32-bit Windows kit in ../shared/firebird, under Wine; tests/fb25), backed up there,
# restored into the newer engines and moved to the UDR module. Needs the 32-bit ardudf.dll
# and the 2.5 client of the mingw-i686 build, which server.fb25.road.build makes (the same
# folder the mingw-i686 preset builds in). Without the kit the tests are skipped and say why.
# Included by tests/server/CMakeLists.txt; fb4 and fb5: whether those engines run here.
function(ardudf_road_from25 fb4 fb5)
  set(engines --engine fb3)
  if(fb4)
    list(APPEND engines --engine fb4)
  endif()
  if(fb5)
    list(APPEND engines --engine fb5)
  endif()
  set(windows_build ${CMAKE_SOURCE_DIR}/build/mingw-i686)
  add_test(NAME server.fb25.road.build
    COMMAND sh -c "cmake --preset mingw-i686 >/dev/null && cmake --build build/mingw-i686 --target ardudf ardudf_isql25"
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(server.fb25.road.build PROPERTIES FIXTURES_SETUP fb25road TIMEOUT 900)
  # Dialect 3 with NONE, dialect 1 with UTF8: the two kinds of old database, each to every engine.
  foreach(run "none;NONE;3" "d1.utf8;UTF8;1")
    list(GET run 0 name)
    list(GET run 1 charset)
    list(GET run 2 dialect)
    add_test(NAME server.fb25.road.${name} COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/from25.sh
      --windows-build ${windows_build} --udr-dir $<TARGET_FILE_DIR:ardudf_udr> --charset ${charset}
      --dialect ${dialect} ${engines})
    set_tests_properties(server.fb25.road.${name} PROPERTIES FIXTURES_REQUIRED "fb25road;${ARGN}"
      ENVIRONMENT "${ARDUDF_FB5_ENV};ARDUDF_ISQL25_EXE=${windows_build}/tests/fb25/ardudf_isql25.exe"
      TIMEOUT 900 SKIP_RETURN_CODE 77)
  endforeach()
endfunction()

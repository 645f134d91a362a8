# One static library per folder, its sources listed by the folder's
# CMakeLists. Includes are qualified from the project root
# ("frame/db/SQLAPI.h"), so the root is the one include directory.
function(promo_static_library name)
  cmake_parse_arguments(ARG "QT" "" "LIBS;SOURCES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

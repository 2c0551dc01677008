# Header-only libraries of the build machine (nlohmann-json, CLI11) for the
# Windows cross build. /usr/include itself must never reach the cross compiler,
# its C headers are glibc's: only the libraries' own directories are staged.
set(KPX_ENTETES_HOTE ${CMAKE_BINARY_DIR}/entetes-hote)
file(MAKE_DIRECTORY ${KPX_ENTETES_HOTE})
foreach(repertoire nlohmann CLI)
  if(NOT EXISTS /usr/include/${repertoire})
    message(FATAL_ERROR "/usr/include/${repertoire} missing: install nlohmann-json3-dev and libcli11-dev")
  endif()
  file(CREATE_LINK /usr/include/${repertoire} ${KPX_ENTETES_HOTE}/${repertoire} SYMBOLIC)
endforeach()

# Defined before the packages are looked for, so that their own config files
# find the targets already there and add nothing of the build machine.
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${KPX_ENTETES_HOTE})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${KPX_ENTETES_HOTE})

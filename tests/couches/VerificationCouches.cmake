# The include check over tiny trees written here: a downward include and a
# sibling's own header pass; an upward include, or a file in a folder the
# order does not name, fails and is named.
#   cmake -DVERIFICATEUR=<verifier-couches.cmake> -DTMP=<dir> -P VerificationCouches.cmake
set(racine "${TMP}/couches")

function(essayer nom reussite attendu)
  set(arbre "${racine}/${nom}")
  file(REMOVE_RECURSE "${arbre}")
  file(WRITE "${arbre}/couches.txt" "# bottom first\nbas\nhaut\n")
  foreach(fichier IN LISTS ARGN)
    string(REPLACE "=" ";" parties "${fichier}")
    list(GET parties 0 chemin)
    list(GET parties 1 include)
    file(WRITE "${arbre}/src/${chemin}" "// test\n#include \"${include}\"\n")
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCES=${arbre}/src -DCOUCHES=${arbre}/couches.txt -P ${VERIFICATEUR}
                  RESULT_VARIABLE resultat OUTPUT_VARIABLE sortie ERROR_VARIABLE sortie)
  string(REGEX REPLACE "[ \n]+" " " sortie "${sortie}")
  if(reussite AND NOT resultat EQUAL 0)
    message(FATAL_ERROR "${nom}: refused a tree that keeps the order:\n${sortie}")
  endif()
  if(NOT reussite AND resultat EQUAL 0)
    message(FATAL_ERROR "${nom}: accepted a tree that breaks the order:\n${sortie}")
  endif()
  string(FIND "${sortie}" "${attendu}" trouve)
  if(trouve EQUAL -1)
    message(FATAL_ERROR "${nom}: expected \"${attendu}\" in:\n${sortie}")
  endif()
endfunction()

essayer(descendante TRUE "kept by the 3 files"
        "haut/A.cpp=bas/B.h" "haut/A.h=haut/A.cpp" "bas/B.h=bfhw32/bfhw32.h")
essayer(montante FALSE "bas/B.h: #include \"haut/A.h\" goes up from bas to haut"
        "haut/A.h=bas/B.h" "bas/B.h=haut/A.h")
essayer(dossier-inconnu FALSE "autre/C.cpp: folder 'autre' is not in"
        "bas/B.h=KPXW32.h" "autre/C.cpp=bas/B.h")
file(REMOVE_RECURSE "${racine}")

# Runs lupdate over the sources into a copy of a translation and fails when
# a text the sources show has no translation there, or one marked unfinished.
# cmake -DLUPDATE=... -DTS=gameoflife_de.ts -DSOURCES=list-file -DOUT=dir -P TranslationCheck.cmake
get_filename_component(name ${TS} NAME)
file(MAKE_DIRECTORY ${OUT})
configure_file(${TS} ${OUT}/${name} COPYONLY)
execute_process(COMMAND ${LUPDATE} -silent -no-obsolete -locations none @${SOURCES} -ts ${OUT}/${name}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status})")
endif()
file(READ ${OUT}/${name} text)
string(REGEX MATCHALL "<source>[^<]*</source>[^<]*(<oldsource>[^<]*</oldsource>[^<]*)?(<comment>[^<]*</comment>[^<]*)?<translation type=\"unfinished\"" unfinished "${text}")
string(REGEX MATCHALL "<source>[^<]*</source>[^<]*<translation>(</translation>)" empty "${text}")
list(LENGTH unfinished count)
list(LENGTH empty blanks)
if(count GREATER 0 OR blanks GREATER 0)
  string(REGEX REPLACE "<translation type=\"unfinished\"|<oldsource>[^<]*</oldsource>|\n *" " " list "${unfinished}${empty}")
  message(FATAL_ERROR "${name}: ${count} texts without a finished translation and ${blanks} empty ones "
                      "(update it with the update_translations target):\n${list}")
endif()
message(STATUS "${name}: every text is translated")

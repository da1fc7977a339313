# Copies data/, manual/ and pocketvane-manual/ into the program folder, file by
# file, leaving every file that is already there untouched.
foreach(dir data manual pocketvane-manual)
  file(GLOB_RECURSE files RELATIVE ${SRC}/${dir} ${SRC}/${dir}/*)
  foreach(f ${files})
    if(NOT EXISTS ${DST}/${dir}/${f})
      get_filename_component(sub ${DST}/${dir}/${f} DIRECTORY)
      file(MAKE_DIRECTORY ${sub})
      file(COPY_FILE ${SRC}/${dir}/${f} ${DST}/${dir}/${f})
    endif()
  endforeach()
  file(MAKE_DIRECTORY ${DST}/${dir})
endforeach()

# cmake -DEMULATOR=... -DCVXSCAN=cvxscan.exe -DPLUGINS=<folder of the DLLs>
#       -DSAMPLE=<an Ogg Vorbis file> -DSCRATCH=<empty folder> -P cvxscan_names.cmake
# cvxscan.exe under Wine, code page 1252, on names that code page holds and
# names it lacks: each file is found by its own name, read once, and shown
# as it is; a name the code page holds reaches the plug-in as it is, any
# other as the volume's short name.
function(windows_path out path)
  string(REPLACE "/" "\\" converted "Z:${path}")
  set(${out} ${converted} PARENT_SCOPE)
endfunction()

# Ō, Ł, ź, Japanese and U+2215 (which looks like '/') are not in code page
# 1252; Ü, ï, ö and é are.
set(names "01 Osaka.ogg" "01 Ōsaka.ogg" "02 Łódź.ogg" "日本語/03 Song.ogg" "AC∕DC/04 Song.ogg"
          "Ünïcödé/05 Song.ogg")
set(exact "01 Osaka.ogg" "Ünïcödé/05 Song.ogg")
file(REMOVE_RECURSE ${SCRATCH})
foreach(name ${names})
  get_filename_component(folder "${SCRATCH}/names/${name}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  configure_file(${SAMPLE} "${SCRATCH}/names/${name}" COPYONLY)
endforeach()

windows_path(plugins ${PLUGINS})
windows_path(folder ${SCRATCH}/names)
execute_process(COMMAND ${EMULATOR} ${CVXSCAN} --plugins ${plugins} --format csv ${folder}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "status ${status}, not 0; stderr:\n${err}\nstdout:\n${out}")
endif()
string(REPLACE "\\" "/" out "${out}")
string(REPLACE "\r\n" "\n" out "${out}")
string(REGEX REPLACE "\n$" "" out "${out}")
string(REPLACE "\n" ";" records "${out}")
list(LENGTH records count)
list(LENGTH names expected)
math(EXPR expected "${expected} + 1")
if(NOT count EQUAL expected)
  message(FATAL_ERROR "${count} lines, not a header and one record a file:\n${out}\nstderr:\n${err}")
endif()
string(REPLACE "\\" "/" prefix "${folder}/")
foreach(name ${names})
  # path, plugin, file_name: the real name first, then what the plug-in had.
  string(FIND "${out}" "\n${prefix}${name},OGG.cvx," at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no record of ${name}:\n${out}")
  endif()
  list(FIND exact "${name}" holdsIt)
  string(FIND "${out}" "\n${prefix}${name},OGG.cvx,${prefix}${name}," asGiven)
  if(holdsIt EQUAL -1 AND NOT asGiven EQUAL -1)
    message(FATAL_ERROR "${name} reached the plug-in as it is, not as a short name:\n${out}")
  elseif(NOT holdsIt EQUAL -1 AND asGiven EQUAL -1)
    message(FATAL_ERROR "${name}, which code page 1252 holds, reached the plug-in otherwise:\n${out}")
  endif()
endforeach()
message(STATUS "cvxscan.exe: every name read once, by its own name")

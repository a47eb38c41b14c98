# cmake -DEMULATOR=... -DCVXSCAN=cvxscan.exe -DPLUGINS=<folder of the DLLs>
#       -DWORKING=<folder holding samples/> -DREFERENCE=<folder of the Linux
#       cvxscan's cvxscan.csv and cvxscan.json> -DSCRATCH=<empty folder>
#       -P cvxscan_exe.cmake
# cvxscan.exe under Wine: the catalogue of the sample library equals the
# Linux cvxscan's field for field (paths compared with '\' read as '/'); a
# damaged file gives status 1 and a line on stderr; a folder without
# plug-ins gives status 2 and says so; --install registers both plug-ins in
# the plugin.ini two folders above them and names it; --version reads the
# DLLs' version resources.
function(windows_path out path)
  string(REPLACE "/" "\\" converted "Z:${path}")
  set(${out} ${converted} PARENT_SCOPE)
endfunction()

# run(<status> <stdout> <stderr> ARGS...): cvxscan.exe with ARGS.
function(run status_var out_var err_var)
  execute_process(COMMAND ${EMULATOR} ${CVXSCAN} ${ARGN} WORKING_DIRECTORY ${WORKING}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${status_var} ${status} PARENT_SCOPE)
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
endfunction()

function(expect_status actual expected what err)
  if(NOT actual EQUAL expected)
    message(FATAL_ERROR "${what}: status ${actual}, not ${expected}; stderr:\n${err}")
  endif()
endfunction()

windows_path(plugins ${PLUGINS})

# The sample library, in both formats, the second read with four threads;
# it holds one damaged file.
foreach(format csv json)
  set(jobs 1)
  if(format STREQUAL "json")
    set(jobs 4)
  endif()
  run(status windows linux_err --plugins ${plugins} --format ${format} --jobs ${jobs} samples)
  expect_status(${status} 1 "the sample library as ${format}" "${linux_err}")
  if(format STREQUAL "csv")
    string(REPLACE "\\" "/" windows "${windows}")
  else()
    string(REPLACE "\\\\" "/" windows "${windows}")  # JSON escapes each '\'
  endif()
  file(READ ${REFERENCE}/cvxscan.${format} linux)
  if(NOT windows STREQUAL linux)
    message(FATAL_ERROR "cvxscan.exe's ${format} differs from the Linux cvxscan's.\n"
      "Linux:\n${linux}\nWindows:\n${windows}")
  endif()
endforeach()

run(status out err --plugins ${plugins} --format csv "samples\\ogg\\07 Damaged.ogg")
expect_status(${status} 1 "a damaged file" "${err}")
if(NOT err MATCHES "cvxscan: samples\\\\ogg\\\\07 Damaged.ogg: not a readable Ogg Vorbis file \\(OGG.cvx\\)\r?\n")
  message(FATAL_ERROR "no line on stderr for the damaged file:\n${err}")
endif()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/empty ${SCRATCH}/Corvane/Plugins/Formats)
windows_path(empty ${SCRATCH}/empty)
run(status out err --plugins ${empty} samples)
expect_status(${status} 2 "a folder without plug-ins" "${err}")
if(NOT err MATCHES "no plug-in could be loaded from")
  message(FATAL_ERROR "no clear message for a folder without plug-ins:\n${err}")
endif()

file(COPY ${PLUGINS}/OGG.cvx ${PLUGINS}/FLAC.cvx ${PLUGINS}/OPUS.cvx ${PLUGINS}/M4A.cvx DESTINATION ${SCRATCH}/Corvane/Plugins/Formats)
windows_path(formats ${SCRATCH}/Corvane/Plugins/Formats)
run(status out err --plugins ${formats} --install)
expect_status(${status} 0 "--install" "${err}")
if(NOT err MATCHES "cvxscan: OGG.cvx: Z:.*\\\\Corvane\\\\plugin.ini: added\r?\n")
  message(FATAL_ERROR "--install did not name the plugin.ini it changed:\n${err}")
endif()
file(READ ${SCRATCH}/Corvane/plugin.ini ini)
# The plug-ins load in sorted order: FLAC.cvx registers first, OPUS.cvx last.
if(NOT ini MATCHES "\\[Corvane\\]\r?\ncorvane_extlist=MP3, MPC, MP\\+, MPP, WMA, APE, MAC, FLAC, M4A, OGG, OPUS\r?\n")
  message(FATAL_ERROR "--install wrote an unexpected plugin.ini:\n${ini}")
endif()
# The version resource of each DLL, read back through the system's API.
run(status out err --plugins ${formats} --version)
expect_status(${status} 0 "--version" "${err}")
if(NOT out MATCHES "OGG.cvx: OGG Support for Corvane, version [0-9.]+ \\(file version [0-9.]+\\), extensions OGG"
   OR NOT out MATCHES "OPUS.cvx: OPUS Support for Corvane, version [0-9.]+ \\(file version [0-9.]+\\), extensions OPUS"
   OR NOT out MATCHES "M4A.cvx: M4A Support for Corvane, version [0-9.]+ \\(file version [0-9.]+\\), extensions M4A")
  message(FATAL_ERROR "--version did not read the DLLs' version resources:\n${out}")
endif()
message(STATUS "cvxscan.exe: catalogue, damaged file, empty folder, --install and --version as on Linux")

# The installed package as an outsider meets it, run by ctest as
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... [-DGENERATOR=...]
#         [-DLAUNCHER=...] [-DCXX_COMPILER=...] [-DSANITIZE_FLAGS=...] -P RunOutsider.cmake
#
# 1. installs the build into WORK_DIR/staged, checks that nothing of the
#    tests, benchmarks or fuzzers (nor a layer library) went with it, and
#    moves the tree to WORK_DIR/prefix: whatever follows runs on a prefix the
#    build never knew, so any path fixed at build time shows up;
# 2. runs the installed prvc03-host from another folder (no --library), for
#    --version and a screenshot, and asks pkg-config for the plug-in's path;
# 3. configures and builds tests/outsider against the moved prefix and runs
#    its host offscreen.

foreach(var BUILD_DIR SOURCE_DIR WORK_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
set(staged ${WORK_DIR}/staged)
set(prefix ${WORK_DIR}/prefix)

# 1. Install, inspect, move.
run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${staged})
file(GLOB_RECURSE installed RELATIVE ${staged} ${staged}/*)
foreach(file IN LISTS installed)
  if(file MATCHES "(^|/)(tests?|bench|fuzz)(/|_)|_test$|prvc03_bench|fuzz_|CTest|\\.a$")
    if(NOT file MATCHES "/libprvc03-windowing\\.a$")
      message(FATAL_ERROR "installed, but not for installing: ${file}")
    endif()
  endif()
endforeach()
foreach(wanted bin/prvc03-host include/PRVC03.h include/prvc03/Windows.h
               share/applications/prvc03-host.desktop
               share/icons/hicolor/scalable/apps/prvc03-host.svg share/doc/prvc03/README.md)
  if(NOT EXISTS ${staged}/${wanted})
    message(FATAL_ERROR "not installed: ${wanted}")
  endif()
endforeach()
list(FILTER installed INCLUDE REGEX "/prvc03/libPRVC03\\.so$|/prvc03\\.pc$|/PRVC03Config\\.cmake$")
list(LENGTH installed found)
if(NOT found EQUAL 3)
  message(FATAL_ERROR "plug-in, prvc03.pc or PRVC03Config.cmake missing: ${installed}")
endif()
file(RENAME ${staged} ${prefix})

# 2. The installed test host, from another folder, finds the installed plug-in.
run("prvc03-host --version" ${prefix}/bin/prvc03-host --version)
if(NOT run_output MATCHES "^prvc03-host [0-9]+\\.[0-9]+\\.[0-9]+")
  message(FATAL_ERROR "prvc03-host --version printed: ${run_output}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          ${prefix}/bin/prvc03-host --database ${WORK_DIR}/demo.db --screenshot ${WORK_DIR}/shot.png
  WORKING_DIRECTORY ${WORK_DIR}/elsewhere
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK_DIR}/shot.png)
  message(FATAL_ERROR "installed prvc03-host --screenshot failed (${rc}):\n${out}\n${err}")
endif()
find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  list(FILTER installed INCLUDE REGEX "prvc03\\.pc$")
  get_filename_component(pcdir ${prefix}/${installed} DIRECTORY)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pcdir}
                          ${PKG_CONFIG} --variable=plugin prvc03
                  RESULT_VARIABLE rc OUTPUT_VARIABLE plugin OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(REAL_PATH "${plugin}" plugin)
  if(NOT rc EQUAL 0 OR NOT EXISTS "${plugin}" OR NOT plugin MATCHES "^${prefix}/")
    message(FATAL_ERROR "pkg-config names the plug-in as '${plugin}', not inside ${prefix}")
  endif()
endif()

# 3. The outsider's own host.
set(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build
              -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if(GENERATOR)
  list(APPEND configure -G ${GENERATOR})
endif()
if(CXX_COMPILER)
  list(APPEND configure -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
endif()
if(LAUNCHER)
  list(APPEND configure -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
if(SANITIZE_FLAGS)
  # The installed libraries carry the sanitizers' instrumentation.
  list(APPEND configure "-DCMAKE_CXX_FLAGS=${SANITIZE_FLAGS}"
       "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZE_FLAGS}")
endif()
run("configuring the outsider" ${configure})
run("building the outsider" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          ${WORK_DIR}/build/outsider-host ${prefix}
  WORKING_DIRECTORY ${WORK_DIR}/elsewhere
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "${out}${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "outsider-host failed (${rc})")
endif()

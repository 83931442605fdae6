set(QUILMAR_CORPUS_DIR "${PROJECT_SOURCE_DIR}/../shared/corpus" CACHE PATH
    "Folder of real RTF files and their reference texts; tests skip when it is absent")

# quilmar_add_test(<name> SOURCES <files…> [LIBS <targets…>] [GUI] [TIMEOUT <s>] [LABELS <l…>])
# Every test is its own executable; GUI tests run under Qt's offscreen platform.
function(quilmar_add_test name)
  cmake_parse_arguments(ARG "GUI;XVFB" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE
    QUILMAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUILMAR_PROGRAM_DIR="${QUILMAR_PROGRAM_DIR}"
    QUILMAR_CORPUS_DIR="${QUILMAR_CORPUS_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(env "QUILMAR_ACP=1252" "LC_ALL=C.UTF-8")
  if(NOT ARG_XVFB)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}" LABELS "${ARG_LABELS}")
endfunction()

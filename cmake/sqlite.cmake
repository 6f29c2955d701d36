# SQLite for the program, and the rule database that ships beside it.
#
# Windows (cross) build: builds qomb100.dll from SQLite's amalgamation, fetched at configure time
# from the npm registry (the better-sqlite3 package carries it), pinned and checked against a
# sha256; generates ${TESSORA_DIST_DIR}/pomlet64.dll from rules/schema.sql.
# Native build: builds the same amalgamation as the static library tessora_sqlite; generates the
# same database under the build folder for the native tests, which
# get its path as TESSORA_RULE_DB_PATH.
#
# Sets TESSORA_RULE_DB (path of the generated database) and the target tessora_rule_db.
include_guard(GLOBAL)

set(TESSORA_RULE_SCHEMA ${CMAKE_SOURCE_DIR}/rules/schema.sql)

find_program(TESSORA_SQLITE3_CLI sqlite3)
if(NOT TESSORA_SQLITE3_CLI)
    message(FATAL_ERROR "The sqlite3 command-line tool is needed to generate the rule database "
                        "(Debian package sqlite3).")
endif()

# Builds the database into a temporary file first, so that a failed run leaves no half-made file.
function(tessora_generate_rule_db output target)
    get_filename_component(dir ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${output}.tmp
        COMMAND ${TESSORA_SQLITE3_CLI} -batch -bail ${output}.tmp ".read '${TESSORA_RULE_SCHEMA}'"
        COMMAND ${CMAKE_COMMAND} -E rename ${output}.tmp ${output}
        DEPENDS ${TESSORA_RULE_SCHEMA}
        COMMENT "Generating the rule database ${output}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

# One pinned amalgamation for both builds, so that the native tests run the engine the program
# ships.
set(TESSORA_SQLITE_NPM_PACKAGE better-sqlite3)
set(TESSORA_SQLITE_NPM_VERSION 12.11.1)  # carries SQLite 3.53.2
set(TESSORA_SQLITE_NPM_SHA256 ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835)

set(cache ${CMAKE_BINARY_DIR}/_deps/sqlite)
set(tarball ${cache}/${TESSORA_SQLITE_NPM_PACKAGE}-${TESSORA_SQLITE_NPM_VERSION}.tgz)
set(src ${cache}/src-${TESSORA_SQLITE_NPM_VERSION})
file(MAKE_DIRECTORY ${cache})

if(EXISTS ${tarball})
    file(SHA256 ${tarball} actual)
    if(NOT actual STREQUAL TESSORA_SQLITE_NPM_SHA256)
        file(REMOVE ${tarball})
        file(REMOVE_RECURSE ${src})
    endif()
endif()
if(NOT EXISTS ${tarball})
    find_program(TESSORA_NPM npm)
    if(NOT TESSORA_NPM)
        message(FATAL_ERROR "npm is needed to fetch SQLite's source (Debian package npm).")
    endif()
    message(STATUS "Fetching ${TESSORA_SQLITE_NPM_PACKAGE}@${TESSORA_SQLITE_NPM_VERSION} for SQLite's source")
    execute_process(
        COMMAND ${TESSORA_NPM} pack ${TESSORA_SQLITE_NPM_PACKAGE}@${TESSORA_SQLITE_NPM_VERSION}
                --silent --pack-destination ${cache}
        WORKING_DIRECTORY ${cache}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT EXISTS ${tarball})
        message(FATAL_ERROR "npm pack ${TESSORA_SQLITE_NPM_PACKAGE}@${TESSORA_SQLITE_NPM_VERSION} failed: ${out}${err}")
    endif()
    file(SHA256 ${tarball} actual)
    if(NOT actual STREQUAL TESSORA_SQLITE_NPM_SHA256)
        file(REMOVE ${tarball})
        message(FATAL_ERROR "${TESSORA_SQLITE_NPM_PACKAGE}-${TESSORA_SQLITE_NPM_VERSION}.tgz has sha256 ${actual}, "
                            "expected ${TESSORA_SQLITE_NPM_SHA256}")
    endif()
endif()
if(NOT EXISTS ${src}/sqlite3.c OR NOT EXISTS ${src}/sqlite3.h)
    file(REMOVE_RECURSE ${cache}/extract ${src})
    file(ARCHIVE_EXTRACT INPUT ${tarball} DESTINATION ${cache}/extract
         PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
    file(RENAME ${cache}/extract/package/deps/sqlite3 ${src})
    file(REMOVE_RECURSE ${cache}/extract)
endif()

if(WIN32)
    # The engine as the program loads it: its C interface exported, nothing but the system's own
    # DLLs imported.
    add_library(qomb100 SHARED ${src}/sqlite3.c)
    target_compile_definitions(qomb100 PRIVATE "SQLITE_API=__declspec(dllexport)" SQLITE_THREADSAFE=1
        SQLITE_OMIT_LOAD_EXTENSION)
    # SQLite's own source is not held to our warning flags.
    target_compile_options(qomb100 PRIVATE -w -O2)
    # a preferred base that no system DLL takes, so that it is mapped, not relocated
    target_link_options(qomb100 PRIVATE -static-libgcc ${TESSORA_SHIP_LINK} -Wl,--image-base,0x63400000)
    set_target_properties(qomb100 PROPERTIES
        PREFIX "" OUTPUT_NAME qomb100
        RUNTIME_OUTPUT_DIRECTORY ${TESSORA_DIST_DIR}
        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

    set(TESSORA_RULE_DB ${TESSORA_DIST_DIR}/pomlet64.dll)
    tessora_generate_rule_db(${TESSORA_RULE_DB} tessora_rule_db)
else()
    add_library(tessora_sqlite STATIC ${src}/sqlite3.c)
    target_include_directories(tessora_sqlite SYSTEM PUBLIC ${src})
    target_compile_definitions(tessora_sqlite PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
    target_compile_options(tessora_sqlite PRIVATE -w -O2)
    find_package(Threads REQUIRED)
    target_link_libraries(tessora_sqlite PUBLIC Threads::Threads m)

    set(TESSORA_RULE_DB ${CMAKE_BINARY_DIR}/rules/pomlet64.dll)
    tessora_generate_rule_db(${TESSORA_RULE_DB} tessora_rule_db)

    # Wired once the whole directory is read, so the targets exist wherever this file is included.
    function(tessora_wire_rule_db)
        foreach(t native_tests rules_bench)
            if(TARGET ${t})
                target_compile_definitions(${t} PRIVATE TESSORA_RULE_DB_PATH="${TESSORA_RULE_DB}")
                add_dependencies(${t} tessora_rule_db)
            endif()
        endforeach()
    endfunction()
    cmake_language(DEFER CALL tessora_wire_rule_db)
endif()

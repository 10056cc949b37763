# SQLite for the service record's store, as the target vyx::sqlite3.
# Natively it is Debian's libsqlite3-dev. A Windows cross-build links it
# statically, compiled from the single-file source (sqlite3.c) made from Debian's
# own sqlite3 source package: VYX_SQLITE_SOURCE names the folder that holds it.
# The browser page keeps its record in IndexedDB and needs none.
if(EMSCRIPTEN)
    return()
endif()
if(NOT WIN32)
    find_package(SQLite3 REQUIRED)
    add_library(vyx::sqlite3 ALIAS SQLite::SQLite3)
    return()
endif()

set(VYX_SQLITE_SOURCE "" CACHE PATH "Folder with sqlite3.c and sqlite3.h for the Windows build")
if(NOT VYX_SQLITE_SOURCE OR NOT EXISTS ${VYX_SQLITE_SOURCE}/sqlite3.c)
    message(FATAL_ERROR "VYX_SQLITE_SOURCE must hold sqlite3.c: run scripts/setup.sh windows")
endif()
add_library(vyx_sqlite3 STATIC ${VYX_SQLITE_SOURCE}/sqlite3.c)
target_include_directories(vyx_sqlite3 SYSTEM PUBLIC ${VYX_SQLITE_SOURCE})
# Serialized connections by default (the store's threads each open their own);
# no double-quoted string literals; WAL commits that wait for the disk only at
# checkpoints, as the store asks natively; no loading of foreign code.
target_compile_definitions(vyx_sqlite3 PRIVATE
    SQLITE_THREADSAFE=1
    SQLITE_DQS=0
    SQLITE_DEFAULT_WAL_SYNCHRONOUS=1
    SQLITE_OMIT_LOAD_EXTENSION)
# Third-party code: not held to the project's warnings (vyx_target_defaults is not
# applied to it), and its own are silenced.
target_compile_options(vyx_sqlite3 PRIVATE -w)
add_library(vyx::sqlite3 ALIAS vyx_sqlite3)

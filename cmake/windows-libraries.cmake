# The Windows build's pugixml, SQLite and GoogleTest, made from sources, since
# Debian ships them only as Linux binaries. pugixml and the SQLite
# amalgamation come from Debian's source packages, fetched once into
# QELVO_WINDOWS_SOURCES by scripts/fetch-windows-sources.sh; GoogleTest comes
# from /usr/src/googletest. They get the names find_package would give, so
# the rest of the build does not know the difference.
set(QELVO_WINDOWS_SOURCES "${CMAKE_BINARY_DIR}/sources" CACHE PATH
    "Where fetch-windows-sources.sh left pugixml and the SQLite amalgamation")
foreach(file pugixml/pugixml.cpp sqlite/sqlite3.c)
  if(NOT EXISTS "${QELVO_WINDOWS_SOURCES}/${file}")
    message(FATAL_ERROR "${QELVO_WINDOWS_SOURCES}/${file} is missing; run "
                        "scripts/fetch-windows-sources.sh ${QELVO_WINDOWS_SOURCES} (make windows does)")
  endif()
endforeach()

enable_language(C)

add_library(qelvo_pugixml STATIC "${QELVO_WINDOWS_SOURCES}/pugixml/pugixml.cpp")
target_include_directories(qelvo_pugixml SYSTEM PUBLIC "${QELVO_WINDOWS_SOURCES}/pugixml")
target_compile_options(qelvo_pugixml PRIVATE -w)
add_library(pugixml::pugixml ALIAS qelvo_pugixml)

add_library(qelvo_sqlite3 STATIC "${QELVO_WINDOWS_SOURCES}/sqlite/sqlite3.c")
target_include_directories(qelvo_sqlite3 SYSTEM PUBLIC "${QELVO_WINDOWS_SOURCES}/sqlite")
# The server never loads SQLite extensions; leaving the loader out keeps the
# executable from reaching for DLLs it does not need.
target_compile_definitions(qelvo_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(qelvo_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS qelvo_sqlite3)

# Asio is header-only; a cross compiler sees it through a directory that
# holds links to it alone, never through /usr/include, whose Linux headers
# would shadow the Windows ones. A build on Windows itself is given
# ASIO_INCLUDE_DIR and finds it the usual way.
if(CMAKE_CROSSCOMPILING)
  set(QELVO_WINDOWS_INCLUDE "${CMAKE_BINARY_DIR}/include")
  find_path(QELVO_HOST_ASIO asio.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
            REQUIRED)
  file(MAKE_DIRECTORY "${QELVO_WINDOWS_INCLUDE}")
  foreach(entry asio.hpp asio)
    if(NOT EXISTS "${QELVO_WINDOWS_INCLUDE}/${entry}")
      file(CREATE_LINK "${QELVO_HOST_ASIO}/${entry}" "${QELVO_WINDOWS_INCLUDE}/${entry}" SYMBOLIC)
    endif()
  endforeach()
  set(ASIO_INCLUDE_DIR "${QELVO_WINDOWS_INCLUDE}" CACHE PATH "Asio for the Windows build" FORCE)
endif()

if(QELVO_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(QELVO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
  add_subdirectory("${QELVO_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  # Newer GoogleTest makes the GTest:: names itself.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()

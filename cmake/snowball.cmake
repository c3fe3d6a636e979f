# The Snowball stemmer library (libstemmer) for the keyphrase pipeline, as the static target
# kezo_stemmer. Built from its C sources when they are at KEZO_STEMMER_SOURCE_DIR (scripts/setup.sh
# puts them there; a source distribution carries them), so every build, wheels included, has the
# same stemmers and needs no system package. Without the sources an installed libstemmer is used.

set(KEZO_STEMMER_SOURCE_DIR "${PROJECT_SOURCE_DIR}/third_party/libstemmer_c" CACHE PATH
    "Snowball's libstemmer_c source folder (include/, runtime/, libstemmer/, src_c/)")

if(EXISTS "${KEZO_STEMMER_SOURCE_DIR}/libstemmer/libstemmer_utf8.c")
    enable_language(C)
    # Only the UTF-8 stemmers: the core hands the stemmer UTF-8 and nothing else.
    file(GLOB KEZO_STEMMER_SOURCES CONFIGURE_DEPENDS
        ${KEZO_STEMMER_SOURCE_DIR}/src_c/stem_UTF_8_*.c
        ${KEZO_STEMMER_SOURCE_DIR}/runtime/*.c)
    add_library(kezo_stemmer STATIC ${KEZO_STEMMER_SOURCES}
        ${KEZO_STEMMER_SOURCE_DIR}/libstemmer/libstemmer_utf8.c)
    target_include_directories(kezo_stemmer PUBLIC ${KEZO_STEMMER_SOURCE_DIR}/include)
    # Generated code we do not maintain: its warnings are not ours to fix. Hidden symbols keep
    # the stemmer's API out of the module's exports.
    target_compile_options(kezo_stemmer PRIVATE -w)
    set_target_properties(kezo_stemmer PROPERTIES C_VISIBILITY_PRESET hidden)
    return()
endif()

find_path(KEZO_STEMMER_INCLUDE_DIR libstemmer.h)
find_library(KEZO_STEMMER_LIBRARY NAMES libstemmer.a stemmer)
if(NOT KEZO_STEMMER_INCLUDE_DIR OR NOT KEZO_STEMMER_LIBRARY)
    message(FATAL_ERROR "libstemmer not found: the keyphrase pipeline needs the Snowball stemmer "
        "library. Run scripts/setup.sh (it fetches the sources into third_party/libstemmer_c), "
        "point KEZO_STEMMER_SOURCE_DIR at a libstemmer_c folder, or install it (Debian/Ubuntu: "
        "apt-get install libstemmer-dev)")
endif()
if(NOT KEZO_STEMMER_LIBRARY MATCHES "\\.a$")
    message(WARNING "Only a shared libstemmer was found (${KEZO_STEMMER_LIBRARY}): the module "
        "will need it at run time")
endif()
add_library(kezo_stemmer INTERFACE)
target_include_directories(kezo_stemmer INTERFACE ${KEZO_STEMMER_INCLUDE_DIR})
target_link_libraries(kezo_stemmer INTERFACE ${KEZO_STEMMER_LIBRARY})

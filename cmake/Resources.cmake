# Bitmap resources: the resource script on Windows builds, byte arrays of the same BMP files natively.
# resources/VozuvAzirOVA.rc is the one list of ids and files; both ways read it.
# Run as a script (cmake -DOUT=file.cpp -P Resources.cmake) it writes the byte-array source file.

get_filename_component(VOZUV_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../resources ABSOLUTE)
set(_vozuv_rc ${VOZUV_RESOURCE_DIR}/VozuvAzirOVA.rc)

# The lines 'ID BITMAP "file"' of the resource script as two lists of the same length.
function(vozuv_read_bitmap_list ids_out files_out)
  set(pattern "^[ \t]*([0-9]+)[ \t]+BITMAP[ \t]+\"([^\"]+)\"")
  file(STRINGS ${_vozuv_rc} lines REGEX "${pattern}")
  set(ids "")
  set(files "")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "${pattern}" _ "${line}")
    list(APPEND ids ${CMAKE_MATCH_1})
    list(APPEND files ${VOZUV_RESOURCE_DIR}/${CMAKE_MATCH_2})
  endforeach()
  set(${ids_out} ${ids} PARENT_SCOPE)
  set(${files_out} ${files} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  vozuv_read_bitmap_list(ids files)
  set(arrays "")
  set(entries "")
  foreach(id file IN ZIP_LISTS ids files)
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "bitmap ${id}: ${file} is missing")
    endif()
    file(READ ${file} hex HEX)
    # 32 bytes a line, each byte as 0xNN.
    string(REGEX REPLACE "(................................................................)" "\\1\n  " hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
    string(APPEND arrays "const unsigned char bitmap${id}[] = {\n  ${hex}\n};\n")
    string(APPEND entries "    {${id}, bitmap${id}, sizeof bitmap${id}},\n")
  endforeach()
  file(WRITE ${OUT}
    "// Generated from resources/VozuvAzirOVA.rc by cmake/Resources.cmake: the bitmap files as byte arrays.\n"
    "#include \"resources/EmbeddedBitmaps.h\"\n\n"
    "namespace {\n${arrays}\n"
    "const EmbeddedBitmap bitmaps[] = {\n${entries}    {0, nullptr, 0},\n};\n"
    "}  // namespace\n\n"
    "const EmbeddedBitmap* findEmbeddedBitmap(int id) {\n"
    "    for (const EmbeddedBitmap* b = bitmaps; b->data; ++b) {\n"
    "        if (b->id == id) return b;\n"
    "    }\n"
    "    return nullptr;\n}\n")
  return()
endif()

vozuv_read_bitmap_list(_vozuv_bitmap_ids _vozuv_bitmap_files)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_vozuv_rc})

if(WIN32)
  # The DLL target (and any Windows test program that wants the bitmaps) lists this script among its sources.
  enable_language(RC)
  set(VOZUV_RESOURCE_SCRIPT ${_vozuv_rc})
  # windres looks for the files named in the script in its include directories.
  string(APPEND CMAKE_RC_FLAGS " -I \"${VOZUV_RESOURCE_DIR}\"")
  set_source_files_properties(${_vozuv_rc} PROPERTIES OBJECT_DEPENDS "${_vozuv_bitmap_files}")
else()
  set(VOZUV_RESOURCE_SCRIPT "")
  set(_vozuv_embedded ${CMAKE_BINARY_DIR}/resources/EmbeddedBitmaps.cpp)
  add_custom_command(OUTPUT ${_vozuv_embedded}
    COMMAND ${CMAKE_COMMAND} -DOUT=${_vozuv_embedded} -P ${CMAKE_CURRENT_LIST_FILE}
    DEPENDS ${_vozuv_bitmap_files} ${_vozuv_rc} ${CMAKE_CURRENT_LIST_FILE}
    COMMENT "Embedding the bitmap resources"
    VERBATIM)
  add_library(vozuv_resources STATIC ${_vozuv_embedded} ${VOZUV_RESOURCE_DIR}/EmbeddedBitmaps.h)
  target_include_directories(vozuv_resources PUBLIC ${CMAKE_SOURCE_DIR})
endif()

# Compiles files into a target as byte arrays, so the target never has to find them at run time.
#
# oivwintav_embed_files(target file...) defines, for each file, in a source generated at configure
# time:
#   extern const unsigned char oivwintav_embedded_<name>[];
#   extern const unsigned long oivwintav_embedded_<name>_size;
# where <name> is the file name with every character that is not a letter or digit replaced by
# '_' (resources/tracking_on.bmp gives oivwintav_embedded_tracking_on_bmp). A change to a file
# configures again.
function(oivwintav_embed_files target)
    foreach(file IN LISTS ARGN)
        get_filename_component(path ${file} ABSOLUTE)
        get_filename_component(name ${file} NAME)
        string(MAKE_C_IDENTIFIER "oivwintav_embedded_${name}" symbol)
        file(READ ${path} hex HEX)
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        set(source ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
        file(CONFIGURE OUTPUT ${source} CONTENT
"// Generated from ${name} by oivwintav_embed_files; do not edit.
extern const unsigned char ${symbol}[] = {${bytes}};
extern const unsigned long ${symbol}_size = sizeof ${symbol};
")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
        target_sources(${target} PRIVATE ${source})
    endforeach()
endfunction()

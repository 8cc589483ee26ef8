# Turns the calibration window's wiring diagrams (Windows bitmap files) into a C++ source that
# defines calibration::DiagramBitmap, so every toolkit's front end draws them from the same
# bytes without a resource system of its own. Run at build time:
#   cmake -DOUTPUT=<file.cpp> -DINPUTS=<a.bmp;b.bmp> -P EmbedDiagrams.cmake
# Each picture is named after its file without the extension ("input_diagram").
if(NOT OUTPUT OR NOT INPUTS)
    message(FATAL_ERROR "EmbedDiagrams: OUTPUT and INPUTS are required")
endif()

set(arrays "")
set(lookups "")
foreach(input IN LISTS INPUTS)
    get_filename_component(name ${input} NAME_WE)
    string(MAKE_C_IDENTIFIER "${name}" id)
    file(READ ${input} hex HEX)
    string(LENGTH "${hex}" digits)
    if(digits EQUAL 0)
        message(FATAL_ERROR "EmbedDiagrams: ${input} is empty")
    endif()
    # Sixteen bytes a line.
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
    string(APPEND arrays "constexpr std::uint8_t k_${id}[] = {\n    ${bytes}\n};\n\n")
    string(APPEND lookups "    if (pictureName == \"${name}\") {\n        return k_${id};\n    }\n")
endforeach()

file(CONFIGURE OUTPUT ${OUTPUT}.tmp CONTENT [[// Generated at build time from calibration/diagrams/*.bmp by cmake/EmbedDiagrams.cmake.
#include "calibration/diagram_bitmaps.h"

namespace calibration {

namespace {

@arrays@} // namespace

std::span<const std::uint8_t> DiagramBitmap(std::string_view pictureName) {
@lookups@    return {};
}

} // namespace calibration
]] @ONLY)
# Only a changed picture touches the source, so nothing recompiles needlessly.
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)

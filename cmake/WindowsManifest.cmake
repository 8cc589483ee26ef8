# lirat_windows_manifest(<target>): builds the tree's application manifest (cmake/lirat5.manifest:
# Windows 7 to 11, asInvoker, common controls 6, per-monitor DPI awareness) into a Windows
# program as its resource 1 of type RT_MANIFEST (24), where the loader looks for it. Nothing on
# other platforms.
set(LIRAT_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/lirat5.manifest CACHE INTERNAL "")

function(lirat_windows_manifest target)
    if(NOT WIN32)
        return()
    endif()
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
    file(CONFIGURE OUTPUT ${script} CONTENT "1 24 \"${LIRAT_MANIFEST}\"\n")
    target_sources(${target} PRIVATE ${script})
    set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${LIRAT_MANIFEST})
endfunction()

# The user manual: docs/manual.md converted by makemanual into
# "<resource directory>/Volantix Users Manual.pdf". Its pictures are the
# program's own (":/images/..."), so makemanual links the resource library.

set(VX_MANUAL_SOURCE ${PROJECT_SOURCE_DIR}/docs/manual.md)
set(VX_MANUAL_PDF "${VX_RESOURCE_DIR}/Volantix Users Manual.pdf")

add_executable(makemanual makemanual.cpp)
target_link_libraries(makemanual PRIVATE Qt5::Gui vxresources)
set_target_properties(makemanual PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools
                      AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

add_custom_command(
    OUTPUT ${VX_MANUAL_PDF}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:makemanual> --input ${VX_MANUAL_SOURCE} --output ${VX_MANUAL_PDF}
            --version ${PROJECT_VERSION}
    DEPENDS makemanual ${VX_MANUAL_SOURCE}
    COMMENT "Writing the user manual PDF"
    VERBATIM)
add_custom_target(vxmanual ALL DEPENDS ${VX_MANUAL_PDF})

# Geoid model. gtx2pgm converts the EGM96 15-minute grid of the proj-data
# package into GeographicLib's PGM geoid image, part of the default build.
# The converter is a build tool: it goes to <build>/tools, not beside the
# program.
set(VX_GEOID_GTX /usr/share/proj/egm96_15.gtx CACHE FILEPATH
    "EGM96 15-minute geoid grid in the GTX format (package proj-data)")
set(VX_GEOID_MODEL ${VX_RESOURCE_DIR}/geoid/egm96-15.pgm)

add_executable(gtx2pgm ${CMAKE_CURRENT_LIST_DIR}/gtx2pgm.cpp)
set_target_properties(gtx2pgm PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools
                      AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

add_custom_command(
    OUTPUT ${VX_GEOID_MODEL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_RESOURCE_DIR}/geoid
    COMMAND gtx2pgm ${VX_GEOID_GTX} ${VX_GEOID_MODEL}
    DEPENDS gtx2pgm ${VX_GEOID_GTX}
    COMMENT "Converting the EGM96 geoid grid to ${VX_GEOID_MODEL}"
    VERBATIM)
add_custom_target(geoid_model ALL DEPENDS ${VX_GEOID_MODEL})

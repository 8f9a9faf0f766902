# The program's pictures and sounds, drawn and synthesised by makeart at build
# time, and the resource library `vxresources` that carries the pictures
# (":/images/<name>.png"; link it into a program or into vxgui). The sounds
# go to the resource directory.
#
# VX_ART_IMAGES is the one list of picture names; makeart refuses to run when
# the pictures it draws differ from it, so the declared outputs stay exact.

set(VX_ART_IMAGES
    volantix_pro_splash volantix
    open_folder open_files export_csv export_gpx export_kml export_jpg export_png
    export_clip merge recenter preferences sync_lock24 sync_unlock24
    play pause previous_movie next_movie instant_replay geotag faster slower movie
    checkered_flag wrench14 settings24 trash disc_blue disc_green
    compass compass@2x phantom phantom@2x arrow arrow@2x left_arrow right_arrow
    meter-0 meter-1 meter-2 meter-3 meter-4 meter-5
    marker-0 marker-1 marker-2 marker-3 marker-4 marker-5 marker-6
    levels-1 levels-5 levels-10 levels-14)

set(VX_ART_DIR ${CMAKE_BINARY_DIR}/generated/art)
set(VX_ART_QRC ${VX_ART_DIR}/art.qrc)
set(VX_ART_SOUNDS ${VX_RESOURCE_DIR}/click.wav ${VX_RESOURCE_DIR}/boing.wav)
set(VX_ART_PNGS "")
foreach(name IN LISTS VX_ART_IMAGES)
    list(APPEND VX_ART_PNGS ${VX_ART_DIR}/images/${name}.png)
endforeach()
list(JOIN VX_ART_IMAGES "," VX_ART_NAMES)

add_executable(makeart
    makeart.cpp
    art/artkit.cpp art/artkit.h
    art/brand_art.cpp
    art/icons_toolbar.cpp
    art/icons_player.cpp
    art/dashboard_art.cpp
    art/map_art.cpp
    art/sounds.cpp art/sounds.h)
target_include_directories(makeart PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(makeart PRIVATE Qt5::Gui)
set_target_properties(makeart PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools
                      AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

add_custom_command(
    OUTPUT ${VX_ART_PNGS} ${VX_ART_QRC} ${VX_ART_SOUNDS}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:makeart> --images ${VX_ART_DIR}/images --qrc ${VX_ART_QRC}
            --sounds ${VX_RESOURCE_DIR} --expect ${VX_ART_NAMES}
    DEPENDS makeart
    COMMENT "Drawing the pictures and synthesising the sounds"
    VERBATIM)
add_custom_target(vxart ALL DEPENDS ${VX_ART_PNGS} ${VX_ART_QRC} ${VX_ART_SOUNDS})

# The resource list compiled by rcc into an object library, whose static
# initialiser registers the pictures in whatever links it. `vxresources`
# hands that object file on to every program that links it, directly or
# through a static library such as vxgui: an object inside a static archive
# would be dropped by the linker (nothing calls into it), and the program
# would start without its pictures.
add_custom_command(
    OUTPUT ${VX_ART_DIR}/qrc_art.cpp
    COMMAND Qt5::rcc --name art --output ${VX_ART_DIR}/qrc_art.cpp ${VX_ART_QRC}
    DEPENDS ${VX_ART_QRC} ${VX_ART_PNGS}
    COMMENT "Compiling the picture resources"
    VERBATIM)
add_library(vxresources_objects OBJECT ${VX_ART_DIR}/qrc_art.cpp)
set_source_files_properties(${VX_ART_DIR}/qrc_art.cpp PROPERTIES GENERATED TRUE SKIP_AUTOGEN TRUE)
set_target_properties(vxresources_objects PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_link_libraries(vxresources_objects PRIVATE Qt5::Core)
add_dependencies(vxresources_objects vxart)

add_library(vxresources INTERFACE)
target_link_libraries(vxresources INTERFACE Qt5::Core $<TARGET_OBJECTS:vxresources_objects>)
add_dependencies(vxresources vxresources_objects)

# The application icon for the desktop: drawn by makeart at each size of the
# hicolor icon theme into <build>/generated/icons/hicolor/<n>x<n>/apps,
# installed under share/icons (cmake/VolantixInstall.cmake).
set(VX_APP_ICON_SIZES 16 22 24 32 48 64 128 256 512)
set(VX_APP_ICONS "")
foreach(size IN LISTS VX_APP_ICON_SIZES)
    list(APPEND VX_APP_ICONS ${VX_APP_ICON_DIR}/${size}x${size}/apps/${VX_APP_ID}.png)
endforeach()
list(JOIN VX_APP_ICON_SIZES "," VX_APP_ICON_SIZE_LIST)
add_custom_command(
    OUTPUT ${VX_APP_ICONS}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:makeart> --app-icons ${VX_APP_ICON_DIR} --app-icon-name ${VX_APP_ID}
            --sizes ${VX_APP_ICON_SIZE_LIST}
    DEPENDS makeart
    COMMENT "Drawing the application icon for the desktop"
    VERBATIM)
add_custom_target(vxappicons ALL DEPENDS ${VX_APP_ICONS})

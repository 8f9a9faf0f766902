# The bundled sample flight: <build>/samples/flight holds three short movies
# made with ffmpeg and their sidecar telemetry (.SRT), generated once by
# make_sample_flight.py. The script also writes a manifest (start times,
# durations, UTC offsets, the faults it put in) that the tests read.
#
# The movies carry modification times from the day of the flight, older
# than the script, so they are declared as byproducts (Ninja then trusts its
# build log instead of their times); the .SRT files and the manifest, which
# the script writes last, are the outputs.

find_package(Python3 COMPONENTS Interpreter)
find_program(VX_FFMPEG_PROGRAM ffmpeg)

set(VX_SAMPLE_DIR ${CMAKE_BINARY_DIR}/samples/flight)
set(VX_SAMPLE_MANIFEST ${CMAKE_BINARY_DIR}/generated/sample_flight.json)

if(Python3_Interpreter_FOUND AND VX_FFMPEG_PROGRAM)
    set(VX_SAMPLE_MOVIES ${VX_SAMPLE_DIR}/DJI_0001.MOV ${VX_SAMPLE_DIR}/DJI_0002.MOV ${VX_SAMPLE_DIR}/DJI_0003.MOV)
    set(VX_SAMPLE_SRTS ${VX_SAMPLE_DIR}/DJI_0001.SRT ${VX_SAMPLE_DIR}/DJI_0002.SRT ${VX_SAMPLE_DIR}/DJI_0003.SRT)
    add_custom_command(
        OUTPUT ${VX_SAMPLE_SRTS} ${VX_SAMPLE_MANIFEST}
        BYPRODUCTS ${VX_SAMPLE_MOVIES}
        COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/make_sample_flight.py
                --out ${VX_SAMPLE_DIR} --manifest ${VX_SAMPLE_MANIFEST} --ffmpeg ${VX_FFMPEG_PROGRAM}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/make_sample_flight.py
        COMMENT "Making the sample flight"
        VERBATIM)
    add_custom_target(vxsample ALL DEPENDS ${VX_SAMPLE_SRTS} ${VX_SAMPLE_MANIFEST})
else()
    message(WARNING "Python 3 or ffmpeg not found: the sample flight is not made")
endif()

# The Sleuth Kit, which reads the file systems of mendarovel-image, linked from
# its static archive: the shared library links every disk-image format it
# knows and, through them, dozens of libraries (network and cryptography among
# them) that would cost each run megabytes, though the disk is handed to it
# from memory. image_tool/image_formats_left_out.cpp stands in for the formats.
find_path(MV_TSK_INCLUDE_DIR tsk/libtsk.h REQUIRED)
find_library(MV_TSK_ARCHIVE NAMES libtsk.a REQUIRED)
message(STATUS "The Sleuth Kit: ${MV_TSK_ARCHIVE}")

# The Windows binding has only its file for each shared header; kernel32 is
# linked by default, nothing else is needed.
set(MV_PLATFORM_SOURCES "")
set(MV_PLATFORM_LIBS "")

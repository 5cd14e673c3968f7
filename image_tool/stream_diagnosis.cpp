#include "image_tool/stream_diagnosis.h"

#include <zlib.h>

#include <array>

#include "console/console_log.h"

std::string DiagnoseCompressedData(const std::uint8_t* data, std::uint32_t size, std::uint32_t rawSize)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return "the compressed data could not be expanded (not enough memory)";
    // zlib only reads through next_in; its interface predates const.
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = size;
    std::array<Bytef, 16384> sink{};
    std::uint64_t expanded = 0;
    int result = Z_OK;
    // Counting stops just past the disk's size: the length is wrong by then,
    // and a stream built to expand without end must not keep us busy.
    while (result == Z_OK && expanded <= rawSize) {
        stream.next_out = sink.data();
        stream.avail_out = static_cast<uInt>(sink.size());
        result = inflate(&stream, Z_NO_FLUSH);
        expanded += sink.size() - stream.avail_out;
    }
    std::string why;
    if (expanded > rawSize)
        why = FormatText("the compressed data expands to more than the geometry's %u bytes", rawSize);
    else if (result == Z_STREAM_END && expanded != rawSize)
        why = FormatText("the compressed data expands to %u bytes, the geometry needs %u",
                         static_cast<unsigned>(expanded), rawSize);
    else if (result == Z_BUF_ERROR)
        why = "the compressed data ends early";
    else if (result != Z_STREAM_END)
        why = std::string("the compressed data is damaged (") + (stream.msg != nullptr ? stream.msg : zError(result)) +
              ")";
    else
        why = "the compressed data could not be expanded (not enough memory)";
    inflateEnd(&stream);
    return why;
}

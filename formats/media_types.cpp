#include "formats/media_types.h"

#include <array>

std::string DescribeMediaType(std::uint32_t mediaType)
{
    static constexpr std::array<const char*, 23> kDescriptions = {
        "Format is unknown.",
        "5.25\" floppy, 1.2MB and 512 bytes/sector.",
        "3.5\" floppy, 1.44MB and 512 bytes/sector.",
        "3.5\" floppy, 2.88MB and 512 bytes/sector.",
        "3.5\" floppy, 20.8MB and 512 bytes/sector.",
        "3.5\" floppy, 720KB and 512 bytes/sector.",
        "5.25\" floppy, 360KB and 512 bytes/sector.",
        "5.25\" floppy, 320KB and 512 bytes/sector.",
        "5.25\" floppy, 320KB and 1024 bytes/sector.",
        "5.25\" floppy, 180KB and 512 bytes/sector.",
        "5.25\" floppy, 160KB and 512 bytes/sector.",
        "Removable media other than floppy.",
        "Fixed hard disk media.",
        "3.5\" floppy, 120MB and 512 bytes/sector.",
        "3.5\" floppy, 640MB and 512 bytes/sector.",
        "5.25\" floppy, 640KB and 512 bytes/sector.",
        "5.25\" floppy, 720KB and 512 bytes/sector.",
        "3.5\" floppy, 1.2MB and 512 bytes/sector.",
        "3.5\" floppy, 1.23MB and 1024 bytes/sector.",
        "5.25\" floppy, 1.23MB and 1024 bytes/sector.",
        "3.5\" floppy, 128MB and 512 bytes/sector.",
        "3.5\" floppy, 230MB and 512 bytes/sector.",
        "An 8\" floppy, 256KB and 128 bytes/sector.",
    };
    return mediaType < kDescriptions.size() ? kDescriptions[mediaType] : kDescriptions[0];
}

#include "app/usage_text.h"

#include <string_view>

#include "platform/console.h"

namespace {

void Write(std::string_view text)
{
    platform::WriteStandardOutput(text.data(), text.size());
}

}  // namespace

void PrintBanner()
{
    Write("Mendarovel " MENDAROVEL_VERSION " for Console\n\n");
}

void PrintUsage()
{
    Write("\n"
          "Usage example 1: Mendarovel -i\n"
          "                 Creates a disk image file \"Image.dsk\" from the\n"
          "                 disk in drive a:.\n"
          "\n"
          "Usage example 2: Mendarovel -i -v B -f newimage.dsk\n"
          "                 Create a disk image file \"newimage.dsk\" from\n"
          "                 the disk in drive b:.\n"
          "\n"
          "Usage example 3: Mendarovel -d -f oldimage.dsk\n"
          "                 Writes the disk image file \"oldimage.dsk\" to the\n"
          "                 disk in drive a:.\n"
          "\n"
          "Switches:  -h Show this help message (optional)\n"
          "           -i Create a disk image file from a floppy disk (no use with -d)\n"
          "           -d Create a floppy disk from a disk image file (no use with -i)\n"
          "\n"
          "Arguments: -v volume        Volume can be A or B (default A)\n"
          "           -f filename      Name of the disk image file (default Image.dsk)\n"
          "\n");
}

#include "image_tool/library_lines.h"

#include "console/console_screen.h"

namespace {

void Drop(const char* /*data*/, std::size_t /*size*/) {}

}  // namespace

CQuietLibraryLines::CQuietLibraryLines()
{
    CConsoleScreen::Instance().SendLinesTo(Drop);
}

CQuietLibraryLines::~CQuietLibraryLines()
{
    CConsoleScreen::Instance().SendLinesTo(nullptr);
}

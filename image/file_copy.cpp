#include "image/file_copy.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kCopyBuffer = std::size_t{64} * 1024;

}  // namespace

void CopyFileBytes(CImageFile& from, std::uint64_t offset, std::uint64_t length, CImageFile& to)
{
    if (length == 0)
        return;
    from.Seek(static_cast<std::int64_t>(offset), platform::SeekOrigin::Begin);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyBuffer)));
    while (length > 0) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
        if (from.Read(buffer.data(), chunk) != chunk)
            throw ImageFileError("the file ended early");
        to.Write(buffer.data(), chunk);
        length -= chunk;
    }
}

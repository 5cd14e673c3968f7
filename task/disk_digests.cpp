#include "task/disk_digests.h"

#include <gcrypt.h>

#include "task/text_file.h"

namespace {

std::string Hexadecimal(const unsigned char* bytes, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

// The library must be initialised once before its first use; we need no
// secure memory, since no secret passes through it.
bool InitialiseLibrary()
{
    static const bool initialised = [] {
        if (gcry_check_version(GCRYPT_VERSION) == nullptr)
            return false;
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    return initialised;
}

std::string DigestOf(gcry_md_hd_t hash, int algorithm)
{
    return Hexadecimal(gcry_md_read(hash, algorithm), gcry_md_get_algo_dlen(algorithm));
}

}  // namespace

bool ComputeDiskDigests(const std::uint8_t* data, std::size_t size, DiskDigests& digests)
{
    gcry_md_hd_t hash = nullptr;
    if (!InitialiseLibrary() || gcry_md_open(&hash, GCRY_MD_MD5, 0) != 0)
        return false;
    const bool ready = gcry_md_enable(hash, GCRY_MD_SHA1) == 0 && gcry_md_enable(hash, GCRY_MD_SHA256) == 0 &&
                       gcry_md_enable(hash, GCRY_MD_SHA512) == 0;
    if (ready) {
        gcry_md_write(hash, data, size);
        digests.md5 = DigestOf(hash, GCRY_MD_MD5);
        digests.sha1 = DigestOf(hash, GCRY_MD_SHA1);
        digests.sha256 = DigestOf(hash, GCRY_MD_SHA256);
        digests.sha512 = DigestOf(hash, GCRY_MD_SHA512);
    }
    gcry_md_close(hash);
    return ready;
}

bool ComputeFileSha256(const std::string& path, std::string& sha256)
{
    gcry_md_hd_t hash = nullptr;
    if (!InitialiseLibrary() || gcry_md_open(&hash, GCRY_MD_SHA256, 0) != 0)
        return false;
    const bool read = ReadInBlocks(path, [hash](const char* block, std::size_t size) {
        gcry_md_write(hash, block, size);
        return true;
    });
    if (read)
        sha256 = DigestOf(hash, GCRY_MD_SHA256);
    gcry_md_close(hash);
    return read;
}

// The Sleuth Kit's image opener names every disk-image format the library
// knows, so linking it would link each format's library too. This program
// hands it the raw disk from memory and opens no image file through it: these
// take the formats' place, and refuse.
#include <tsk/libtsk.h>

extern "C" {

TSK_IMG_INFO* aff_open(const TSK_TCHAR* const[] /*images*/, unsigned int /*sectorSize*/)
{
    return nullptr;
}

TSK_IMG_INFO* ewf_open(int /*count*/, const TSK_TCHAR* const[] /*images*/, unsigned int /*sectorSize*/)
{
    return nullptr;
}

TSK_IMG_INFO* vhdi_open(int /*count*/, const TSK_TCHAR* const[] /*images*/, unsigned int /*sectorSize*/)
{
    return nullptr;
}

TSK_IMG_INFO* vmdk_open(int /*count*/, const TSK_TCHAR* const[] /*images*/, unsigned int /*sectorSize*/)
{
    return nullptr;
}

}  // extern "C"

#pragma once

#include <cstdint>
#include <vector>

#include "formats/disk_geometry.h"

// The good sectors that show whether an inserted disk is the one an image
// was made of, before its listed (unreadable) sectors are rescued from it.
// `data` is the image's raw disk, `listed` its sorted unreadable sectors.
//
// Only sectors whose contents are not one byte value repeated count: a
// blank or freshly formatted sector is the same on every disk of a format.
// Taken are every such sector on the cylinders that hold listed sectors and
// on the cylinders beside them, where the rescued data will sit, and at
// least kSpreadSectors of them spread evenly over the whole disk (all of them
// where the image holds fewer), so that copies of one master or one
// formatting template that share a few sectors are told apart. Where the
// image holds no such sector at all, its first good sector stands in.
// Linear sector indexes, ascending.
std::vector<std::uint32_t> IdentitySample(const DiskGeometry& geometry, const std::uint8_t* data,
                                          const std::vector<std::uint32_t>& listed);

constexpr std::size_t kSpreadSectors = 32;

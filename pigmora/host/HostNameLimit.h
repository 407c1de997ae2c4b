#pragma once

#include <cstddef>

#include <Interchange/IEImage.h>
#include <Interchange/IEMaterial.h>

namespace pigmora {

// The longest group or material name and image path the host keeps: what the
// interchange records between host and plug-in hold, without the terminator.
constexpr std::size_t kHostNameLimit = sizeof(IEImage::path) - 1;
static_assert(sizeof(IEMaterial::name) - 1 == kHostNameLimit, "names and paths share one limit");

}  // namespace pigmora

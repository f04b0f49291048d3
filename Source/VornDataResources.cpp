#include "Source/VornDataResources.h"

#include "host/components/graphics/Resources.h"

namespace vorn {

namespace {

void RegisterBitmapOnce(const char* Name, std::vector<std::uint8_t> (*Bytes)()) {
    if (FindResource(VornDataModuleName, Name, RT_BITMAP))
        return;
    RegisterResource(VornDataModuleName, Name, RT_BITMAP, Bytes());
}

} // namespace

void RegisterVornDataResources() {
    RegisterBitmapOnce("DELETEFILTERROW", &DeleteFilterRowBitmapBytes);
}

void UnregisterVornDataResources() {
    UnregisterModuleResources(VornDataModuleName);
}

} // namespace vorn

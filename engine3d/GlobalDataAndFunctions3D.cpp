#include "engine3d/GlobalDataAndFunctions3D.h"

#include "engine3d/Object3D.h"

#include <utility>

namespace oz {

std::vector<ObjectData> Data;
std::int16_t DataCount = 0;

ObjectData& DataSlot(std::int16_t index) {
    return Data[index - 1];
}

void CopyObjectData(const Object3D& Source, const Object3D& Dest) {
    // Copy first, so a failed copy leaves the destination as it was.
    ObjectData copy = DataSlot(Source.DataIndex);
    DataSlot(Dest.DataIndex) = std::move(copy);
}

} // namespace oz

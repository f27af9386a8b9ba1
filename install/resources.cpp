#include "install/resources.h"

#include "SYS/textcodec.h"

namespace inst {

bool FindResource(int id, const std::string& type, ResourceData* out) {
    for (size_t i = 0; i < kResourceCount; ++i) {
        const ResourceEntry& entry = kResources[i];
        if (entry.id == id && sys::EqualIgnoringCase(entry.type, type)) {
            out->data = entry.data;
            out->size = entry.size;
            return true;
        }
    }
    return false;
}

} // namespace inst

#include "host/HostRegistry.h"

namespace HostRegistry {

std::vector<Item>& Entries() {
    static std::vector<Item> v;
    return v;
}

std::vector<Item>& Lookups() {
    static std::vector<Item> v;
    return v;
}

}  // namespace HostRegistry

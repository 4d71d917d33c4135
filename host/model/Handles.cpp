#include "model/Handles.h"

#include <atomic>

namespace host::model {

std::uint64_t nextHandleValue() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

}  // namespace host::model

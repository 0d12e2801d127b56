// The stored field structure split into the codes the window looks up.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "window/field_structure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string structure(reinterpret_cast<const char*>(data), size);
    auto codes = dravel::SplitStructure(structure);
    // Every character lands in exactly one code, in order; only the last may be short.
    std::string joined;
    for (size_t i = 0; i < codes.size(); ++i) {
        FUZZ_CHECK(!codes[i].empty());
        FUZZ_CHECK(codes[i].size() == dravel::kCodeLength || i + 1 == codes.size());
        joined += codes[i];
    }
    FUZZ_CHECK(joined == structure);
    return 0;
}

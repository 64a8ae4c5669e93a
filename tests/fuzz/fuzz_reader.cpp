// libFuzzer target: any bytes as the contents of one data file. The build
// makes one target per reader: READER_CHECK names the check of
// reader_checks.hpp, READER_FILE the file it reads.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reader_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string fault = reader_checks::READER_CHECK(bytes);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s reader: %s\n", READER_FILE, fault.c_str());
        std::abort();
    }
    return 0;
}

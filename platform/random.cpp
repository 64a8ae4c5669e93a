#include "platform/random.hpp"

namespace platform {

Random& programRandom() {
    static Random random;
    return random;
}

}  // namespace platform

#include "common/globals.h"

namespace kelo {

GlobalValues &Globals() {
    static GlobalValues values;
    return values;
}

} // namespace kelo

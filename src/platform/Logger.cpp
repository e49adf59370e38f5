#include "platform/Logger.h"

namespace vantorel {

const char* toString(LogLevel level) {
    switch (level) {
        case LogLevel::debug:
            return "debug";
        case LogLevel::info:
            return "info";
        case LogLevel::error:
            return "error";
    }
    return "?";
}

}  // namespace vantorel

#pragma once

#include <memory>

#include "platform/ScreenCapture.h"
#include "windows/StreamOutput.h"

namespace vantorel {

// One running live stream and its receiver, which lives exactly as long as the stream is kept.
struct LiveCapture {
    std::shared_ptr<CaptureStream> stream;
    std::shared_ptr<StreamOutput> output;
};

}  // namespace vantorel

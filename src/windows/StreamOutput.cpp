#include "windows/StreamOutput.h"

namespace vantorel {

void StreamOutput::stream(const SampleBuffer& buffer, StreamOutputType type) const {
    if (type != StreamOutputType::screen || !buffer.isValid || !buffer.imageBuffer) return;
    ImageRef image = convert(buffer.imageBuffer);
    if (!image) return;
    main_->post([onFrame = onFrame_, image = std::move(image)] {
        if (*onFrame) (*onFrame)(image);
    });
}

SampleHandler StreamOutput::handler(const std::shared_ptr<StreamOutput>& output) {
    return [weak = std::weak_ptr<StreamOutput>(output)](const SampleBuffer& buffer,
                                                        StreamOutputType type) {
        if (auto receiver = weak.lock()) receiver->stream(buffer, type);
    };
}

ImageRef StreamOutput::convert(const ImageRef& imageBuffer) {
    return imageBuffer->isValid() ? imageBuffer : nullptr;
}

}  // namespace vantorel

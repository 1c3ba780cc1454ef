#include "resource/Stream.h"

#include "core/EventObject.h"
#include "platform/Platform.h"
#include "services/HostServices.h"

namespace qx {

Stream::Stream() {
    table_.addInterface(kIListenerName, static_cast<IListener*>(this));
    table_.addInterface(kIStreamName, static_cast<IStream*>(this));
}

void Stream::attach(InterfaceTable* reader) {
    reader_ = reader;
    readerStream_ =
        reader != nullptr ? static_cast<IStream*>(reader->getInterface(kIStreamName)) : nullptr;
}

std::int32_t Stream::handleEvent(Event* event) {
    if (event != nullptr) {
        // Only the completion kinds carry a payload; other events may be smaller.
        auto payload = [event] { return static_cast<ReadCompletionEvent*>(event)->payload; };
        switch (event->type) {
        case kReadDone:
        case kReadDoneAlt:
            pending_ = 0;
            result_ = 1;
            break;
        case kReadProgress: break;
        case kReadOutOfData:
            platform::debugOutput("revc outofdata");
            pending_ = 0;
            result_ = payload();
            break;
        case kReadCount:
        case kReadFailed:
            pending_ = 0;
            result_ = payload();
            break;
        default: break;
        }
    }
    destroyEvent(event);
    return 1;
}

std::int32_t Stream::status() { return 0; }

std::int32_t Stream::control(std::int32_t operation, void* argument) {
    return readerStream_ != nullptr ? readerStream_->control(operation, argument) : 0;
}

std::int32_t Stream::waitForCompletion() {
    pending_ = 1;
    // Without a host nothing could ever deliver the completion.
    while (pending_ != 0 && moduleState().host != nullptr) {
        hostProcessEvents();
    }
    if (pending_ != 0) {
        pending_ = 0;
        return 0;
    }
    return result_;
}

} // namespace qx

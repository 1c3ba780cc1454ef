#include "resource/ReadStream.h"

#include "services/HostServices.h"

namespace qx {

ReadStream::ReadStream(InterfaceTable* reader) {
    table().addInterface(kIReadName, static_cast<IRead*>(this));
    attach(reader);
}

void ReadStream::attach(InterfaceTable* reader) {
    Stream::attach(reader);
    if (reader == nullptr) {
        return;
    }
    syncReader_ = static_cast<IRead*>(reader->getInterface(kIReadName));
    asyncReader_ = static_cast<IASyncRead*>(reader->getInterface(kIASyncReadName));
    seekable_ = static_cast<ISeekable*>(reader->getInterface(kISeekableName));
    // Whoever looks up "ISeekable" on the stream reaches the reader's own interface.
    if (seekable_ != nullptr) {
        table().addInterface(kISeekableName, seekable_);
    }
}

std::int32_t ReadStream::read(void* buffer, std::int32_t size) {
    if (syncReader_ != nullptr) {
        return syncReader_->read(buffer, size);
    }
    if (asyncReader_ == nullptr) {
        return 0;
    }
    if (isPending()) {
        hostLog(kLogTrace, "blocking read emulation already in progress\n");
        return 0;
    }
    hostLog(kLogTrace, "emulating blocking read\n");
    asyncReader_->readAsync(buffer, size, static_cast<IListener*>(this));
    return waitForCompletion();
}

} // namespace qx

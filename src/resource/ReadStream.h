// resource/: the resource tree's directories (declared in qx/resources.h), the streams they
// read through, and the reader of the "choice" folder's values, which host tools share.
// Includes core/, platform/, services/ and the contract.
//
// A stream over an archive's reader that always reads blocking, also when the reader can
// only read asynchronously.
#pragma once

#include "resource/Stream.h"

namespace qx {

class ReadStream final : public Stream, public IRead {
public:
    // The reader stays the archive's; the directory gives it back when the stream closes.
    explicit ReadStream(InterfaceTable* reader);
    ~ReadStream() = default;

    // Blocking for every reader: an asynchronous one is waited for in the host's event
    // processing. A read re-entered during that wait answers 0.
    std::int32_t read(void* buffer, std::int32_t size) override;
    std::int32_t isAsynchronous() override { return asyncReader_ != nullptr ? 1 : 0; }

private:
    void attach(InterfaceTable* reader);

    IRead* syncReader_ = nullptr;
    IASyncRead* asyncReader_ = nullptr;
    ISeekable* seekable_ = nullptr;
};

} // namespace qx

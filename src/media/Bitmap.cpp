#include "qx/bitmap.h"

#include "services/HostServices.h"

namespace qx {

namespace {
constexpr const char* kDefaultFactory = "vanillaimage";

BitmapDescription emptyDescription() {
    BitmapDescription empty{};
    empty.resource.type = atomOf("none");
    return empty;
}

// Looked up afresh every time: the host may change the setting between two pictures.
IBitmapFactory* findFactory() {
    const char* name = findSetting("DefaultBitmapFactory");
    auto* factory = static_cast<IBitmapFactory*>(
        hostFindInterface(name != nullptr ? name : kDefaultFactory, kIBitmapFactoryName));
    if (factory == nullptr) {
        hostLog(kLogError, "Bitmap: No BitmapFactory found.");
    }
    return factory;
}
} // namespace

Bitmap::Bitmap(BitmapDescription* source) : description(emptyDescription()) {
    factory = findFactory();
    if (source == nullptr) {
        return;
    }
    if (source->flags == 0) {
        source->flags = 1;
    }
    description = *source;
    if (factory == nullptr) {
        return;
    }
    object = factory->create(source);
    if (object == nullptr) {
        hostLog(kLogError, "Bitmap: BitmapFactory is unable to create bitmap.");
        return;
    }
    bitmap = static_cast<IBitmap*>(object->getInterface(kIBitmapName));
    if (bitmap == nullptr) {
        hostLog(kLogError, "Bitmap: Bitmap has no IBitmap.");
        return;
    }
    conversion = static_cast<IBitmapConversion*>(object->getInterface(kIBitmapConversionName));
}

Bitmap::~Bitmap() {
    // Also after a failed create: the factory is handed the null object it answered.
    if (factory != nullptr) {
        factory->destroy(object);
    }
}

std::int32_t Bitmap::load(IRead* stream) { return bitmap != nullptr ? bitmap->load(stream) : 0; }

RowBlock* Bitmap::lockRows(std::int32_t first, std::int32_t last) {
    return bitmap != nullptr ? bitmap->lockRows(first, last) : nullptr;
}

void Bitmap::unlockRows(RowBlock* block) {
    if (bitmap != nullptr) {
        bitmap->unlockRows(block);
    }
}

std::int32_t Bitmap::convert(const BitmapDescription* wanted) {
    if (conversion == nullptr || wanted == nullptr) {
        return 0;
    }
    const std::int32_t answer = conversion->convert(wanted);
    if (answer != 0) {
        description = *wanted;
    }
    return answer;
}

} // namespace qx

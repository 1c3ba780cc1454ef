#include "visual/ImageElement.h"

#include "core/Memory.h"
#include "platform/Platform.h"
#include "resource/ReadStream.h"
#include "services/HostServices.h"

namespace qx {

namespace {
std::int32_t millisecondsSince(std::uint32_t start) {
    return static_cast<std::int32_t>(platform::tickCount() - start);
}
} // namespace

ImageElement::ImageElement(ResourceEntry* entry) : resource(entry), description{} {
    description.resource.type = atomOf("none");
    ResourceDirectory* directory = entry != nullptr ? entry->parent : nullptr;
    if (directory != nullptr) {
        resourceDescription = reinterpret_cast<BitmapDescription*>(directory->entryHandle(entry));
    }
    if (resourceDescription != nullptr) {
        description = *resourceDescription;
    }

    const char* label = entry != nullptr && entry->description != nullptr ? entry->description : "";
    hostLog(kLogTrace, "!Timeing: Picture %s\n", label);
    const std::uint32_t loadStart = platform::tickCount();
    ReadStream* stream =
        directory != nullptr
            ? directory->openStream(entry, reinterpret_cast<Handle>(resourceDescription))
            : nullptr;
    bitmap = new (fallible) Bitmap(resourceDescription);
    if (bitmap != nullptr) {
        bitmap->load(stream != nullptr ? static_cast<IRead*>(stream) : nullptr);
    }
    if (stream != nullptr) {
        directory->closeStream(stream);
    }
    hostLog(kLogTrace, "!Timeing: load: %d\n", millisecondsSince(loadStart));

    if (description.bitsPerPixel != 8) {
        const std::uint32_t conversionStart = platform::tickCount();
        convertToScreenFormat();
        hostLog(kLogTrace, "!Timeing: conversion: %d\n", millisecondsSince(conversionStart));
    }
    position = Point(0, 0);
}

ImageElement::~ImageElement() { delete bitmap; }

void ImageElement::convertToScreenFormat() {
    const std::uint32_t screen = atomOf("-rrrrrgggggbbbbb");
    if (bitmap == nullptr || (description.format == screen && description.bitsPerPixel == 16)) {
        return;
    }
    BitmapDescription wanted = description;
    wanted.bitsPerPixel = 16;
    wanted.format = screen;
    if (bitmap->convert(&wanted) != 0) {
        description = wanted;
    }
}

void ImageElement::matchCanvasFormat(const Canvas* canvas) {
    if (bitmap == nullptr || (canvas->pixelFormat() == description.format &&
                              canvas->depth() == description.bitsPerPixel)) {
        return;
    }
    description.bitsPerPixel = canvas->depth();
    description.format = canvas->pixelFormat();
    bitmap->convert(&description);
}

void ImageElement::draw(Canvas* canvas) {
    if (canvas == nullptr) {
        return;
    }
    matchCanvasFormat(canvas);
    canvas->drawBitmap(position.x, position.y, bitmap);
}

Rect ImageElement::bounds() {
    return Rect(position.x, position.y, description.width, description.height);
}

} // namespace qx

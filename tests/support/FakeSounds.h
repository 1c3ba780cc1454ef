// A sound system that plays until stopped; the finished message then comes through the
// host's event loop to the listener given to play.
#pragma once

#include <memory>
#include <vector>

#include "core/EventObject.h"
#include "qx/sound.h"
#include "runtime/Host.h"

namespace qxtest {

class Finished final : public qx::EventObject<Finished, qx::SoundFinishedEvent> {};

class OtherSoundMessage final : public qx::EventObject<OtherSoundMessage> {
public:
    OtherSoundMessage() : EventObject(0x50002u, "Sound::other") {}
};

struct FakeSoundSystem final : public qx::ISoundFactory {
    struct Voice final : public qx::ISound, public qx::IPreloadSound {
        Voice(qxhost::Host* h, bool r) : host(h), refuse(r) {}
        std::int32_t unused1() override { return 0; }
        std::int32_t unused2() override { return 0; }
        std::int32_t stop() override {
            ++stops;
            host->post(new Finished, listener);
            return 1;
        }
        std::int32_t preload(qx::IRead* stream) override {
            data.resize(8);
            data.resize(stream != nullptr ? static_cast<std::size_t>(stream->read(data.data(), 8))
                                          : 0);
            return data.empty() ? 0 : 1;
        }
        void unload() override {}
        qx::Handle play(qx::IListener* to, qx::IReferenceCount*) override {
            listener = to;
            return refuse ? 0 : 42;
        }
        qxhost::Host* host;
        bool refuse;
        qx::InterfaceTable table;
        qx::IListener* listener = nullptr;
        std::vector<std::uint8_t> data;
        int stops = 0;
    };

    explicit FakeSoundSystem(qxhost::Host& h) : host(h), table("soundsystem") {
        table.addInterface(qx::kISoundFactoryName, static_cast<qx::ISoundFactory*>(this));
    }
    qx::InterfaceTable* create(qx::SoundDescription*) override {
        auto& v = *voices.emplace_back(new Voice(&host, refusePlay));
        v.table.addInterface(qx::kISoundName, static_cast<qx::ISound*>(&v));
        if (preloadable) {
            v.table.addInterface(qx::kIPreloadSoundName, static_cast<qx::IPreloadSound*>(&v));
        }
        return &v.table;
    }
    void destroy(qx::InterfaceTable*) override { ++destroyed; }

    qxhost::Host& host;
    qx::InterfaceTable table;
    std::vector<std::unique_ptr<Voice>> voices;
    bool preloadable = true;
    bool refusePlay = false;
    int destroyed = 0;
};

} // namespace qxtest

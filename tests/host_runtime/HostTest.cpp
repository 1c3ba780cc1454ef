#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "qx/scene.h"
#include "runtime/Host.h"
#include "services/HostServices.h"

namespace {

TEST(Host, ClockLogAndSettingsReachTheModuleThroughItsFacade) {
    qxhost::Host host;
    EXPECT_FALSE(host.clock().isManual());
    host.clock().set(500);
    host.clock().advance(250);
    EXPECT_EQ(qx::hostTime(), 750);

    qx::hostLog(1, "missing resource:<<%s>>\n", "qmark.png/image");
    EXPECT_TRUE(host.log().contains(1, "missing resource:<<qmark.png/image>>\n"));
    EXPECT_FALSE(host.log().contains(3, "missing resource:<<qmark.png/image>>\n"));
    // The host sees the format and every value as given, and formats them without a limit.
    const std::string huge(5000, 'x');
    void* pointer = &host;
    char shown[32];
    std::snprintf(shown, sizeof shown, "%p", pointer);
    qx::hostLog(3, "%s|%5.2f|%p|%*d|%%|%lld\n", huge.c_str(), 1.5, pointer, 3, 7, 1LL << 40);
    const qxhost::LogLine& line = host.log().lines().back();
    EXPECT_FALSE(line.byHost);
    EXPECT_EQ(line.format, "%s|%5.2f|%p|%*d|%%|%lld\n");
    EXPECT_EQ(line.values,
              (std::vector<std::string>{huge, " 1.50", shown, "3", "7", "1099511627776"}));
    EXPECT_EQ(line.message, huge + "| 1.50|" + shown + "|  7|%|1099511627776\n");
    host.report(3, "host %d", 1);
    EXPECT_TRUE(host.log().lines().back().byHost);

    host.setSetting("DefaultBitmapFactory", "bitmaps");
    host.setSetting("Other", "1");
    EXPECT_EQ(qx::findSetting("defaultbitmapfactory"), nullptr);
    EXPECT_EQ(qx::findSetting("DefaultBitmap"), nullptr);
    // Replacing keeps one node, so a module's walk finds the new value first and only.
    host.setSetting("DefaultBitmapFactory", "other bitmaps");
    EXPECT_STREQ(qx::findSetting("DefaultBitmapFactory"), "other bitmaps");
    int nodes = 0;
    for (const qx::SettingsNode* node = *host.settings(); node != nullptr; node = node->next) {
        ++nodes;
    }
    EXPECT_EQ(nodes, 2);
}

TEST(Host, AtomsAreCaseSensitiveAndTheirNamesStayPut) {
    qxhost::Host host;
    qx::IAtomTable* atoms = host.atomTable();
    const std::uint32_t image = qx::atomOf("image");
    EXPECT_NE(atoms->identifierOf("IMAGE"), image);
    EXPECT_EQ(atoms->identifierOf(nullptr), 0u);
    // Modules keep the strings nameOf gives them; growth must not move them.
    const char* name = atoms->nameOf(image);
    for (int i = 0; i < 2000; ++i) {
        atoms->identifierOf(("name" + std::to_string(i)).c_str());
    }
    EXPECT_EQ(qx::atomName(image), name);
    EXPECT_STREQ(name, "image");
    EXPECT_STREQ(atoms->nameOf(atoms->identifierOf("name1999")), "name1999");
    EXPECT_EQ(atoms->nameOf(999999), nullptr);
}

TEST(Host, FindInterfaceSearchesByInterfaceAndObjectWithoutMovingTheCursor) {
    qxhost::Host host;
    int first = 0;
    int second = 0;
    qx::InterfaceTable producer("producer");
    qx::InterfaceTable other("other");
    producer.addInterface(qx::kIQXProducerName, &first);
    other.addInterface(qx::kIQXProducerName, &second);
    qx::InterfaceTable holder("holder");
    holder.addInterface("IEmpty", nullptr);
    EXPECT_EQ(host.findInterface(nullptr, "iqxproducer"), &second);
    EXPECT_EQ(qx::hostFindInterface("PRODUCER", qx::kIQXProducerName), &first);
    EXPECT_EQ(host.findInterface("nobody", qx::kIQXProducerName), nullptr);
    EXPECT_EQ(host.findInterface(nullptr, "IEmpty"), nullptr);
    // A module enumeration in progress is not disturbed by the host's lookups.
    qx::InterfaceRegistry* registry = host.interfaceRegistry();
    EXPECT_EQ(qx::findNext(registry, qx::kIQXProducerName), &second);
    host.findInterface(nullptr, qx::kIQXProducerName);
    EXPECT_EQ(qx::findNext(registry, qx::kIQXProducerName), &first);
}

TEST(Host, TheModuleFacadeForgetsAGoneHost) {
    {
        qxhost::Host host;
        EXPECT_EQ(qx::moduleState().registry, host.interfaceRegistry());
    }
    EXPECT_EQ(qx::moduleState().host, nullptr);
    // Calls through an unbound facade do nothing rather than crash.
    qx::hostLog(1, "nobody listens\n");
    qx::hostProcessEvents();
    EXPECT_EQ(qx::hostTime(), 0);
    EXPECT_EQ(qx::findSetting("x"), nullptr);
    EXPECT_EQ(qx::atomOf("x"), 0u);
}

} // namespace

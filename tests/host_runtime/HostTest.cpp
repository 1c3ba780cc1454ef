#include <gtest/gtest.h>

#include <string>

#include "module/HostServices.h"
#include "runtime/Host.h"

namespace {

TEST(HostClock, FollowsRealTimeUntilDrivenByHand) {
    qxhost::Host host;
    qxhost::Clock& clock = host.clock();
    EXPECT_FALSE(clock.isManual());
    const std::int32_t first = clock.now();
    EXPECT_GE(first, 0);
    EXPECT_GE(clock.now(), first);

    clock.set(500);
    EXPECT_TRUE(clock.isManual());
    EXPECT_EQ(clock.now(), 500);
    EXPECT_EQ(clock.now(), 500);
    clock.advance(250);
    EXPECT_EQ(host.currentTime(), 750);
    // The module sees the same clock through its facade.
    EXPECT_EQ(qx::hostTime(), 750);
}

TEST(HostAtomTable, EqualNamesShareAnIdentifierAndNamesStayPut) {
    qxhost::Host host;
    qx::IAtomTable* atoms = host.atomTable();
    const std::uint32_t image = atoms->identifierOf("image");
    EXPECT_NE(image, 0u);
    EXPECT_EQ(atoms->identifierOf("image"), image);
    EXPECT_NE(atoms->identifierOf("none"), image);
    EXPECT_NE(atoms->identifierOf("IMAGE"), image);
    EXPECT_EQ(atoms->identifierOf(nullptr), 0u);

    const char* name = atoms->nameOf(image);
    ASSERT_NE(name, nullptr);
    for (int i = 0; i < 2000; ++i) {
        atoms->identifierOf(("name" + std::to_string(i)).c_str());
    }
    // Modules keep the strings nameOf gives them; growth must not move them.
    EXPECT_EQ(atoms->nameOf(image), name);
    EXPECT_STREQ(name, "image");
    EXPECT_STREQ(atoms->nameOf(atoms->identifierOf("name1999")), "name1999");
    EXPECT_EQ(atoms->nameOf(0), nullptr);
    EXPECT_EQ(atoms->nameOf(999999), nullptr);
    EXPECT_EQ(qx::atomOf("image"), image);
    EXPECT_STREQ(qx::atomName(image), "image");
}

TEST(HostLog, RecordsFormattedLinesWithTheirLevels) {
    qxhost::Host host;
    std::vector<std::string> seen;
    host.log().setObserver([&](const qxhost::LogLine& line) { seen.push_back(line.message); });

    host.log(3, "cannot get %s (%d)\n", "IBitmapFactory", 7);
    qx::hostLog(1, "missing resource:<<%s>>\n", "qmark.png/image");
    EXPECT_TRUE(host.log().contains(3, "cannot get IBitmapFactory (7)\n"));
    EXPECT_FALSE(host.log().contains(1, "cannot get IBitmapFactory (7)\n"));
    EXPECT_TRUE(host.log().contains(1, "missing resource:<<qmark.png/image>>\n"));
    EXPECT_EQ(seen.size(), 2u);

    // An oversized message is cut, not written past the buffer.
    const std::string huge(5000, 'x');
    host.log(1, "%s", huge.c_str());
    EXPECT_LT(host.log().lines().back().message.size(), huge.size());
    EXPECT_EQ(host.log().count("missing resource:<<qmark.png/image>>\n"), 1u);

    host.log().clear();
    EXPECT_TRUE(host.log().lines().empty());
}

TEST(HostSettings, ModulesFindValuesByExactName) {
    qxhost::Host host;
    EXPECT_EQ(qx::findSetting("DefaultBitmapFactory"), nullptr);
    host.setSetting("DefaultBitmapFactory", "bitmaps");
    host.setSetting("Other", "1");
    EXPECT_STREQ(qx::findSetting("DefaultBitmapFactory"), "bitmaps");
    EXPECT_STREQ(qx::findSetting("Other"), "1");
    EXPECT_EQ(qx::findSetting("defaultbitmapfactory"), nullptr);
    EXPECT_EQ(qx::findSetting("DefaultBitmap"), nullptr);

    // Replacing keeps one node, so a module's walk finds the new value first and only.
    host.setSetting("DefaultBitmapFactory", "other bitmaps");
    EXPECT_STREQ(qx::findSetting("DefaultBitmapFactory"), "other bitmaps");
    EXPECT_STREQ(host.setting("DefaultBitmapFactory"), "other bitmaps");
    int nodes = 0;
    for (const qx::SettingsNode* node = *host.settings(); node != nullptr; node = node->next) {
        ++nodes;
    }
    EXPECT_EQ(nodes, 2);
}

TEST(HostFindInterface, SearchesByInterfaceAndOptionallyObjectWithoutMovingTheCursor) {
    qxhost::Host host;
    int first = 0;
    int second = 0;
    qx::InterfaceTable producer("producer");
    qx::InterfaceTable other("other");
    producer.addInterface("IQXProducer", &first);
    other.addInterface("IQXProducer", &second);
    qx::InterfaceTable holder("holder");
    holder.addInterface("IEmpty", nullptr);

    EXPECT_EQ(host.findInterface(nullptr, "iqxproducer"), &second);
    EXPECT_EQ(host.findInterface("PRODUCER", "IQXProducer"), &first);
    EXPECT_EQ(host.findInterface("nobody", "IQXProducer"), nullptr);
    EXPECT_EQ(host.findInterface(nullptr, "IEmpty"), nullptr);
    EXPECT_EQ(qx::hostFindInterface("producer", "IQXProducer"), &first);

    // A module enumeration in progress is not disturbed by the host's lookups.
    qx::InterfaceRegistry* registry = host.interfaceRegistry();
    EXPECT_EQ(qx::findNext(registry, "IQXProducer"), &second);
    host.findInterface(nullptr, "IQXProducer");
    EXPECT_EQ(qx::findNext(registry, "IQXProducer"), &first);
}

TEST(HostBinding, TheModuleFacadeFollowsTheLatestHostAndForgetsAGoneOne) {
    {
        qxhost::Host host;
        EXPECT_EQ(qx::moduleState().host, &host);
        EXPECT_EQ(qx::moduleState().registry, host.interfaceRegistry());
        EXPECT_EQ(qx::moduleState().atoms, host.atomTable());
        EXPECT_EQ(qx::moduleState().settings, host.settings());
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

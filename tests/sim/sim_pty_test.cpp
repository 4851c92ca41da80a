#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "history.h"
#include "record_generator.h"
#include "sim_process.h"
#include "simulator.h"
#include "version.h"

namespace {

using std::chrono::milliseconds;

const std::string kAck = "\x06";
const std::string kCan = "\x18";

std::string Framed(const std::string& body) {
    return "\x02" + body + "\x03";
}

std::string TempPath(const std::string& name) {
    return testing::TempDir() + name + "." + std::to_string(::getpid());
}

TEST(SimOverPty, PacedUploadSendsTheGeneratedHistoryThenNothing) {
    SimProcess sim({"--records", "3", "--seed", "7", "--serial", "42", "--start", "2024-03-04"});
    PortEnd port(sim.firstLine());
    ASSERT_TRUE(port.isOpen()) << sim.firstLine();

    port.Write(Framed("1"));
    EXPECT_EQ(port.ReadThroughEtx(), Framed("1S42"));
    for (const std::string& record :
         sim::GenerateRecords(3, 7, {0, sim::DateTimeStamp(2024, 3, 4), {}})) {
        port.Write(kAck);
        EXPECT_EQ(port.ReadThroughEtx(), Framed(record));
    }
    port.Write(kAck);
    // The exhausted history sends nothing, so the mode reply is the next thing on the line.
    port.Write(Framed("8"));
    EXPECT_EQ(port.ReadThroughEtx(), Framed("820"));
}

TEST(SimOverPty, ReopenedPortGetsNoReplyMeantForTheClosedOne) {
    std::string log = TempPath("sim_reopen.log");
    SimProcess sim({"--baud", "0", "--log", log});
    {
        PortEnd port(sim.firstLine());
        port.Write(Framed("8"));
        EXPECT_EQ(port.ReadThroughEtx(), Framed("820"));
        port.Write(Framed("90"));  // closed before its reply is read
    }
    ASSERT_TRUE(WaitForFileText(log, " closed\n"));
    PortEnd port(sim.firstLine());
    ASSERT_TRUE(port.isOpen());
    port.Write(Framed("93"));
    EXPECT_EQ(port.ReadThroughEtx(), Framed("830"));
    EXPECT_TRUE(WaitForFileText(log, " rx 02 39 33 03\n"));
    std::remove(log.c_str());
}

TEST(SimOverPty, HangUpDropsTheLineMidUploadAndRemovesTheLink) {
    std::string link = TempPath("sim_hangup.link");
    SimProcess sim({"--baud", "0", "--hangup-after", "1", "--link", link});
    PortEnd port(link);
    ASSERT_TRUE(port.isOpen());
    port.Write(Framed("1"));
    EXPECT_NE(port.ReadThroughEtx(), "");
    port.Write(kAck);
    EXPECT_NE(port.ReadThroughEtx(), "");
    port.Write(kAck);
    EXPECT_TRUE(port.SeesHangUp());
    EXPECT_EQ(sim.WaitForExit(milliseconds(10000)), 0);
    EXPECT_NE(::access(link.c_str(), F_OK), 0);
}

TEST(SimOverPty, ExitAfterUploadWaitsForThePortToClose) {
    SimProcess sim({"--baud", "0", "--exit-after-upload"});
    {
        PortEnd port(sim.firstLine());
        port.Write(Framed("1"));
        EXPECT_NE(port.ReadThroughEtx(), "");
        port.Write(kCan + Framed("8"));
        EXPECT_EQ(port.ReadThroughEtx(), Framed("820"));
    }
    EXPECT_EQ(sim.WaitForExit(milliseconds(10000)), 0);
}

TEST(SimInProcess, RunsOnAThreadAndStops) {
    sim::Options options;
    options.baud = 0;
    options.testInProgress = true;
    sim::Simulator simulator(options, sim::BuildHistory(options).history);
    std::thread loop([&simulator] { simulator.Run(); });
    {
        PortEnd port(simulator.devicePath());
        port.Write(Framed("90"));
        EXPECT_EQ(port.ReadThroughEtx(), Framed("821"));
    }
    simulator.Stop();
    loop.join();
}

TEST(SimCommandLine, HelpVersionAndBadOptions) {
    SimProcess help({"--help"});
    EXPECT_EQ(help.firstLine().rfind("Usage: qm4250-sim", 0), 0u);
    EXPECT_EQ(help.WaitForExit(milliseconds(10000)), 0);
    SimProcess version({"--version"});
    EXPECT_EQ(version.firstLine(), std::string("qm4250-sim ") + qm4250::kVersion);
    EXPECT_EQ(version.WaitForExit(milliseconds(10000)), 0);
    SimProcess bad({"--records", "many"});
    EXPECT_EQ(bad.firstLine(), "");
    EXPECT_EQ(bad.WaitForExit(milliseconds(10000)), 2);
    SimProcess pastTheClock({"--records", "3", "--start", "2072-01-18", "--spacing", "49024"});
    EXPECT_EQ(pastTheClock.WaitForExit(milliseconds(10000)), 2);
}

}  // namespace

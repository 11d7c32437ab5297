#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_rig.h"
#include "sim/faults.h"
#include "sim/station.h"

namespace vrn::cli::test {
namespace {

using sim::Fault;

const std::vector<std::string> kMembers = {"g.ssp", "g.set",          "g.scr",         "g.pgm",
                                           "g.txt", "g Screen 1.bmp", "g Screen 8.bmp"};

TEST(CliWorkspace, GetAllWritesTheWholeGroupOnlyWhenEverythingArrived) {
    struct Row {
        const char* name;
        int silentCommand;  // 0: none
        int exit;
        bool written;
    } rows[] = {
        {"complete", 0, kExitOk, true},
        {"screens silent", 215, kExitFailed, false},
        {"program silent", 115, kExitFailed, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        if (r.silentCommand != 0) rig.instrument.faults.perCommand[r.silentCommand] = Fault::silent();
        EXPECT_EQ(rig.run({"--simulate", "get-all", "g.ssp"}), r.exit) << rig.err.str();
        for (const std::string& m : kMembers)
            EXPECT_EQ(rig.files.files.contains(m), r.written) << m;
        if (r.written) {
            const auto& bmp = rig.files.files.at("g Screen 1.bmp");
            ASSERT_GE(bmp.size(), 2u);
            EXPECT_EQ(bmp[0], 'B');
            EXPECT_EQ(bmp[1], 'M');
        }
    }
}

TEST(CliWorkspace, SendAllRefusesABrokenGroupBeforeSending) {
    CliRig source;
    sim::configureStation(source.instrument);  // its program records what its record format holds
    ASSERT_EQ(source.run({"--simulate", "get-all", "g.ssp"}), kExitOk);
    struct Row {
        const char* name;
        const char* change;  // the member removed or cut short
        bool remove;
        int exit;
        const char* err;
    } rows[] = {
        {"whole", "", false, kExitOk, ""},
        {"setup missing", "g.set", true, kExitUsage, "cannot read g.set"},
        {"screens short", "g.scr", false, kExitUsage, "not a screen file"},
        {"program short", "g.pgm", false, kExitUsage, "g.pgm: Not a program file: it has 100 bytes"},
        {"mark missing", "g.ssp", true, kExitUsage, "not a group file"},
        {"program without PGM END", "g.pgm", false, kExitUsage, "g.pgm has no PGM END"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        rig.files.files = source.files.files;
        if (r.remove) {
            rig.files.files.erase(r.change);
        } else if (std::string(r.name) == "program without PGM END") {
            // Every slot's instruction number becomes 1 (ALARM), little-endian.
            for (size_t k = 0; k < 512; ++k) {
                rig.files.files[r.change][k * 128] = 1;
                rig.files.files[r.change][k * 128 + 1] = 0;
            }
        } else if (*r.change != 0) {
            rig.files.files[r.change].resize(100);
        }
        EXPECT_EQ(rig.run({"--simulate", "send-all", "g.ssp"}), r.exit) << rig.err.str();
        EXPECT_NE(rig.err.str().find(r.err), std::string::npos) << rig.err.str();
        EXPECT_EQ(rig.instrument.commandLog.empty(), r.exit != kExitOk);
        if (r.exit == kExitOk) {
            EXPECT_NE(rig.out.str().find("FINISHED SENDING SETUP/SCREENS/PROGRAM."), std::string::npos);
        }
    }
}

std::vector<uint8_t> demoFirmware() {
    std::ifstream in(std::string(VRN_FIRMWARE_DIR).append("/demo.glo"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(CliWorkspace, FirmwareBackupComesFirstAndAFailedOneStopsTheUpdate) {
    struct Row {
        const char* name;
        bool screensSilent;
        int exit;
    } rows[] = {
        {"backup made", false, kExitOk},
        {"backup failed", true, kExitFailed},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        rig.files.files["fw.glo"] = demoFirmware();
        ASSERT_FALSE(rig.files.files["fw.glo"].empty());
        if (r.screensSilent) rig.instrument.faults.perCommand[215] = Fault::silent();
        EXPECT_EQ(rig.run({"--simulate", "--yes", "firmware", "fw.glo", "--backup", "b.ssp"}), r.exit)
            << rig.err.str();
        EXPECT_EQ(rig.files.files.contains("b.pgm"), !r.screensSilent);
        // The flash is erased only after a backup was made.
        EXPECT_EQ(rig.out.str().find("FINISHED FIRMWARE UPDATE.") != std::string::npos, !r.screensSilent);
    }
}

}  // namespace
}  // namespace vrn::cli::test

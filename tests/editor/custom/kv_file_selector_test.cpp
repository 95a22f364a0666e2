// The load and save buttons: host program files and the text form, chosen
// by the file's name, through the real instrument and real files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "editor/custom/kv_file_selector.h"
#include "editor/support/dunerow_editor_rig.h"
#include "editor/support/test_bitmaps.h"
#include "support/temporary_folder.h"

namespace {

class KvFileSelector : public ::testing::Test {
protected:
    KvFileSelector()
        : load(rig.Add(std::make_unique<IKvFileSelector>(&rig.Synth(), 700, 480, GreyStrip(48, 20, 2), FileAction::Open))),
          save(rig.Add(std::make_unique<IKvFileSelector>(&rig.Synth(), 760, 480, GreyStrip(48, 20, 2), FileAction::Save))) {}

    void ClickLoad(const std::filesystem::path& path) {
        rig.Graphics().AnswerNextFileDialog(path.string());
        rig.Graphics().Click(710, 490);
    }
    void ClickSave(const std::filesystem::path& path) {
        rig.Graphics().AnswerNextFileDialog(path.string());
        rig.Graphics().Click(770, 490);
    }
    static std::string Head(const std::filesystem::path& path, std::size_t bytes) {
        std::ifstream file(path, std::ios::binary);
        std::string head(bytes, '\0');
        file.read(head.data(), static_cast<std::streamsize>(bytes));
        head.resize(static_cast<std::size_t>(file.gcount()));
        return head;
    }
    double Cutoff() { return rig.Synth().GetParam(param::FilterCutoff)->Value(); }
    std::string ProgramName() { return std::string(rig.Synth().GetProgramName(rig.Synth().CurrentProgram())); }

    DunerowEditorRig rig;
    TemporaryFolder folder;
    IKvFileSelector* load;
    IKvFileSelector* save;
};

}  // namespace

TEST(KvFileSelectorNames, OnlyTheFileNameDecidesWhatIsAProgramFile) {
    EXPECT_TRUE(IKvFileSelector::IsProgramFile("/home/me/kick.fxp"));
    EXPECT_TRUE(IKvFileSelector::IsProgramFile("C:\\Presets\\KICK.FXP"));
    EXPECT_FALSE(IKvFileSelector::IsProgramFile("/home/me/kick.kv"));
    EXPECT_FALSE(IKvFileSelector::IsProgramFile("/home/me/old.fxp/kick.kv")) << "a folder named like a program file";
    EXPECT_FALSE(IKvFileSelector::IsProgramFile("/home/me/kick.fxp.kv"));
    EXPECT_FALSE(IKvFileSelector::IsProgramFile("fxp"));
}

TEST_F(KvFileSelector, AskWithTheInstrumentsExtensions) {
    ClickLoad("");
    ASSERT_EQ(rig.Graphics().FileDialogsShown().size(), 1u);
    EXPECT_EQ(rig.Graphics().FileDialogsShown()[0].filter, "*.kv;*.bgp;*.fxp");
    EXPECT_EQ(rig.Graphics().FileDialogsShown()[0].action, FileAction::Open);
}

TEST_F(KvFileSelector, ProgramFilesSaveAndLoadInTheHostsFormat) {
    rig.Synth().RestoreProgram(20);
    const double saved = Cutoff();
    const auto path = folder.Path() / "kick.fxp";
    ClickSave(path);
    EXPECT_TRUE(save->LastTransferSucceeded());
    EXPECT_EQ(Head(path, 4), "CcnK") << "a host program file";
    rig.Synth().RestoreProgram(0);
    ASSERT_NE(Cutoff(), saved);
    rig.ClearReports();
    ClickLoad(path);
    EXPECT_TRUE(load->LastTransferSucceeded());
    EXPECT_NEAR(Cutoff(), saved, 1e-6) << "kept as a 32-bit float";
    EXPECT_EQ(rig.CountReports(vst2::audioMasterUpdateDisplay), 1);
}

TEST_F(KvFileSelector, OtherNamesSaveAndLoadTheTextForm) {
    rig.Synth().RestoreProgram(20);
    const double saved = Cutoff();
    std::filesystem::create_directories(folder.Path() / "old.fxp");
    const auto path = folder.Path() / "old.fxp" / "kick.kv";
    ClickSave(path);
    EXPECT_TRUE(save->LastTransferSucceeded());
    EXPECT_EQ(Head(path, 7), "Name = ") << "the text form, though the folder's name holds .fxp";
    rig.Synth().RestoreProgram(0);
    rig.ClearReports();
    ClickLoad(path);
    EXPECT_TRUE(load->LastTransferSucceeded());
    EXPECT_NEAR(Cutoff(), saved, 1e-6);
    EXPECT_EQ(ProgramName(), "Mainstream Bassdrum 1");
    EXPECT_EQ(rig.CountReports(vst2::audioMasterUpdateDisplay), 1);
}

TEST_F(KvFileSelector, ACancelledDialogChangesNothing) {
    rig.Synth().RestoreProgram(20);
    const auto path = folder.Path() / "kick.kv";
    ClickSave(path);
    rig.Synth().RestoreProgram(0);
    ClickLoad(path);  // loads it: the selector now remembers the file
    ASSERT_TRUE(load->LastTransferSucceeded());
    rig.Synth().RestoreProgram(5);
    const double before = Cutoff();
    ASSERT_GT(std::abs(before - 0.3), 1e-3) << "a program whose cutoff differs from the file's";
    rig.ClearReports();
    ClickLoad("");  // cancelled
    EXPECT_DOUBLE_EQ(Cutoff(), before) << "the remembered file is not loaded again";
    EXPECT_TRUE(rig.Reports().empty());
}

TEST_F(KvFileSelector, AFileThatIsNoProgramChangesNothing) {
    const auto path = folder.Path() / "notes.txt";
    std::ofstream(path) << "not a program\n";
    const double before = Cutoff();
    ClickLoad(path);
    EXPECT_FALSE(load->LastTransferSucceeded());
    EXPECT_DOUBLE_EQ(Cutoff(), before);
    ClickLoad(folder.Path() / "missing.fxp");
    EXPECT_FALSE(load->LastTransferSucceeded());
    EXPECT_DOUBLE_EQ(Cutoff(), before);
}

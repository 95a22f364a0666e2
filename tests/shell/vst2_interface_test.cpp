// The header pins the record layouts with static_asserts; compiling this
// file for a target is the layout check. The tests cover the values.
#include "shell/vst2/vst2_interface.h"

#include <gtest/gtest.h>

TEST(Vst2Interface, FourCharacterTagsAreBigEndian) {
    EXPECT_EQ(vst2::kEffectMagic, vst2::FourCharacters("VstP"));
    EXPECT_EQ(vst2::FourCharacters("dnrp"), 0x646E7270);
    EXPECT_EQ(vst2::kIdentifyAnswer, vst2::FourCharacters("NvEf"));
    EXPECT_EQ(vst2::fxp::kChunkProgramMagic, 0x46504368);
    EXPECT_EQ(vst2::fxp::kBankMagic, 0x4678426B);
}

TEST(Vst2Interface, FlagsOfAnInstrumentWithEditorCombineTo0x1111) {
    const int32_t flags = vst2::effFlagsCanReplacing | vst2::effFlagsCanDoubleReplacing |
                          vst2::effFlagsIsSynth | vst2::effFlagsHasEditor;
    EXPECT_EQ(flags, 0x1111);
}

TEST(Vst2Interface, ProgramFileHeaderEndsWhereTheValuesStart) {
    EXPECT_EQ(vst2::fxp::kOffsetProgramName + vst2::fxp::kProgramNameLength, vst2::fxp::kOffsetParams);
    EXPECT_EQ(vst2::fxp::kHeaderSize + 109 * 4, 492);
}

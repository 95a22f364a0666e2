// The VST 2.4 host interface as this plug-in uses it: the AEffect record,
// the callback signatures, the dispatcher and host opcodes, the event,
// time-information, pin and speaker records, and the .fxp file constants.
//
// Written for this project from the interface's published binary layout.
// Records are plain C layouts with natural alignment; the static_asserts at
// the end pin every offset a host reads, for 64-bit targets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vst2 {

struct AEffect;

// Callbacks use the platform's C calling convention (the only one on x86-64).
using HostCallback = intptr_t (*)(AEffect* effect, int32_t opcode, int32_t index,
                                  intptr_t value, void* ptr, float opt);
using DispatcherProc = intptr_t (*)(AEffect* effect, int32_t opcode, int32_t index,
                                    intptr_t value, void* ptr, float opt);
using ProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                             int32_t sampleFrames);
using ProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                   int32_t sampleFrames);
using SetParameterProc = void (*)(AEffect* effect, int32_t index, float value);
using GetParameterProc = float (*)(AEffect* effect, int32_t index);

// The four characters 'V','s','t','P' read as a big-endian number.
inline constexpr int32_t kEffectMagic = 0x56737450;

struct AEffect {
    int32_t magic;
    DispatcherProc dispatcher;
    ProcessProc process;  // accumulating, kept for old hosts
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    intptr_t reserved1;
    intptr_t reserved2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32_t uniqueID;
    int32_t version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

// AEffect::flags
enum EffectFlags : int32_t {
    effFlagsHasEditor = 1 << 0,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Opcodes the host sends to the plug-in's dispatcher.
enum PluginOpcode : int32_t {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effSetSpeakerArrangement = 42,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effVendorSpecific = 50,
    effCanDo = 51,
    effIdle = 53,
    effGetVstVersion = 58,
    effGetMidiKeyName = 66,
    effGetSpeakerArrangement = 69,
};

// Opcodes the plug-in sends to the host callback.
enum HostOpcode : int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

// Answers to audioMasterGetCurrentProcessLevel.
enum ProcessLevel : int32_t {
    kProcessLevelUnknown = 0,
    kProcessLevelUser = 1,
    kProcessLevelRealtime = 2,
    kProcessLevelPrefetch = 3,
    kProcessLevelOffline = 4,
};

// Answers to effGetPlugCategory.
enum PlugCategory : int32_t {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

// The 'NvEf' answer to effIdentify.
inline constexpr intptr_t kIdentifyAnswer = 0x4E764566;
// Version of the interface this plug-in implements, for effGetVstVersion.
inline constexpr intptr_t kInterfaceVersion = 2400;

// ---------------------------------------------------------------- events

enum EventType : int32_t {
    kVstMidiType = 1,
    kVstSysExType = 6,
};

struct VstEvent {
    int32_t type;
    int32_t byteSize;  // size of the event after these first two fields
    int32_t deltaFrames;
    int32_t flags;
    char data[16];
};

struct VstMidiEvent {
    int32_t type;  // kVstMidiType
    int32_t byteSize;
    int32_t deltaFrames;  // frame offset within the current block
    int32_t flags;
    int32_t noteLength;
    int32_t noteOffset;
    char midiData[4];  // status, data 1, data 2, unused
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent {
    int32_t type;  // kVstSysExType
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t dumpBytes;
    intptr_t reserved1;
    char* sysexDump;
    intptr_t reserved2;
};

// A host-owned list of events; the array really holds numEvents entries.
struct VstEvents {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[2];
};

// ------------------------------------------------------ time information

enum TimeInfoFlags : int32_t {
    kVstTransportChanged = 1 << 0,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32_t timeSigNumerator;
    int32_t timeSigDenominator;
    int32_t smpteOffset;
    int32_t smpteFrameRate;
    int32_t samplesToNextClock;
    int32_t flags;  // TimeInfoFlags
};

// ------------------------------------------------------- pins and speakers

enum PinFlags : int32_t {
    kVstPinIsActive = 1 << 0,
    kVstPinIsStereo = 1 << 1,
    kVstPinUseSpeaker = 1 << 2,
};

inline constexpr int kPinLabelLength = 64;
inline constexpr int kPinShortLabelLength = 8;

struct VstPinProperties {
    char label[kPinLabelLength];
    int32_t flags;  // PinFlags
    int32_t arrangementType;
    char shortLabel[kPinShortLabelLength];
    char future[48];
};

enum SpeakerArrangementType : int32_t {
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32_t type;
    char future[28];
};

// Declared with eight speakers; hosts may allocate more behind it.
struct VstSpeakerArrangement {
    int32_t type;  // SpeakerArrangementType
    int32_t numChannels;
    VstSpeakerProperties speakers[8];
};

// The name of one key, asked for by effGetMidiKeyName.
struct MidiKeyName {
    int32_t thisProgramIndex;
    int32_t thisKeyNumber;
    char keyName[64];
    int32_t reserved;
    int32_t flags;
};

// Editor rectangle handed out by effEditGetRect.
struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

// Text lengths the interface documents for host buffers. Hosts commonly
// pass larger buffers; these are the sizes a plug-in may rely on.
inline constexpr int kMaxProgNameLength = 24;
inline constexpr int kMaxParamStrLength = 8;
inline constexpr int kMaxEffectNameLength = 32;
inline constexpr int kMaxVendorStringLength = 64;
inline constexpr int kMaxProductStringLength = 64;

// ------------------------------------------------------- .fxp program file

// Four-character tags, read as big-endian 32-bit numbers.
constexpr int32_t FourCharacters(const char (&text)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(text[3])));
}

namespace fxp {

inline constexpr int32_t kChunkMagic = FourCharacters("CcnK");
inline constexpr int32_t kProgramMagic = FourCharacters("FxCk");       // parameter list
inline constexpr int32_t kChunkProgramMagic = FourCharacters("FPCh");  // opaque chunk
inline constexpr int32_t kBankMagic = FourCharacters("FxBk");
inline constexpr int32_t kChunkBankMagic = FourCharacters("FBCh");
inline constexpr int32_t kFormatVersion = 1;

// Byte offsets of a program file; every integer and float is big-endian.
inline constexpr int kOffsetChunkMagic = 0;
inline constexpr int kOffsetByteSize = 4;  // size of everything after this field
inline constexpr int kOffsetFxMagic = 8;
inline constexpr int kOffsetVersion = 12;
inline constexpr int kOffsetFxId = 16;
inline constexpr int kOffsetFxVersion = 20;
inline constexpr int kOffsetNumParams = 24;
inline constexpr int kOffsetProgramName = 28;
inline constexpr int kProgramNameLength = 28;
inline constexpr int kOffsetParams = 56;  // FxCk: floats; FPCh: size word, then the chunk
inline constexpr int kHeaderSize = kOffsetParams;

}  // namespace fxp

// ------------------------------------------------------------ layout pins

static_assert(sizeof(float) == 4 && sizeof(double) == 8, "IEEE single and double expected");

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(void*) == 8);
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24);
static_assert(offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48);
static_assert(offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, reserved1) == 64);
static_assert(offsetof(AEffect, reserved2) == 72);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84);
static_assert(offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128);
static_assert(sizeof(AEffect) == 192);

static_assert(offsetof(VstEvents, numEvents) == 0);
static_assert(offsetof(VstEvents, reserved) == 8);
static_assert(offsetof(VstEvents, events) == 16);
static_assert(sizeof(VstEvents) == 32);

static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16);
static_assert(offsetof(VstMidiSysexEvent, reserved1) == 24);
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 32);
static_assert(offsetof(VstMidiSysexEvent, reserved2) == 40);
static_assert(sizeof(VstMidiSysexEvent) == 48);
#endif

static_assert(sizeof(VstEvent) == 32);
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8);
static_assert(offsetof(VstMidiEvent, noteLength) == 16);
static_assert(offsetof(VstMidiEvent, noteOffset) == 20);
static_assert(offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29);
static_assert(sizeof(VstMidiEvent) == 32);

static_assert(offsetof(VstTimeInfo, samplePos) == 0);
static_assert(offsetof(VstTimeInfo, sampleRate) == 8);
static_assert(offsetof(VstTimeInfo, ppqPos) == 24);
static_assert(offsetof(VstTimeInfo, tempo) == 32);
static_assert(offsetof(VstTimeInfo, barStartPos) == 40);
static_assert(offsetof(VstTimeInfo, cycleStartPos) == 48);
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, timeSigDenominator) == 68);
static_assert(offsetof(VstTimeInfo, samplesToNextClock) == 80);
static_assert(offsetof(VstTimeInfo, flags) == 84);
static_assert(sizeof(VstTimeInfo) == 88);

static_assert(offsetof(VstPinProperties, flags) == 64);
static_assert(offsetof(VstPinProperties, arrangementType) == 68);
static_assert(offsetof(VstPinProperties, shortLabel) == 72);
static_assert(sizeof(VstPinProperties) == 128);

static_assert(offsetof(VstSpeakerProperties, name) == 16);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112);

static_assert(sizeof(ERect) == 8);
static_assert(offsetof(MidiKeyName, keyName) == 8);
static_assert(sizeof(MidiKeyName) == 80);

static_assert(fxp::kChunkMagic == 0x43636E4B);
static_assert(fxp::kProgramMagic == 0x4678436B);

}  // namespace vst2

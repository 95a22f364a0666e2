// A small plug-in for the editor's tests: four parameters of the kinds the
// editor treats differently, and a host callback that records what the
// plug-in tells the host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/plugin_vst.h"

struct HostReport {
    int32_t opcode;
    int32_t index;
    float value;
    bool operator==(const HostReport&) const = default;
};

class EditorTestPlugin : public IPluginVst {
public:
    enum Param { kGain = 0, kTune = 1, kMode = 2, kPower = 3, kParamCount = 4 };

    // `hostProduct` is what the host calls itself ("REAPER" is host kind 1).
    explicit EditorTestPlugin(std::string hostProduct = "Test Host")
        : IPluginVst(&EditorTestPlugin::HostCallback, kParamCount, 2, "0-2", Identity()),
          hostProduct_(std::move(hostProduct)) {
        GetParam(kGain)->DefineDouble("Gain", 0.5, 0.0, 1.0, 0.001, "");
        GetParam(kTune)->DefineDouble("Tune", 0.0, -12.0, 12.0, 0.01, "st");
        GetParam(kMode)->DefineList("Mode", 0, 3, "");
        GetParam(kMode)->SetDisplayText(0, "Low");
        GetParam(kMode)->SetDisplayText(1, "Mid");
        GetParam(kMode)->SetDisplayText(2, "High");
        GetParam(kPower)->DefineTwoState("Power", false, "");
        Dispatch(vst2::effOpen, 0, 0, nullptr, 0.0f);
        reports.clear();
    }

    bool PopupHostMenuForParameter(int index, int x, int y) override {
        hostMenus.push_back({index, x, y});
        return true;
    }

    // Only what a parameter gesture tells the host: automate, begin and end edit.
    std::vector<HostReport> EditReports() const {
        std::vector<HostReport> edits;
        for (const HostReport& report : reports) {
            if (report.opcode == vst2::audioMasterAutomate || report.opcode == vst2::audioMasterBeginEdit ||
                report.opcode == vst2::audioMasterEndEdit) {
                edits.push_back(report);
            }
        }
        return edits;
    }

    struct HostMenu {
        int index, x, y;
    };
    std::vector<HostReport> reports;
    std::vector<HostMenu> hostMenus;

protected:
    void ProcessBlock(double** /*inputs*/, double** /*outputs*/, int /*frames*/) override {}
    void QueueMidiMessage(const MidiMessage& /*message*/) override {}

private:
    static PluginIdentity Identity() {
        PluginIdentity identity;
        identity.effectName = "EditorTest";
        identity.productName = "EditorTest";
        identity.makerName = "Korvane";
        identity.uniqueId = 0x45644974;
        return identity;
    }

    static intptr_t HostCallback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t /*value*/, void* ptr,
                                 float opt) {
        auto* plugin = static_cast<EditorTestPlugin*>(IPluginVst::FromEffect(effect));
        if (plugin == nullptr) return 0;  // calls made while the plug-in is being built
        if (opcode == vst2::audioMasterGetProductString && ptr != nullptr) {
            const std::string& name = plugin->hostProduct_;
            std::copy(name.begin(), name.end(), static_cast<char*>(ptr));
            static_cast<char*>(ptr)[name.size()] = '\0';
            return 1;
        }
        plugin->reports.push_back({opcode, index, opt});
        return 0;
    }

    std::string hostProduct_;
};

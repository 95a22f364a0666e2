// The instrument behind the module's entry point.
#include "instrument/dunerow.h"

IPluginVst* CreatePlugin(vst2::HostCallback host) { return new Dunerow(host); }

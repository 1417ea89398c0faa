#pragma once

#include <string>
#include <string_view>

namespace orvenda {

// Which machine and which build this is, for the diagnostics report.
class DeviceInfo {
public:
    // The machine identifier uname gives ("iPhone10,3", "x86_64"); empty when unknown.
    static std::string machineIdentifier();
    // The model name of an identifier; an unknown one is named by the family it mentions
    // ("iPod Touch", "iPad", "iPhone"), else "Simulator".
    static std::string deviceNameForMachine(std::string_view machine);
    // The model name of this machine, looked up once.
    static const std::string& deviceName();
    // "version (build)".
    static std::string versionString();
};

} // namespace orvenda
